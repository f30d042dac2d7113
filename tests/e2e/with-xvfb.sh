#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb server of the given size; the
# server picks a free display number itself, so tests may run side by side.
# usage: with-xvfb.sh WIDTHxHEIGHT command [args...]
set -euo pipefail
size=$1; shift
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r -t 20 number <"$fifo" || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$number
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
"$@"
