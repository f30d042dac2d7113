#!/usr/bin/env bash
# End-to-end: the intro plays its music through a private PulseAudio server with a null
# sink, under Xvfb, and chooses its output as documented.
# usage: audio_pulse.sh INTRO
# The server runs under a private runtime folder and is stopped by its process id.
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"

[ $# -eq 1 ] || { echo "usage: $0 INTRO" >&2; exit 2; }
[ -x "$1" ] || { echo "audio_pulse: no intro binary at $1" >&2; exit 1; }
for tool in pulseaudio pactl parec; do
    command -v "$tool" >/dev/null || { echo "audio_pulse: $tool is not installed (scripts/setup-deps.sh)" >&2; exit 1; }
done
intro=$(realpath "$1")
xvfb=$(dirname "$(realpath "$0")")/with-xvfb.sh

work=$(mktemp -d)
server=
stop_server() {
    [ -n "$server" ] || return 0
    kill "$server" 2>/dev/null || true
    wait "$server" 2>/dev/null || true
    server=
}
trap 'stop_server; rm -rf "$work"' EXIT
mkdir -p "$work/run" "$work/data" "$work/home" "$work/xdg"
chmod 700 "$work/xdg"
export HOME=$work/home XDG_RUNTIME_DIR=$work/xdg
unset PULSE_SERVER PULSE_RUNTIME_PATH INTRO_AUDIO
failed=0

cat >"$work/null.pa" <<'PA'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=e2e rate=44100 format=s16le channels=2
set-default-sink e2e
PA
pulseaudio -n -F "$work/null.pa" --daemonize=no --exit-idle-time=-1 --use-pid-file=no \
    >"$work/server.log" 2>&1 &
server=$!
for ((i = 0; i < 100; i++)); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl info >/dev/null 2>&1 || { echo "audio_pulse: the server did not start:" >&2; cat "$work/server.log" >&2; exit 1; }

# 6 s of a 440 Hz tone as the show's music.
tone_mp3 6 "$work/data/vorb_06_mp3.mp3"

fail() {
    echo "FAIL $1: $2" >&2
    sed 's/^/    stderr: /' "$work/stderr" >&2
    failed=1
}

# start_intro SECONDS [VAR=value...]: the intro in the background, from $work/run (../data
# holds the track), ended after SECONDS; its pid in $intro_pid.
start_intro() {
    local limit=$1
    shift
    (cd "$work/run" && "$xvfb" 640x480 env "$@" \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" \
        "${stop_after[@]}" "$limit" "$intro" -f1 -w320 -h240) >/dev/null 2>"$work/stderr" &
    intro_pid=$!
}

# start_intro_escape SECONDS: as start_intro, but after SECONDS Escape is typed into the
# intro's window; its exit status goes to $work/status. Escape ends the process by exit()
# while the sound server's thread still plays, which must end cleanly with status 0.
start_intro_escape() {
    (cd "$work/run" && "$xvfb" 640x480 env \
        ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0" bash -c '
        "$1" -f1 -w320 -h240 & pid=$!
        sleep "$2"
        wid=$(timeout 5 xdotool search --sync --onlyvisible --pid "$pid" 2>/dev/null | head -n 1)
        [ -n "$wid" ] && timeout 5 xdotool windowfocus --sync "$wid" && xdotool key Escape
        for ((i = 0; i < 50; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill "$pid" 2>/dev/null && echo "still running 5 s after Escape" >&2
        status=0
        wait "$pid" || status=$?
        echo "$status" >"$3"' _ "$intro" "$1" "$work/status") >/dev/null 2>"$work/stderr" &
    intro_pid=$!
}

# loudest_sample: the largest sample magnitude in 1 s of the sink's monitor.
loudest_sample() {
    timeout 1 parec -d e2e.monitor --format=s16le --rate=44100 --channels=2 --raw \
        >"$work/monitor.raw" 2>/dev/null || true
    od -An -v -t d2 -w2 "$work/monitor.raw" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }'
}

# sink_input_of_intro: 1 when a stream of the intro plays on the server.
sink_input_of_intro() {
    pactl list sink-inputs | grep -c 'application.name = "intro"' || true
}

# The server answers: the intro plays through it, says nothing about its output, and the
# tone reaches the sink. The 6 s track is shorter than the show, which it notes once.
# Escape then ends it with status 0.
start_intro_escape 4.5
sleep 3
inputs=$(sink_input_of_intro)
loudest=$(loudest_sample)
wait "$intro_pid" || true
if [ "$inputs" != 1 ]; then
    fail "server chosen" "expected one stream of the intro on the server, found $inputs"
elif grep -q '^audio: no ' "$work/stderr"; then
    fail "server chosen" "an output line although the first choice plays"
elif [ "$(grep -c "^audio: ../data/vorb_06_mp3.mp3 lasts 6.0 s, less than the show's 128.8 s; the show runs on in silence after it$" "$work/stderr")" != 1 ]; then
    fail "server chosen" "not one note about the short track"
elif [ "$loudest" -lt 1000 ]; then
    fail "server chosen" "the sink's monitor heard no tone (loudest sample $loudest)"
elif [ "$(cat "$work/status" 2>/dev/null)" != 0 ]; then
    fail "server chosen" "Escape: exit status $(cat "$work/status" 2>/dev/null), expected 0"
else
    echo "ok   the intro plays through the server (loudest sample $loudest) and ends on Escape"
fi

# INTRO_AUDIO=none: the silent clock, quietly, and nothing on the server.
start_intro 5 INTRO_AUDIO=none
sleep 3
inputs=$(sink_input_of_intro)
loudest=$(loudest_sample)
wait "$intro_pid" || true
if [ "$inputs" != 0 ] || [ "$loudest" -gt 0 ]; then
    fail "INTRO_AUDIO=none" "a stream on the server ($inputs) or sound at the sink ($loudest)"
elif grep -q '^audio: no ' "$work/stderr"; then
    fail "INTRO_AUDIO=none" "an output line although the output was asked for"
else
    echo "ok   INTRO_AUDIO=none plays on the silent clock"
fi

# The server goes away mid-show: the show goes on, on the silent clock, with one line.
start_intro 5
sleep 2.5
stop_server
sleep 1
running=no
kill -0 "$intro_pid" 2>/dev/null && running=yes
status=0
wait "$intro_pid" || status=$?
if [ "$running" != yes ] || [ "$status" != 124 ]; then
    fail "server gone" "the intro did not run on (exit status $status)"
elif [ "$(grep -c '^audio: the sound server went away; playing on a silent clock$' "$work/stderr")" != 1 ]; then
    fail "server gone" "expected one line \"audio: the sound server went away; playing on a silent clock\""
else
    echo "ok   the server going away mid-show leaves the show on the silent clock"
fi

# No server: SDL plays (its dummy driver here) and one line says so.
stop_server
start_intro 3
wait "$intro_pid" || true
if [ "$(grep -c '^audio: no sound server (.*); playing through SDL audio$' "$work/stderr")" != 1 ]; then
    fail "no server" "expected one line \"audio: no sound server (...); playing through SDL audio\""
else
    echo "ok   without a server SDL audio plays, with one line saying so"
fi

# INTRO_AUDIO=pulse without a server: the silent clock, and one line naming the server.
start_intro 3 INTRO_AUDIO=pulse
wait "$intro_pid" || true
if [ "$(grep -c '^audio: no output device (sound server: .*); playing on a silent clock$' "$work/stderr")" != 1 ]; then
    fail "INTRO_AUDIO=pulse, no server" "expected one \"audio: no output device (sound server: ...)\" line"
else
    echo "ok   INTRO_AUDIO=pulse without a server falls back to the silent clock"
fi

exit "$failed"
