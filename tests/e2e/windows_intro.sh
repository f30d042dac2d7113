#!/usr/bin/env bash
# intro.exe under Wine on the X server in $DISPLAY (a private Xvfb, see with-xvfb.sh), with a
# window manager, in the Wine prefix that windows_build.sh made:
# - -f1 -w640 -h360 gives a captioned window whose client area is 640 x 360 with the cursor
#   shown over it, and shows the frame of the same moment exactly (screen_check); resized, the square is re-fitted;
#   Escape ends it with 0. The music plays through WASAPI to a private PulseAudio null sink
#   (Wine's WASAPI sits on the pulse protocol): the tone reaches the sink's monitor. Wine's
#   engine does not count its sound server's own latency in the position, so this runs the
#   output's code but cannot judge the clock's sync; the Linux sync benchmark does that.
# - -w640 -h360 without a sound server: the borderless pop-up at (0,0), the frame exactly,
#   the cursor hidden over it; one line names WASAPI's reason and the silent clock plays.
# - the window manager's close ends it with 0.
# - a missing music file: "Failed to load music: ..." on stderr and status 1; started
#   without a console (through start, as from the desktop), the same text in a message box
#   titled "intro", and status 1 once it is dismissed.
# usage: windows_intro.sh SOURCE_DIR SCREEN_CHECK CURSOR_SHOWN
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"
[ $# -eq 3 ] || { echo "usage: $0 SOURCE_DIR SCREEN_CHECK CURSOR_SHOWN" >&2; exit 2; }
[ -n "${DISPLAY:-}" ] || { echo "windows_intro: no DISPLAY; run it through with-xvfb.sh" >&2; exit 2; }
build=$(realpath "$1")/build-windows
check=$(realpath "$2")
cursor_shown=$(realpath "$3")
[ -f "$build/intro.exe" ] || { echo "windows_intro: no $build/intro.exe (scripts/build-windows.sh)" >&2; exit 1; }
export WINEPREFIX=$build/wine-prefix WINEDEBUG=-all

start_work
mkdir "$work/run" "$work/data" "$work/home" "$work/xdg"
chmod 700 "$work/xdg"
# intro.exe is copied next to nothing else: it needs no DLL beside it.
cp "$build/intro.exe" "$work/intro.exe"
export HOME=$work/home XDG_RUNTIME_DIR=$work/xdg
unset PULSE_SERVER PULSE_RUNTIME_PATH INTRO_AUDIO
failures=0
fail() {
    echo "FAIL $1: $2" >&2
    [ -s "$work/stderr" ] && grep -v '^ALSA lib' "$work/stderr" | sed 's/^/    stderr: /' >&2
    failures=$((failures + 1))
}

# 3 s of 440 Hz as the music, found as ../data/ from $work/run; no pictures. The frame of
# 1.0 s, the opening title, holds for a while: the screenshots are retried until it shows.
tone_mp3 3 "$work/data/vorb_06_mp3.mp3"

openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done

# launch COMMAND... SEARCH...: runs COMMAND in $work/run and waits up to 20 s for a window
# that `xdotool search --onlyvisible SEARCH...` finds; sets $pid and $wid (empty when none
# came). The words before "--" are the command. The program's stderr, in text mode as on
# Windows, ends lines with CR LF: $work/stderr has them without the CR.
launch() {
    local command=()
    while [ "$1" != -- ]; do command+=("$1"); shift; done
    shift
    (cd "$work/run" && exec "${command[@]}") 2> >(sed -u 's/\r$//' >"$work/stderr") &
    pid=$!
    pids+=("$pid")
    wid=""
    for _ in $(seq 200); do
        wid=$(xdotool search --onlyvisible "$@" 2>/dev/null | head -n 1) || true
        [ -n "$wid" ] || ! kill -0 "$pid" 2>/dev/null && break
        sleep 0.1
    done
}

# start ARG...: intro.exe with ARG... and its window (see launch).
start() {
    launch wine "$work/intro.exe" "$@" -- --classname '^intro\.exe$'
}

# finish SECONDS: waits up to SECONDS for $pid to end (then kills it); sets $status, 124
# when it had to be killed.
finish() {
    for _ in $(seq $(($1 * 10))); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
    status=0
    wait "$pid" || status=$?
    [ "$status" != 143 ] || status=124
}

# escape NAME: Escape typed into window $wid must end $pid with status 0.
escape() {
    timeout 5 xdotool windowfocus --sync "$wid" || true
    xdotool key Escape
    finish 5
    [ "$status" = 0 ] || fail "$1" "Escape: exit status $status, expected 0"
}

# cursor_at X Y: whether a cursor shows with the pointer at screen (X, Y).
cursor_at() { xdotool mousemove "$1" "$2" && sleep 0.2 && "$cursor_shown" >/dev/null 2>&1; }

# area: "LEFT TOP WIDTH HEIGHT" of window $wid on the screen.
area() {
    xwininfo -id "$wid" | awk '/Absolute upper-left X:/ { x = $NF } /Absolute upper-left Y:/ { y = $NF }
                               /^  Width:/ { w = $NF } /^  Height:/ { h = $NF } END { print x, y, w, h }'
}

# measured NAME LINE [CANVAS]: within 5 s screen_check must pass on window $wid (every pixel
# when CANVAS is given, else only LINE of the layout) and measure LINE.
measured() {
    local canvas=${3:-show:1.0}
    for _ in $(seq 20); do
        import -window root -depth 8 "ppm:$work/shot.ppm"
        # shellcheck disable=SC2046  # the area is four words
        if "$check" "$work/shot.ppm" $(area) "$canvas" >"$work/measured" 2>&1 || [ -z "${3:-}" ]; then
            grep -qxF -- "$2" "$work/measured" && { echo "     $2"; return 0; }
        fi
        sleep 0.25
    done
    fail "$1" "screen_check did not measure \"$2\""
    grep -v MISMATCH "$work/measured" | sed 's/^/    /' >&2
}

cat >"$work/null.pa" <<'PA'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=e2e rate=44100 format=s16le channels=2
set-default-sink e2e
PA
pulseaudio -n -F "$work/null.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    >"$work/pulse.log" 2>&1 &
pulse=$!
pids+=("$pulse")
for _ in $(seq 100); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done

name="-f1 -w640 -h360"
since=$failures
start -f1 -w640 -h360
if [ -z "$wid" ]; then
    fail "$name" "no window appeared"
else
    read -r left _ width height <<<"$(area)"
    [ "${width}x${height}" = 640x360 ] || fail "$name" "client area ${width}x${height}, expected 640x360"
    extents=$(xprop -id "$wid" _NET_FRAME_EXTENTS | sed -n 's/^[^=]*= //p')
    IFS=', ' read -r _ _ top bottom <<<"$extents"
    [ "${top:-0}" -gt "${bottom:-0}" ] || fail "$name" "no caption (frame extents ${extents:-none})"
    cursor_at $((left + 320)) 200 || fail "$name" "no cursor over the window"
    measured "$name" "square: window x 140..499 (360 px wide), screen x $((left + 140))..$((left + 499))" show:1.0
    loudest=$(loudest_sample e2e.monitor 2)
    echo "     loudest sample on the sink's monitor: $loudest"
    [ "$loudest" -ge 1000 ] || fail "$name" "the tone did not reach the sink through WASAPI"
    if grep -q '^audio: no ' "$work/stderr"; then fail "$name" "an output line although WASAPI plays"; fi
    # As a window manager may resize any window; Wine asks for the fixed size in the hints.
    xprop -id "$wid" -remove WM_NORMAL_HINTS
    xdotool windowsize "$wid" 700 500
    measured "$name resized" "grey bars: left 100..100 px, right 100..100 px wide over the rows"
    escape "$name"
fi
[ "$failures" != "$since" ] || echo "ok   $name: 640x360 client area showing the frame exactly, the tone through WASAPI, re-fitted when resized, Escape ends with 0"

kill "$pulse"
wait "$pulse" 2>/dev/null || true
name="-w640 -h360 without a sound server"
since=$failures
start -w640 -h360
if [ -z "$wid" ]; then
    fail "$name" "no window appeared"
else
    [ "$(area)" = "0 0 640 360" ] || fail "$name" "window area $(area), expected the pop-up 0 0 640 360"
    measured "$name" "square: window x 140..499 (360 px wide), screen x 140..499" show:1.0
    # The cursor over the root window below is the control.
    cursor_at 320 500 || fail "$name" "no cursor over the root window either"
    if cursor_at 320 180; then fail "$name" "the cursor is visible over the window"; fi
    grep -q '^audio: no output device (WASAPI: .*); playing on a silent clock$' "$work/stderr" ||
        fail "$name" "no line naming WASAPI's reason and the silent clock"
    escape "$name"
fi
[ "$failures" != "$since" ] || echo "ok   $name: the borderless pop-up at (0,0) showing the frame exactly, cursor hidden, WASAPI's reason and the silent clock"

name="closed"
since=$failures
start -f1 -w320 -h240
if [ -z "$wid" ]; then
    fail "$name" "no window appeared"
else
    measured "$name" "grey bars: left 40..40 px, right 40..40 px wide over the rows"
    wmctrl -i -c "$wid"
    finish 5
    [ "$status" = 0 ] || fail "$name" "window manager's close: exit status $status, expected 0"
fi
[ "$failures" != "$since" ] || echo "ok   $name: the window manager's close ends it with 0"

rm "$work/data/vorb_06_mp3.mp3"
name="missing music"
since=$failures
start -f1 -w320 -h240
finish 20
last=$(grep -v '^ALSA lib' "$work/stderr" | tail -n 1)
[ "$status" = 1 ] || fail "$name" "exit status $status, expected 1"
[ "$last" = "Failed to load music: ../data/vorb_06_mp3.mp3: No such file or directory" ] ||
    fail "$name" "last stderr line \"$last\""
[ "$failures" != "$since" ] || echo "ok   $name: status 1, \"$last\""

name="missing music without a console"
since=$failures
launch wine start /wait /unix "$work/intro.exe" -f1 -w320 -h240 -- --name '^intro$'
box=$wid
if [ -z "$box" ]; then
    fail "$name" "no message box titled \"intro\" appeared"
else
    timeout 5 xdotool windowfocus --sync "$box" || true
    xdotool key Return
fi
finish 10
[ "$status" = 1 ] || fail "$name" "exit status $status once the box was dismissed, expected 1"
if grep -q "Failed to load music" "$work/stderr"; then fail "$name" "the message went to stderr"; fi
[ "$failures" != "$since" ] || echo "ok   $name: a message box titled \"intro\", then status 1"

[ "$failures" = 0 ]
