# shellcheck shell=bash disable=SC2034,SC2154
# Sourced by the sound benchmarks, after tests/e2e/common.sh and start_work: real-time
# priority where allowed, and a private PulseAudio with one null sink.
# Servers and the measuring programs run with real-time priority where allowed (chrt), as
# a desktop's sound server does; on a loaded machine without it, stalls of the servers
# themselves swamp what is measured.

# server_rt for the servers, player_rt for the measuring programs of the caller.
server_rt=()
player_rt=()
if chrt -f 20 true 2>/dev/null; then
    server_rt=(chrt -f 30)
    player_rt=(chrt -f 20)
else
    echo "$(basename "$0"): real-time priority not allowed; figures include scheduling delays" >&2
fi

# realtime PID: every thread of PID at real-time priority, where allowed. PulseAudio
# resets the priority it was started with, so its threads are set once they run.
realtime() {
    [ ${#server_rt[@]} -gt 0 ] || return 0
    local task
    for task in /proc/"$1"/task/*; do
        chrt -f -p 30 "${task##*/}" >/dev/null 2>&1 || true
    done
}

# wait_for_server: until the pulse socket in $XDG_RUNTIME_DIR answers (10 s at most).
wait_for_server() {
    local i
    for ((i = 0; i < 100; i++)); do
        pactl info >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    echo "$(basename "$0"): the server did not answer; its logs:" >&2
    tail -n 5 "$work"/*.log >&2
    return 1
}

# start_private_pulse: PulseAudio under its own runtime folder in $work, with the null sink
# "bench" as the default sink, stopped with the other pids. Its null sink renders far ahead
# while idle and rewinds when a stream starts; its monitor cannot take back what it passed
# on, so the recording's timeline breaks up around the start by hundreds of ms, the
# reference with it. Without rewinds the sink holds a steady amount, as a device does, and
# the start can be measured too.
start_private_pulse() {
    export HOME=$work/home XDG_RUNTIME_DIR=$work/pulse-run
    unset PULSE_SERVER PULSE_RUNTIME_PATH DBUS_SESSION_BUS_ADDRESS
    mkdir -p "$HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    cat >"$work/null.pa" <<'PA'
load-module module-native-protocol-unix
load-module module-null-sink sink_name=bench rate=44100 format=s16le channels=2 norewinds=1
set-default-sink bench
PA
    daemon pulseaudio "${server_rt[@]}" pulseaudio -n -F "$work/null.pa" --daemonize=no \
        --exit-idle-time=-1 --use-pid-file=no
    wait_for_server
    realtime "${pids[-1]}"
}
