#!/usr/bin/env bash
# How hard the intro works over the whole show, as a user would run it under software
# OpenGL (a private Xvfb with a window manager, SDL's dummy audio): the CPU time of the
# intro process (all its threads) as a share of one core over the show (from 1 s after
# its window appears to 129.5 s, past the last change at 128.8 s) and over 10 s of the
# final picture (130 to 140 s), and the frames it presents per second from 71.5 to 81.5 s,
# where every frame of the show differs from the one before, against the display's refresh.
# usage: bench/pacing.sh BUILD_DIR [DATA_DIR [WIDTHxHEIGHT]]
#   BUILD_DIR     holds intro and frames_shown (cmake --build BUILD_DIR --target intro frames_shown)
#   DATA_DIR      the data folder (default: BUILD_DIR/../data, as ./run.sh writes it)
#   WIDTHxHEIGHT  the window (default 640x360); the screen is at least 800x600
#   INTRO=PATH    measures another intro binary (an older build, say) with the same tools
# Targets: the show at most 5 % of one core, the final picture at most 1 %, frames while
# the picture moves within 5 % of the refresh. Takes about 145 s.
# Exit status 0 when all are met, 1 when one is missed, 2 when it cannot measure.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
size=${3:-640x360}
if [ -z "${PACING_IN_XVFB:-}" ]; then
    width=${size%x*} height=${size#*x}
    screen="$((width > 800 ? width : 800))x$((height > 600 ? height : 600))"
    PACING_IN_XVFB=1 exec "$here/../tests/e2e/with-xvfb.sh" "$screen" "$0" "$@"
fi
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [DATA_DIR [WIDTHxHEIGHT]]" >&2; exit 2; }
# shellcheck source=/dev/null
source "$here/../tests/e2e/common.sh"
build=$(realpath "$1")
data=$(realpath "${2:-$build/../data}")
intro=$(realpath "${INTRO:-$build/intro}")
[ -f "$data/vorb_06_mp3.mp3" ] || { echo "pacing: no data folder at $data (run build/make-data data)" >&2; exit 2; }

start_work
mkdir "$work/run" "$work/home"
ln -s "$data" "$work/data"

HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache \
    openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done

(cd "$work/run" && exec "$intro" -w"${size%x*}" -h"${size#*x}") 2>"$work/stderr" &
pid=$!
pids+=("$pid")
wid=""
for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
    [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || { echo "pacing: no window appeared" >&2; cat "$work/stderr" >&2; exit 2; }
t0=$(date +%s%N)

# CPU time of every thread of the process so far, in clock ticks (utime + stime), and the
# wall time since the window appeared, in ns.
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
since() { echo $(($(date +%s%N) - t0)); }
wait_until() { while [ "$(since)" -lt $(($1 * 1000000)) ]; do sleep 0.05; done; }

wait_until 1000
show_ticks=$(ticks) show_ns=$(since)
wait_until 71500
"$build/frames_shown" "$wid" 10 >"$work/frames"
wait_until 129500
end_ticks=$(ticks) end_ns=$(since)
wait_until 130000
held_ticks=$(ticks) held_ns=$(since)
wait_until 140000
last_ticks=$(ticks) last_ns=$(since)
alive() { kill -0 "$pid" 2>/dev/null; }
alive || { echo "pacing: the intro ended before the measurement did" >&2; cat "$work/stderr" >&2; exit 2; }

refresh=$(awk '$1 == "refresh" { print $2 }' "$work/frames")
frames=$(awk '$1 == "frames" { print $2 }' "$work/frames")
echo "refresh as SDL reports it: ${refresh:-unknown} Hz"
[ "${refresh:-0}" -gt 0 ] || refresh=60  # what the intro takes when SDL does not know
awk -v hz="$(getconf CLK_TCK)" -v size="$size" -v intro="$intro" \
    -v show="$((end_ticks - show_ticks)) $((end_ns - show_ns))" \
    -v held="$((last_ticks - held_ticks)) $((last_ns - held_ns))" \
    -v frames="$frames" -v refresh="$refresh" 'BEGIN {
    split(show, s, " "); split(held, h, " ")
    show_cpu = 100 * s[1] / hz / (s[2] / 1e9)
    held_cpu = 100 * h[1] / hz / (h[2] / 1e9)
    fps = frames / 10
    off = 100 * (fps - refresh) / refresh
    printf "%s -w%s -h%s:\n", intro, substr(size, 1, index(size, "x") - 1), substr(size, index(size, "x") + 1)
    printf "  show           %5.1f %% of one core over %.1f s (all threads; target at most 5 %%)\n", show_cpu, s[2] / 1e9
    printf "  final picture  %5.1f %% of one core over %.1f s (target at most 1 %%)\n", held_cpu, h[2] / 1e9
    printf "  moving         %d frames presented in 10 s, %.1f per second; refresh %d Hz; %+.1f %% (target within 5 %%)\n",
           frames, fps, refresh, off
    exit !(show_cpu <= 5 && held_cpu <= 1 && off <= 5 && off >= -5)
}'
