#!/usr/bin/env bash
# SIGTERM and SIGINT end the intro with status 0 whenever they come: while it plays, and
# promptly while start-up is still loading the pictures or opening the music. Start-up
# is held at one file by the stall_open library (a slow disk), so the signal arrives
# there for certain. Runs on the X server in $DISPLAY (see with-xvfb.sh).
# usage: startup_signals.sh INTRO STALL_OPEN_LIBRARY
# QUIT_LIMIT_MS (default 1000): how soon after the signal the process must have ended.
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"

[ $# -eq 2 ] || { echo "usage: $0 INTRO STALL_OPEN_LIBRARY" >&2; exit 2; }
intro=$(realpath "$1")
stall=$(realpath "$2")
limit_ms=${QUIT_LIMIT_MS:-1000}
[ -n "${DISPLAY:-}" ] || { echo "startup_signals: no DISPLAY; run it through with-xvfb.sh" >&2; exit 2; }

work=$(mktemp -d)
pid=""
cleanup() {
    [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir "$work/run" "$work/data"
tone_mp3 1.5 "$work/data/vorb_06_mp3.mp3"
failures=0

# A background job of a script starts with SIGINT ignored, and the intro rightly keeps a
# signal it was started with ignored; this puts SIGINT back to its default first.
with_sigint() { exec perl -e '$SIG{INT} = "DEFAULT"; exec @ARGV or die "$ARGV[0]: $!\n"' "$@"; }

alive() {
    local state
    state=$(cut -d ' ' -f 3 "/proc/$pid/stat" 2>/dev/null) || return 1
    [ -n "$state" ] && [ "$state" != Z ]
}

# quit_check NAME SIGNAL: sends SIGNAL to $pid; it must end with status 0 within
# $limit_ms, printing nothing more on stderr.
quit_check() {
    local name=$1 signal=$2 t0 elapsed status=0 printed
    if ! alive; then
        wait "$pid" || status=$?
        pid=""
        echo "FAIL $name: ended by itself with status $status before the signal" >&2
        sed 's/^/    stderr: /' "$work/stderr" >&2
        failures=$((failures + 1))
        return
    fi
    printed=$(stat -c %s "$work/stderr")
    t0=$(date +%s%N)
    kill -s "$signal" "$pid"
    local deadline=$((t0 + 10 * 1000000000))
    while alive && [ "$(date +%s%N)" -lt "$deadline" ]; do sleep 0.005; done
    elapsed=$((($(date +%s%N) - t0) / 1000000))
    if alive; then
        kill -KILL "$pid"
        wait "$pid" 2>/dev/null || true
        echo "FAIL $name: still running 10 s after SIG$signal" >&2
        failures=$((failures + 1))
        return
    fi
    wait "$pid" || status=$?
    pid=""
    if [ "$status" != 0 ]; then
        echo "FAIL $name: exit status $status after SIG$signal, expected 0" >&2
        failures=$((failures + 1))
    elif [ "$elapsed" -gt "$limit_ms" ]; then
        echo "FAIL $name: ended $elapsed ms after SIG$signal, more than $limit_ms ms" >&2
        failures=$((failures + 1))
    elif [ "$(stat -c %s "$work/stderr")" != "$printed" ]; then
        echo "FAIL $name: printed on stderr:" >&2
        tail -c +$((printed + 1)) "$work/stderr" | sed 's/^/    /' >&2
        failures=$((failures + 1))
    else
        echo "ok   $name: status 0, $elapsed ms after SIG$signal"
    fi
}

# While playing: the behaviour start-up must match.
for signal in TERM INT; do
    (cd "$work/run" && with_sigint "$intro" -w320 -h240) 2>"$work/stderr" &
    pid=$!
    for _ in $(seq 100); do
        xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && break
        sleep 0.1
    done
    sleep 0.5  # into the frame loop
    quit_check "playing, SIG$signal" "$signal"
done

# Held while opening a picture, then while opening the music. Sanitizer builds would
# refuse a library preloaded ahead of their runtime; this one needs none of it.
for file in lonestar.png vorb_06_mp3.mp3; do
    for signal in TERM INT; do
        rm -f "$work/ready"
        (cd "$work/run" && STALL_OPEN_NAME=/$file STALL_OPEN_READY=$work/ready \
            LD_PRELOAD=$stall ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 \
            with_sigint "$intro" -w320 -h240) 2>"$work/stderr" &
        pid=$!
        for _ in $(seq 200); do
            [ -e "$work/ready" ] && break
            alive || break
            sleep 0.05
        done
        if [ ! -e "$work/ready" ]; then
            echo "FAIL opening $file: start-up never opened it" >&2
            sed 's/^/    stderr: /' "$work/stderr" >&2
            failures=$((failures + 1))
            kill "$pid" 2>/dev/null || true
            wait "$pid" 2>/dev/null || true
            pid=""
            continue
        fi
        quit_check "opening $file, SIG$signal" "$signal"
    done
done

[ "$failures" = 0 ]
