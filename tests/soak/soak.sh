#!/usr/bin/env bash
# Soak of the real intro on the X server in $DISPLAY with SDL's dummy audio driver: a
# 6 s track (it ends on the "JAM THE RADAR" title, which holds still around that moment),
# then SECONDS more past its end. Measures the resident memory at the start, right after
# the track and at the end (with samples every 30 s between), and checks that
#   - the intro keeps presenting frames after the track has ended;
#   - the show runs on past the track's end in silence: the picture right after the track
#     differs from the one at the end;
#   - the resident memory grows by at most RSS_LIMIT_KB from right after the track to
#     the end (0: not checked, as under AddressSanitizer, whose quarantine grows);
#   - Escape then ends it with status 0 (the sanitizer build checks for leaks there).
# usage: soak.sh INTRO INTRO_RENDER SWAP_COUNTER_PROBE DATA_PACK [SECONDS [RSS_LIMIT_KB]]
#   SECONDS defaults to 180, RSS_LIMIT_KB to 4096.
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/../e2e/common.sh"

[ $# -ge 4 ] || { echo "usage: $0 INTRO INTRO_RENDER SWAP_COUNTER_PROBE DATA_PACK [SECONDS [RSS_LIMIT_KB]]" >&2; exit 2; }
intro=$(realpath "$1")
render=$(realpath "$2")
probe=$(realpath "$3")
pack=$(realpath "$4")
after=${5:-180}
rss_limit=${6:-4096}
# Under AddressSanitizer the intro ends by exit() with SDL, Xlib and Mesa still set up, as
# designed; what those libraries no longer reference is not ours (as in test.sh).
[ -n "${DISPLAY:-}" ] || { echo "soak: no DISPLAY; run it through with-xvfb.sh" >&2; exit 2; }

track=6
size=256  # the window, and the square of the canvas in it: 4 screen pixels per canvas pixel
work=$(mktemp -d)
pid=
cleanup() {
    [ -n "$pid" ] && kill "$pid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/run" "$work/data"
cp -r "$pack/." "$work/data/"
tone_mp3 "$track" "$work/data/vorb_06_mp3.mp3"
"$render" --data "$work/data/" --time "$track" --scale 4 -o "$work/expected.png" 2>/dev/null
convert "$work/expected.png" -depth 8 "rgb:$work/expected.rgb"

failed=0
fail() {
    echo "FAIL: $1" >&2
    failed=1
}

alive() {
    local state
    state=$(cut -d ' ' -f 3 "/proc/$pid/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"; }
frames() { cat "$work/count" 2>/dev/null || echo 0; }

# shot NAME: the window's area of the screen as raw RGB in $work/NAME.rgb; true when it
# shows the expected moment exactly.
shot() {
    import -window root -crop "${size}x${size}+0+0" -depth 8 "rgb:$work/$1.rgb"
    cmp -s "$work/$1.rgb" "$work/expected.rgb"
}

t0=$(date +%s%N)
elapsed() { echo $((($(date +%s%N) - t0) / 1000000000)); }
wait_until() { while [ "$(elapsed)" -lt "$1" ]; do sleep 0.2; done; }

(cd "$work/run" && exec env SOAK_SWAP_COUNT="$work/count" LD_PRELOAD="$probe" \
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
    "$intro" -w"$size" -h"$size") >/dev/null 2>"$work/stderr" &
pid=$!

report() { printf '%-22s %4d s  RSS %7d kB  frames %9d\n' "$1" "$(elapsed)" "$2" "$3"; }

wait_until 1
alive || { fail "the intro ended at start-up"; cat "$work/stderr" >&2; exit 1; }
start_rss=$(rss_kb)
report "start" "$start_rss" "$(frames)"

# Start-up (pictures, music, window) takes up to a few seconds before the track starts.
wait_until $((track + 4))
alive || { fail "the intro ended during the track"; cat "$work/stderr" >&2; exit 1; }
track_rss=$(rss_kb)
last_frames=$(frames)
report "after the track" "$track_rss" "$last_frames"
shot after_track || true  # the show runs on: any moment past the track

end=$((track + after))
next=$((track + 4 + 30))
while [ "$next" -lt "$end" ]; do
    wait_until "$next"
    alive || break
    count=$(frames)
    report "running" "$(rss_kb)" "$count"
    [ "$count" -gt "$last_frames" ] || fail "no frame presented in the last 30 s"
    last_frames=$count
    next=$((next + 30))
done
wait_until "$end"
if ! alive; then
    fail "the intro ended while running past the track"
    cat "$work/stderr" >&2
    exit 1
fi
end_rss=$(rss_kb)
end_frames=$(frames)
report "end" "$end_rss" "$end_frames"
[ "$end_frames" -gt "$last_frames" ] || fail "no frame presented since the last sample"
shot at_end || true
cmp -s "$work/after_track.rgb" "$work/at_end.rgb" && fail "the picture stood still after the track ended"
growth=$((end_rss - track_rss))
echo "RSS growth from after the track to the end: $growth kB"
if [ "$rss_limit" != 0 ] && [ "$growth" -gt "$rss_limit" ]; then
    fail "resident memory grew by $growth kB (limit $rss_limit kB)"
fi

# Escape ends the show; the pointer over the window gives it the keyboard.
xdotool mousemove $((size / 2)) $((size / 2)) key Escape
for _ in $(seq 50); do alive || break; sleep 0.1; done
status=0
if alive; then
    fail "Escape did not end the intro"
else
    wait "$pid" || status=$?
    pid=
    [ "$status" = 0 ] || fail "exit status $status after Escape"
fi
if grep -qE "runtime error|AddressSanitizer|LeakSanitizer" "$work/stderr"; then
    fail "sanitizer report"
    cat "$work/stderr" >&2
fi
[ "$failed" = 0 ] && echo "ok   soak: $after s past the end of the track"
exit "$failed"
