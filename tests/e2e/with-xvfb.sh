#!/usr/bin/env bash
# Runs a command with DISPLAY set to a private Xvfb server of the given size; the
# server picks a free display number itself, so tests may run side by side. -noreset: by
# default the server resets when its last client leaves and refuses connections for a
# moment, so a program started right after another one ended could find no display.
# usage: [XVFB_ARGS=options] with-xvfb.sh WIDTHxHEIGHT command [args...]
#   XVFB_ARGS  further server options, as words: "-extension GLX" for a server without GL
set -euo pipefail
size=$1; shift
fifo=$(mktemp -u)
mkfifo "$fifo"
# shellcheck disable=SC2086  # the options are separate words
Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp -noreset ${XVFB_ARGS:-} 3>"$fifo" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null || true; rm -f "$fifo"' EXIT
read -r -t 20 number <"$fifo" || { echo "with-xvfb: Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$number
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}
"$@"
