#!/usr/bin/env bash
# How hard the intro's frame loop works: the CPU time of the intro process (all its
# threads) over 10 s of the show, as a share of one core, and the frames it presents per
# second against the display's refresh. Runs the intro at -w640 -h360 on a private Xvfb
# with a window manager, as a user would under software OpenGL.
# usage: bench/pacing.sh BUILD_DIR [DATA_DIR]
#   BUILD_DIR  holds intro and frames_shown (cmake --build BUILD_DIR --target intro frames_shown)
#   DATA_DIR   the data folder (default: BUILD_DIR/../data, as ./run.sh writes it)
# Targets: at most 10 % of one core; frames per second within 5 % of the refresh.
# Exit status 0 when both are met, 1 when one is missed, 2 when it cannot measure.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
if [ -z "${PACING_IN_XVFB:-}" ]; then
    PACING_IN_XVFB=1 exec "$here/../tests/e2e/with-xvfb.sh" 800x600 "$0" "$@"
fi
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [DATA_DIR]" >&2; exit 2; }
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/../tests/e2e/common.sh"
build=$(realpath "$1")
data=$(realpath "${2:-$build/../data}")
seconds=10
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

(cd "$work/run" && exec "$build/intro" -w640 -h360) 2>"$work/stderr" &
pid=$!
pids+=("$pid")
wid=""
for _ in $(seq 100); do
    wid=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -n 1) || true
    [ -n "$wid" ] && break
    sleep 0.1
done
[ -n "$wid" ] || { echo "pacing: no window appeared" >&2; cat "$work/stderr" >&2; exit 2; }
sleep 2  # past start-up

# CPU time of every thread of the process so far, in clock ticks (utime + stime).
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
t0=$(date +%s%N)
"$build/frames_shown" "$wid" "$seconds" >"$work/frames"
t1=$(date +%s%N)
after=$(ticks)

refresh=$(awk '$1 == "refresh" { print $2 }' "$work/frames")
echo "refresh as SDL reports it: ${refresh:-unknown} Hz"
frames=$(awk '$1 == "frames" { print $2 }' "$work/frames")
[ "${refresh:-0}" -gt 0 ] || refresh=60  # what the intro takes when SDL does not know
awk -v ticks=$((after - before)) -v hz="$hz" -v ns=$((t1 - t0)) -v frames="$frames" \
    -v refresh="$refresh" -v seconds="$seconds" 'BEGIN {
    wall = ns / 1e9
    cpu = 100 * ticks / hz / wall
    fps = frames / seconds
    off = 100 * (fps - refresh) / refresh
    printf "intro -w640 -h360, CPU over %.2f s, frames over %d s:\n", wall, seconds
    printf "  CPU      %.1f %% of one core (all threads; target at most 10 %%)\n", cpu
    printf "  frames   %d presented, %.1f per second; refresh %d Hz; %+.1f %% (target within 5 %%)\n",
           frames, fps, refresh, off
    exit !(cpu <= 10 && off <= 5 && off >= -5)
}'
