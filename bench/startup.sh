#!/usr/bin/env bash
# How long the intro takes to show its first frame, against the floor a bare SDL program
# sets (bare_window: a window of the same size with a GL context and one cleared frame),
# in one run on a private Xvfb with a window manager and, where PulseAudio is installed,
# a private sound server with a null sink. Each launch is timed from fork to its first
# grey pixel on screen (first_frame); startup_phases times each step of the intro's
# start-up from inside. The three are launched in turn, RUNS times, with a fourth for
# reference: the bare program presenting one blank 64 x 64 canvas through the intro's
# presenter instead of a cleared frame, the part any program showing a texture pays
# (under software GL the driver compiles its texturing at that first draw).
# usage: bench/startup.sh BUILD_DIR [DATA_DIR] [RUNS]
#   BUILD_DIR  holds intro, bare_window, startup_phases and first_frame
#   DATA_DIR   the data folder (default: BUILD_DIR/../data, as ./run.sh writes it)
#   RUNS       launches of each (default 5)
# Target: the intro's median within 1.15 x the bare program's median.
# Exit status 0 when it is met, 1 when it is missed, 2 when it cannot measure.
set -euo pipefail
here=$(dirname "$(realpath "$0")")
if [ -z "${STARTUP_IN_XVFB:-}" ]; then
    STARTUP_IN_XVFB=1 exec "$here/../tests/e2e/with-xvfb.sh" 800x600 "$0" "$@"
fi
[ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR [DATA_DIR] [RUNS]" >&2; exit 2; }
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/../tests/e2e/common.sh"
build=$(realpath "$1")
data=$(realpath "${2:-$build/../data}")
runs=${3:-5}
[ -f "$data/vorb_06_mp3.mp3" ] || { echo "startup: no data folder at $data (run build/make-data data)" >&2; exit 2; }

start_work
mkdir "$work/run" "$work/home" "$work/xdg"
chmod 700 "$work/xdg"
ln -s "$data" "$work/data"

HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_CACHE_HOME=$work/home/.cache \
    openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
    sleep 0.1
done

audio="SDL's dummy audio driver (no PulseAudio installed)"
if command -v pulseaudio >/dev/null; then
    export XDG_RUNTIME_DIR=$work/xdg
    HOME=$work/home pulseaudio --daemonize=no --exit-idle-time=-1 --disallow-exit -n \
        --load=module-null-sink --load=module-native-protocol-unix >"$work/pulse.log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        pactl info >/dev/null 2>&1 && break
        sleep 0.1
    done
    if pactl info >/dev/null 2>&1; then
        unset SDL_AUDIODRIVER
        audio="a private PulseAudio server with a null sink"
    fi
fi
echo "start-up of a -w640 -h360 window on Xvfb with openbox and $audio; $runs launches each"

# first_ms LOG COMMAND...: launches COMMAND in the run folder through first_frame.
first_ms() {
    local log=$1
    shift
    (cd "$work/run" && "$build/first_frame" 5 180 "$@") >"$log" 2>&1 || {
        echo "startup: $* did not show a first frame:" >&2
        sed 's/^/    /' "$log" >&2
        exit 2
    }
    awk '$1 == "first" { print $3 }' "$log"
}

for i in $(seq "$runs"); do
    bare=$(first_ms "$work/bare.log" "$build/bare_window" 640 360)
    textured=$(first_ms "$work/textured.log" "$build/bare_window" 640 360 textured)
    intro=$(first_ms "$work/intro.log" "$build/intro" -w640 -h360)
    phased=$(first_ms "$work/phases.log" "$build/startup_phases" -w640 -h360)
    echo "$bare" >>"$work/bare"
    echo "$textured" >>"$work/textured"
    echo "$intro" >>"$work/intro"
    # Phases from inside; "before main" is the launch to main: the outside time less
    # the inside total (it also holds the few milliseconds until the pixel is read).
    awk -v outside="$phased" '$1 == "phase" { print $2, $3 } $1 == "phase" && $2 == "total" { print "before-main", outside - $3 }' \
        "$work/phases.log" >>"$work/phases"
    printf "launch %d: bare %.1f ms, bare textured %.1f ms, intro %.1f ms, intro step by step %.1f ms\n" \
        "$i" "$bare" "$textured" "$intro" "$phased"
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
echo "median phases of the intro's start-up (ms):"
for phase in before-main video-init window gl-context pictures music-open audio-device show-wait first-frame total; do
    printf "  %-13s %7.1f\n" "$phase" "$(awk -v p="$phase" '$1 == p { print $2 }' "$work/phases" | median)"
done
bare=$(median <"$work/bare")
textured=$(median <"$work/textured")
intro=$(median <"$work/intro")
awk -v bare="$bare" -v textured="$textured" -v intro="$intro" 'BEGIN {
    ratio = intro / bare
    printf "median first frame: bare %.1f ms, bare textured %.1f ms, intro %.1f ms\n", bare, textured, intro
    printf "ratio to the bare program %.3f (target at most 1.15); to the textured one %.3f\n", ratio, intro / textured
    exit !(ratio <= 1.15)
}'
