#!/bin/sh
# make-data from the command line: same bytes on a second run, the version check,
# and failures that name the file and the reason.
# usage: data_pack_cli.sh MAKE_DATA PACK_DIR WORK_DIR   (PACK_DIR made by the fixture)
set -eu
make_data=$1
pack=$2
work=$3
rm -rf "$work"
mkdir -p "$work"
fail() { echo "data_pack_cli: $*" >&2; exit 1; }

listing() { (cd "$1" && find . -type f | LC_ALL=C sort | xargs sha256sum); }

# A second run into a fresh folder gives the same files with the same bytes.
"$make_data" "$work/second" 2>/dev/null || fail "second run failed"
listing "$pack" > "$work/first.sha"
listing "$work/second" > "$work/second.sha"
cmp -s "$work/first.sha" "$work/second.sha" || { diff "$work/first.sha" "$work/second.sha" >&2; fail "runs differ"; }
[ "$(wc -l < "$work/first.sha")" -eq 44 ] || fail "expected 42 pictures, the music and .version"
# No temporary files are left behind.
! find "$work/second" -name '*.tmp' | grep -q . || fail "temporary files left"

# --check: current folder 0; missing, stale or empty folder 1.
"$make_data" --check "$work/second" || fail "--check rejects a fresh folder"
echo "make-data 0" > "$work/second/.version"
if "$make_data" --check "$work/second"; then fail "--check accepts a stale version"; fi
mkdir "$work/empty"
if "$make_data" --check "$work/empty"; then fail "--check accepts a folder without .version"; fi
if "$make_data" --check "$work/missing"; then fail "--check accepts a missing folder"; fi

# --help prints the usage on stdout; bad arguments print it on stderr and fail.
"$make_data" --help | grep -q '^usage: make-data OUTDIR' || fail "--help prints no usage"
if "$make_data" 2>"$work/err"; then fail "no arguments accepted"; fi
grep -q '^usage:' "$work/err" || fail "no usage after bad arguments"
if "$make_data" --bogus "$work/x" 2>"$work/err"; then fail "unknown option accepted"; fi

# An output folder that cannot be created: exit 1, message names the path and reason.
touch "$work/plainfile"
if "$make_data" "$work/plainfile/out" 2>"$work/err"; then fail "wrote under a plain file"; fi
grep -q "^make-data: cannot create directory $work/plainfile/out: Not a directory$" "$work/err" ||
  { cat "$work/err" >&2; fail "unexpected message"; }
