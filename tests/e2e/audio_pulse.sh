#!/usr/bin/env bash
# End-to-end: the intro plays its music through a private PulseAudio server with a null
# sink, under Xvfb, and chooses its output as documented.
# usage: audio_pulse.sh INTRO
# The server runs under a private runtime folder and is stopped by its process id.
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/audio_common.sh"

[ $# -eq 1 ] || { echo "usage: $0 INTRO" >&2; exit 2; }
[ -x "$1" ] || { echo "audio_pulse: no intro binary at $1" >&2; exit 1; }
for tool in pulseaudio pactl parec; do
    command -v "$tool" >/dev/null || { echo "audio_pulse: $tool is not installed (scripts/setup-deps.sh)" >&2; exit 1; }
done
intro=$(realpath "$1")
xvfb=$(dirname "$(realpath "$0")")/with-xvfb.sh

start_work
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
pids+=($!)
for ((i = 0; i < 100; i++)); do
    pactl info >/dev/null 2>&1 && break
    sleep 0.1
done
pactl info >/dev/null 2>&1 || { echo "audio_pulse: the server did not start:" >&2; cat "$work/server.log" >&2; exit 1; }

# 6 s of a 440 Hz tone as the show's music.
tone_mp3 6 "$work/data/vorb_06_mp3.mp3"

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
loudest=$(loudest_sample e2e.monitor)
wait "$intro_pid" || true
if [ "$inputs" != 1 ]; then
    fail "server chosen" "expected one stream of the intro on the server, found $inputs"
elif [ "$(grep -c "^audio: ../data/vorb_06_mp3.mp3 lasts 6.0 s, less than the show's 128.8 s; the show runs on in silence after it$" "$work/stderr")" != 1 ]; then
    fail "server chosen" "not one note about the short track"
else
    check_played "server chosen" "the intro plays through the server"
fi

# INTRO_AUDIO=none: the silent clock, quietly, and nothing on the server.
start_intro 5 INTRO_AUDIO=none
sleep 3
inputs=$(sink_input_of_intro)
loudest=$(loudest_sample e2e.monitor)
wait "$intro_pid" || true
if [ "$inputs" != 0 ] || [ "$loudest" -gt 0 ]; then
    fail "INTRO_AUDIO=none" "a stream on the server ($inputs) or sound at the sink ($loudest)"
elif grep -q '^audio: no ' "$work/stderr"; then
    fail "INTRO_AUDIO=none" "an output line although the output was asked for"
else
    echo "ok   INTRO_AUDIO=none plays on the silent clock"
fi

# The server goes away mid-show.
check_runs_on "the server gone mid-show" stop_pids

# No server: SDL plays (its dummy driver here) and one line says so.
stop_pids
check_one_line "without a server SDL audio plays, with one line saying so" \
    '^audio: no sound server (.*); playing through SDL audio$'

# INTRO_AUDIO=pulse without a server: the silent clock, and one line naming the server.
check_one_line "INTRO_AUDIO=pulse without a server falls back to the silent clock" \
    '^audio: no output device (sound server: .*); playing on a silent clock$' INTRO_AUDIO=pulse

exit "$failed"
