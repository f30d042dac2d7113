#!/usr/bin/env bash
# Hostile command lines for the intro, end to end on the X server in $DISPLAY (dummy
# audio): a 1 MB line, only dashes, every letter, huge and negative numbers, binary junk.
# Each must either start the show (still running after 4 s, frames presented) or refuse
# at once with status 1 and one "intro: " line naming the reason. The scan itself is
# checked byte by byte by hardening_options_test and the fuzz target.
# usage: hostile_lines.sh INTRO SWAP_PROBE
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"

[ $# -eq 2 ] || { echo "usage: $0 INTRO SWAP_PROBE" >&2; exit 2; }
intro=$(realpath "$1")
probe=$(realpath "$2")
# Under AddressSanitizer the intro ends by exit() with SDL, Xlib and Mesa still set up, as
# designed; what those libraries no longer reference is not ours (as in test.sh).
[ -n "${DISPLAY:-}" ] || { echo "hostile_lines: no DISPLAY; run it through with-xvfb.sh" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run" "$work/data"
failed=0

# 3 s of tone as the music; no pictures (one line says so).
tone_mp3 3 "$work/data/vorb_06_mp3.mp3"

fail() {
    echo "FAIL $1: $2" >&2
    grep -av '^assets: ' "$work/stderr" | head -n 20 | sed 's/^/    stderr: /' >&2 || true
    failed=1
}

# run NAME EXPECT ARG...: EXPECT is "starts", or the refusal line (a pattern) that must be
# the last on stderr, or "either" for "starts" or any "intro: " refusal.
run() {
    local name=$1 expect=$2 status=0
    shift 2
    rm -f "$work/presented"
    (cd "$work/run" && env AUDIO_SWAP_LOG="$work/presented" LD_PRELOAD="$probe" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
        "${stop_after[@]}" 4 "$intro" "$@") >/dev/null 2>"$work/stderr" || status=$?
    local last
    last=$(grep -av '^assets: ' "$work/stderr" | tail -n 1 || true)
    if grep -qE "runtime error|AddressSanitizer|LeakSanitizer" "$work/stderr"; then
        fail "$name" "sanitizer report"
    elif [ "$status" = 124 ]; then
        if [ "$expect" != starts ] && [ "$expect" != either ]; then
            fail "$name" "started, expected the refusal \"$expect\""
        elif [ ! -e "$work/presented" ]; then
            fail "$name" "running but no frame presented"
        else
            echo "ok   $name: starts"
        fi
    elif [ "$status" = 1 ]; then
        # shellcheck disable=SC2053  # the expected line may end in a pattern
        if [ "$expect" = either ] && [[ "$last" == "intro: "?* ]] || [[ "$last" == $expect ]]; then
            echo "ok   $name: status 1, \"$last\""
        else
            fail "$name" "refused with \"$last\", expected: $expect"
        fi
    else
        fail "$name" "exit status $status"
    fi
}

# words COUNT SIZE PERL: COUNT arguments of SIZE bytes each, byte i of the whole made by
# the Perl expression PERL of $i; one per line in $work/args.
words() {
    perl -e 'my ($count, $size, $code) = @ARGV; my $make = eval "sub { my \$i = shift; $code }";
             srand(5); for my $w (0 .. $count - 1) { print join("", map { $make->($w * $size + $_) } 0 .. $size - 1), "\n" }' \
        "$1" "$2" "$3" >"$work/args"
    mapfile -t args <"$work/args"
}

# 1 MB as 16 arguments of 64 KiB (one argument may not exceed 128 KiB).
words 16 65536 'substr("abc xyz 0123 ", $i % 14, 1)'
run "1 MB without options" starts "${args[@]}"
words 16 65536 'substr(" -w1 -h2 -x3 -y4 -f0 -q9", $i % 24, 1)'
run "1 MB of options, then -f1 -w200 -h100" starts "${args[@]}" -f1 -w200 -h100
words 16 65536 '"-"'
run "1 MB of dashes" starts "${args[@]}"
run "a lone dash" starts -

letters=()
for c in {a..z} {A..Z}; do letters+=("-${c}7"); done
run "every letter with 7" starts "${letters[@]}"
letters=()
for c in {a..z} {A..Z}; do letters+=("-$c"); done
run "every letter without a value" starts "${letters[@]}"

run "-w and -h beyond 32 bits" "intro: cannot create the window: ?*" -w99999999999 -h99999999999
run "-w-5" "intro: -w must not be negative (got -5)" -w-5
run "-h below 32 bits" "intro: -h must not be negative (got -2147483648)" -w300 -h-99999999999
run "-x and -y beyond 32 bits" starts -f1 -w100 -h100 -x-99999999999 -y99999999999

# Bytes 1 to 255 at random, as 4 arguments of 4 KiB: whatever the scan makes of them.
words 4 4096 'chr(1 + int(rand(255)))'
run "binary junk" either "${args[@]}"
words 4 4096 '($i % 7 == 0) ? "-" : chr(1 + int(rand(255)))'
run "binary junk with many dashes" either "${args[@]}"

exit "$failed"
