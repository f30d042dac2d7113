#!/bin/sh
# The README's commands run on what run.sh builds: every program the README starts from
# build/ (./intro-render ..., build/make-data ...) is a target of run.sh's build line.
# usage: readme_programs.sh SOURCE_DIR
set -eu
cd "$1"
fail() { echo "readme_programs: $*" >&2; exit 1; }
targets=$(sed -n 's/^cmake --build .*--target \(.*\)$/\1/p' run.sh)
[ -n "$targets" ] || fail "no build line with --target in run.sh"
# Inside code blocks: "./name" at the start of a command, and "build/name" anywhere.
programs=$(awk '/^```/ { inside = !inside; next } inside' README.md |
           sed -n 's/^\.\/\([a-z][a-z_-]*\).*/\1/p; s/.*build\/\([a-z][a-z_-]*\).*/\1/p' | sort -u)
# Inline mentions such as `build/make-data data` too, up to the section for developers
# (whose programs, the golden record's tools and the benchmarks, test.sh builds).
programs="$programs $(sed '/^## For developers/q' README.md | grep -o '`build/[a-z][a-z_-]*' | sed 's/`build\///' | sort -u)"
programs=$(printf "%s\n" $programs | sort -u)
checked=0
for program in $programs; do
  case "$program" in run | test | web) continue ;; esac  # ./run.sh, ./test.sh, ./web.sh themselves
  checked=$((checked + 1))
  case " $targets " in
    *" $program "*) ;;
    *) fail "the README runs $program, which run.sh does not build (it builds: $targets)" ;;
  esac
done
[ "$checked" -ge 3 ] || fail "found only $checked programs in the README; the pattern is stale"
echo "ok   run.sh builds all $checked programs the README runs: $targets"
