#!/usr/bin/env bash
# End-to-end: where PipeWire runs, the intro plays through PipeWire's own stream interface
# (not through pipewire-pulse), under Xvfb, and says nothing about its output; the daemon
# going away leaves the show on the silent clock; INTRO_AUDIO=pipewire without a daemon
# says so; without libpipewire, or libpulse too, the next output plays, with one line.
# usage: audio_pipewire.sh INTRO HIDE_LIBRARY
# HIDE_LIBRARY is preloaded to make dlopen fail for the sonames in $HIDDEN_LIBRARIES.
# The daemons (a private D-Bus, PipeWire, WirePlumber and pipewire-pulse, for the null
# sink and for listening to it) run under a private runtime folder and are stopped by
# their process ids.
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/audio_common.sh"

[ $# -eq 2 ] || { echo "usage: $0 INTRO HIDE_LIBRARY" >&2; exit 2; }
[ -x "$1" ] || { echo "audio_pipewire: no intro binary at $1" >&2; exit 1; }
for tool in pipewire wireplumber pipewire-pulse dbus-daemon pactl parec; do
    command -v "$tool" >/dev/null || { echo "audio_pipewire: $tool is not installed (scripts/setup-deps.sh)" >&2; exit 1; }
done
intro=$(realpath "$1")
hide_library=$(realpath "$2")
xvfb=$(dirname "$(realpath "$0")")/with-xvfb.sh

start_work
mkdir -p "$work/run" "$work/data" "$work/home" "$work/xdg"
chmod 700 "$work/xdg"
export HOME=$work/home XDG_RUNTIME_DIR=$work/xdg
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/xdg/bus
unset PULSE_SERVER PULSE_RUNTIME_PATH PIPEWIRE_REMOTE PIPEWIRE_RUNTIME_DIR INTRO_AUDIO
failed=0

# start_daemons [SESSION_MANAGER]: D-Bus, PipeWire, the session manager (unless "none")
# and pipewire-pulse, fresh.
start_daemons() {
    rm -rf "${work:?}/xdg"/*
    daemon dbus dbus-daemon --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS"
    for ((i = 0; i < 50; i++)); do [ -S "$work/xdg/bus" ] && break; sleep 0.1; done
    daemon pipewire pipewire
    for ((i = 0; i < 50; i++)); do [ -S "$work/xdg/pipewire-0" ] && break; sleep 0.1; done
    [ "${1:-}" = none ] || daemon wireplumber wireplumber
    daemon pipewire-pulse pipewire-pulse
    # No pulse client before pipewire-pulse has made its socket: a client makes the
    # runtime folder's "pulse" folder itself, and pipewire-pulse then refuses to start.
    for ((i = 0; i < 100; i++)); do [ -S "$work/xdg/pulse/native" ] && break; sleep 0.1; done
    for ((i = 0; i < 100; i++)); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    pactl info >/dev/null 2>&1 || { echo "audio_pipewire: the daemons did not start:" >&2; tail -n 5 "$work"/*.log >&2; exit 1; }
}

start_daemons
pactl load-module module-null-sink sink_name=e2e >/dev/null
pactl set-default-sink e2e

tone_mp3 6 "$work/data/vorb_06_mp3.mp3"

# PipeWire runs: its own stream plays (a stream of the pulse protocol would carry
# client.api "pipewire-pulse"), without a word about the output, and the tone reaches the
# sink. Escape then ends it with status 0 while PipeWire's thread plays.
start_intro_escape 4.5
sleep 3
streams=$(pactl list sink-inputs)
intro_streams=$(grep -c 'application.name = "intro"' <<<"$streams" || true)
pulse_streams=$(grep -c 'client.api = "pipewire-pulse"' <<<"$streams" || true)
loudest=$(loudest_sample e2e.monitor)
wait "$intro_pid" || true
if [ "$intro_streams" != 1 ] || [ "$pulse_streams" != 0 ]; then
    fail "PipeWire chosen" "expected one stream of the intro and none through pipewire-pulse, found $intro_streams and $pulse_streams"
else
    check_played "PipeWire chosen" "the intro plays through PipeWire's own stream"
fi

# INTRO_AUDIO=pulse: the pulse protocol even where PipeWire runs.
start_intro 5 INTRO_AUDIO=pulse
sleep 3
pulse_streams=$(pactl list sink-inputs | grep -c 'client.api = "pipewire-pulse"' || true)
wait "$intro_pid" || true
if [ "$pulse_streams" != 1 ] || grep -q '^audio: no ' "$work/stderr"; then
    fail "INTRO_AUDIO=pulse" "expected one stream through pipewire-pulse and no output line, found $pulse_streams"
else
    echo "ok   INTRO_AUDIO=pulse plays through pipewire-pulse"
fi

# Without libpipewire (hidden from dlopen: the intro must not link it, or hiding would
# prove nothing) the pulse protocol plays, and one line says why PipeWire's own does not.
if readelf -d "$intro" | grep -E 'NEEDED.*(libpipewire|libpulse)'; then
    fail "libraries loaded at run time" "the intro links libpipewire or libpulse"
fi
start_intro 4 LD_PRELOAD="$hide_library" HIDDEN_LIBRARIES=libpipewire-0.3.so.0
sleep 3
pulse_streams=$(pactl list sink-inputs | grep -c 'client.api = "pipewire-pulse"' || true)
wait "$intro_pid" || true
if [ "$pulse_streams" != 1 ] || [ "$(grep -c '^audio: no PipeWire ([^)]*libpipewire-0\.3\.so\.0: cannot open shared object file[^)]*); playing through sound server$' "$work/stderr")" != 1 ]; then
    fail "without libpipewire" "expected one stream through pipewire-pulse ($pulse_streams) and one line naming libpipewire"
else
    echo "ok   without libpipewire the intro plays through pipewire-pulse, with one line saying so"
fi

# Without libpulse as well, SDL audio plays.
check_one_line "without libpipewire and libpulse SDL audio plays, with one line saying so" \
    '^audio: no PipeWire ([^)]*libpipewire-0\.3\.so\.0: [^)]*); no sound server ([^)]*libpulse\.so\.0: cannot open shared object file[^)]*); playing through SDL audio$' \
    LD_PRELOAD="$hide_library" HIDDEN_LIBRARIES="libpipewire-0.3.so.0 libpulse.so.0"

# The daemon goes away mid-show.
check_runs_on "PipeWire gone mid-show" stop_pids

# INTRO_AUDIO=pipewire without a daemon: the silent clock, and one line naming PipeWire.
check_one_line "INTRO_AUDIO=pipewire without a daemon falls back to the silent clock" \
    '^audio: no output device (PipeWire: no PipeWire daemon); playing on a silent clock$' \
    INTRO_AUDIO=pipewire

# Without a session manager nothing links the intro's stream: it is never played, and the
# show must not wait for it. PipeWire's own stream is given up after 1 s of no cycle; the
# pulse protocol's stream, never readied, after 2 s.
start_daemons none
check_one_line "PipeWire that never plays the stream leaves the show on the silent clock" \
    '^audio: the sound server went away; playing on a silent clock$'
check_one_line "pipewire-pulse that never readies the stream leaves the show on the silent clock" \
    '^audio: no output device (sound server: the server did not open the stream within 2 s); playing on a silent clock$' \
    INTRO_AUDIO=pulse
stop_pids

exit "$failed"
