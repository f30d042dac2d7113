#!/usr/bin/env bash
# The show's clock against the sound leaving the sink, on private sound servers: a
# PulseAudio and, when installed, a PipeWire with pipewire-pulse and WirePlumber, each with
# a null sink, each under its own runtime folder and stopped by its process id.
# audio-click-sync plays a click track through the audio library and records the sink's
# monitor; one line per output and latency setting, with the targets checked.
# usage: bench/click_sync.sh [BUILD_DIR [SECONDS]]   (default: build 20)
# Servers and the measuring program run with real-time priority where allowed
# (private_pulse.sh).
set -euo pipefail

build=${1:-build}
seconds=${2:-20}
sync=$build/audio-click-sync
if [ ! -x "$sync" ]; then
    echo "click_sync: no $sync; build it with: cmake --build $build --target audio-click-sync" >&2
    exit 1
fi
sync=$(realpath "$sync")

# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/../tests/e2e/common.sh"
start_work
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/private_pulse.sh"
reference=()  # audio-click-sync's --reference

# measure LABEL TARGET_MEAN_MS TARGET_SPREAD_MS [VAR=value...]: one run, judged against
# the targets (a TARGET_MEAN_MS of "-": shown for comparison only).
measure() {
    local label=$1 mean_limit=$2 spread_limit=$3
    shift 3
    local line
    if ! line=$(env "$@" "${player_rt[@]}" "$sync" --seconds "$seconds" --label "$label" \
                "${reference[@]}" 2>"$work/stderr"); then
        echo "$label: failed: $(tail -n 1 "$work/stderr")"
        return
    fi
    if grep -q '^audio: no ' "$work/stderr"; then
        echo "$label: the output asked for did not play: $(grep '^audio: no ' "$work/stderr")"
        return
    fi
    if [ "$mean_limit" = - ]; then
        echo "$line  (no target)"
        return
    fi
    echo "$line" | awk -v mean_limit="$mean_limit" -v spread_limit="$spread_limit" '
    NR > 1 { print; next }
    {
        for (i = 1; i < NF; i++) {
            if ($i == "mean") mean = $(i + 1) + 0
            if ($i == "spread") spread = $(i + 1) + 0
            if ($i == "jitter") jitter = $(i + 1) + 0
            if ($i == "backward") backward = $(i + 1) + 0
        }
        ok = (mean <= mean_limit && -mean <= mean_limit && spread <= spread_limit &&
              jitter <= 2 && backward == 0)
        print $0 (ok ? "  ok" : "  MISSED")
    }'
}

# The runs on one server: the pulse protocol through libpulse, and SDL's backends.
measure_server() {
    local name=$1
    shift
    measure "$name libpulse" 3 4 INTRO_AUDIO=pulse
    measure "$name libpulse 150ms" 3 4 INTRO_AUDIO=pulse PULSE_LATENCY_MSEC=150
    local driver
    for driver in "$@"; do
        measure "$name SDL $driver" 10 1000 INTRO_AUDIO=sdl SDL_AUDIODRIVER="$driver"
        # SDL cannot see what the sink holds beyond its own buffer: the reason for libpulse.
        measure "$name SDL $driver 150ms" - - INTRO_AUDIO=sdl SDL_AUDIODRIVER="$driver" \
            PULSE_LATENCY_MSEC=150
    done
}

echo "offset: clock time of a click - time it left the sink (+: picture late)"
echo "targets: libpulse |mean| <= 3 ms, spread <= 4 ms; SDL |mean| <= 10 ms; jitter <= 2 ms; 0 backward"

# PulseAudio, without rewinds (private_pulse.sh).
if command -v pulseaudio >/dev/null; then
    start_private_pulse
    name="PulseAudio $(pulseaudio --version | awk '{print $2}')"
    measure_server "$name" pulseaudio
    # The deep buffer against a recorder that leaves the sink at its own latency (one that
    # asks for 5 ms lowers the sink's too); the line ends with the sink's latency as seen.
    reference=(--reference not-asked)
    measure "$name libpulse 150ms not-asked" 3 4 INTRO_AUDIO=pulse PULSE_LATENCY_MSEC=150
    reference=()
    stop_pids
else
    echo "PulseAudio: not installed (scripts/setup-deps.sh installs it)"
fi

# PipeWire with pipewire-pulse and WirePlumber, on a private D-Bus for WirePlumber.
if command -v pipewire >/dev/null && command -v pipewire-pulse >/dev/null &&
   command -v wireplumber >/dev/null && command -v dbus-daemon >/dev/null; then
    export XDG_RUNTIME_DIR=$work/pipewire-run
    mkdir -p "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    export DBUS_SESSION_BUS_ADDRESS=unix:path=$XDG_RUNTIME_DIR/bus
    daemon dbus dbus-daemon --session --nofork --nopidfile --address="$DBUS_SESSION_BUS_ADDRESS"
    sleep 0.3
    daemon pipewire "${server_rt[@]}" pipewire
    sleep 0.5
    daemon wireplumber wireplumber
    daemon pipewire-pulse "${server_rt[@]}" pipewire-pulse
    # No pulse client before pipewire-pulse has made its socket: a client makes the
    # runtime folder's "pulse" folder itself, and pipewire-pulse then refuses to start.
    for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/pulse/native" ] && break; sleep 0.1; done
    wait_for_server
    for pid in "${pids[@]}"; do realtime "$pid"; done
    pactl load-module module-null-sink sink_name=bench >/dev/null
    pactl set-default-sink bench
    sleep 0.5
    # The clicks are placed by PipeWire's own timing of the monitor: the pulse protocol's
    # account of a recording is rougher by milliseconds (its figure is printed beside).
    reference=(--reference pipewire)
    name="PipeWire $(pipewire --version | awk '/libpipewire/ {print $4; exit}')"
    measure "$name own" 3 4 INTRO_AUDIO=pipewire
    measure "$name own 150ms" 3 4 INTRO_AUDIO=pipewire PIPEWIRE_LATENCY=6615/44100
    measure_server "$name" pulseaudio pipewire
    # Last, as the graph runs unevenly for a while after its quantum changes: a graph that
    # holds more per cycle, as a sink with a long quantum does. Through
    # pipewire-pulse (only the fallback here) the clock is one cycle early: its reports
    # leave that cycle out.
    pw-metadata -n settings 0 clock.force-quantum 2048 >/dev/null
    sleep 0.3
    measure "$name own quantum 2048" 3 4 INTRO_AUDIO=pipewire
    measure "$name libpulse quantum 2048" 3 4 INTRO_AUDIO=pulse
    stop_pids
else
    echo "PipeWire: pipewire, pipewire-pulse, wireplumber or dbus-daemon not installed"
fi
