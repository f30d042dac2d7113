#!/usr/bin/env bash
# Memory check of the whole show: intro-render under valgrind's memcheck draws one frame
# per beat from beat 0 to 335 (the last picture) from a complete data folder, as raw
# canvases. Any memcheck error or leak fails; the summaries are printed. A measurement,
# not part of the test suite (about a minute).
# usage: tests/soak/valgrind_render.sh INTRO_RENDER DATA_DIR
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 INTRO_RENDER DATA_DIR" >&2; exit 2; }
render=$(realpath "$1")
data=$(realpath "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

status=0
valgrind --tool=memcheck --leak-check=full --show-leak-kinds=all --errors-for-leak-kinds=all \
    --error-exitcode=99 --track-origins=yes --log-file="$work/memcheck.log" \
    "$render" --data "$data/" --beats 0:335:1 --raw -o "$work/frames.raw" || status=$?
frames=$(($(stat -c %s "$work/frames.raw") / 16384))
grep -E "HEAP SUMMARY|in use at exit|total heap usage|LEAK SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable|suppressed|All heap blocks|ERROR SUMMARY" \
    "$work/memcheck.log" | sed 's/^==[0-9]*== *//'
echo "frames drawn: $frames (expected 336); exit status $status"
if [ "$status" != 0 ] || [ "$frames" != 336 ]; then
    cat "$work/memcheck.log" >&2
    exit 1
fi
