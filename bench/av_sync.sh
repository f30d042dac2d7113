#!/usr/bin/env bash
# Picture against sound end to end, for the desktop intro and for the page in Chromium: on
# a private Xvfb display and a private PulseAudio with a null sink (started here, stopped
# by their process ids), each player plays a click track as the show's music with the
# default pictures, while av-sync-probe watches pixels of the display and records the
# sink's monitor. One line per run: the sharp picture changes matched, and how far each
# appeared from the moment its show time left the sink (+: picture late), as mean, standard
# deviation, smallest and largest; then the runs of each case pooled, with the targets
# checked. The intro also runs with PULSE_LATENCY_MSEC=150, measured by both recorders.
# usage: bench/av_sync.sh [BUILD_DIR [SITE_DIR [SECONDS [RUNS]]]]
#        (default: build build-web/site 40 3; a SITE_DIR that does not exist skips the page)
# AV_SYNC_EVENTS=1 also lists every change matched, with its offset; AV_SYNC_CASES limits
# the cases to some of "intro deep page" (deep: the intro with PULSE_LATENCY_MSEC=150).
set -euo pipefail

build=${1:-build}
site=${2:-build-web/site}
seconds=${3:-40}
runs=${4:-3}
for program in av-sync-probe intro make-data; do
    if [ ! -x "$build/$program" ]; then
        echo "av_sync: no $build/$program; build it with: cmake --build $build --target $program" >&2
        exit 1
    fi
done
build=$(realpath "$build")
probe=$build/av-sync-probe
bench=$(dirname "$(realpath "$0")")
for program in Xvfb pulseaudio pactl; do
    command -v "$program" >/dev/null || { echo "av_sync: $program is not installed (scripts/setup-deps.sh)" >&2; exit 1; }
done
page=1
if [ ! -f "$site/index.html" ]; then
    echo "av_sync: no page at $site (web/build-site.sh builds it): the page is skipped" >&2
    page=0
else
    site=$(realpath "$site")
fi

# shellcheck source=/dev/null
source "$bench/../tests/e2e/common.sh"
start_work
# shellcheck source=/dev/null
source "$bench/private_pulse.sh"

# The default pictures, with the click track as the music.
"$build/make-data" "$work/data" >/dev/null
"$probe" --make-track "$work/data/vorb_06_mp3.mp3" --seconds $((seconds + 20))
mkdir -p "$work/run"  # the intro's working directory: its data is ../data/

daemon xvfb Xvfb -screen 0 1024x768x24 -nolisten tcp -displayfd 3 3>"$work/display"
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "av_sync: Xvfb did not start: $(tail -n 3 "$work/xvfb.log")" >&2; exit 1; }
DISPLAY=:$(cat "$work/display")
export DISPLAY
start_private_pulse

# wait_for FILE PID: until FILE exists (60 s at most) or PID has ended.
wait_for() {
    local i
    for ((i = 0; i < 600; i++)); do
        [ -e "$1" ] && return 0
        kill -0 "$2" 2>/dev/null || return 1
        sleep 0.1
    done
    return 1
}

# end PID: stops one process started here and waits for it.
end() {
    kill "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}

# probe_run LABEL RECORDERS CANVAS READY [OPTION...]: av-sync-probe in the background,
# result lines to $work/result; sets probe_pid.
probe_run() {
    rm -f "$4"
    "$probe" --track "$work/data/vorb_06_mp3.mp3" --data "$work/data" --canvas "$3" \
        --seconds "$seconds" --recorders "$2" --ready "$4" --label "$1" "${@:5}" \
        ${AV_SYNC_EVENTS:+--events} \
        >"$work/result" 2>"$work/probe.log" &
    probe_pid=$!
}

# probe_result: waits for the probe and prints its lines (or why there are none).
probe_result() {
    if wait "$probe_pid" && [ -s "$work/result" ]; then
        tee -a "$work/all" <"$work/result"
    else
        echo "av-sync-probe failed: $(tail -n 1 "$work/probe.log")"
    fi
}

# intro_run LABEL RECORDERS [VAR=value...]: one run of the intro in a 512 x 512 pop-up at
# the display's corner (8 screen pixels to a canvas pixel), through libpulse.
intro_run() {
    local label=$1 recorders=$2
    shift 2
    probe_run "$label" "$recorders" 0,0,512 "$work/ready"
    if ! wait_for "$work/ready" "$probe_pid"; then
        probe_result
        return
    fi
    (cd "$work/run" && exec env INTRO_AUDIO=pulse "$@" "$build/intro" -w512 -h512 -x0 -y0) \
        >/dev/null 2>"$work/intro.log" &
    local intro_pid=$!
    probe_result
    end "$intro_pid"
}

# page_run LABEL: one run of the page, started from the show's start by key.
page_run() {
    rm -f "$work/geometry" "$work/go" "$work/clock"
    node "$bench/av_sync_page.mjs" --site "$site" --data "$work/data" --from 0 \
        --seconds "$((seconds + 2))" --geometry "$work/geometry" --go "$work/go" \
        --clock-log "$work/clock" \
        >"$work/page.log" 2>&1 &
    local page_pid=$!
    if ! wait_for "$work/geometry" "$page_pid"; then
        echo "$1: the page did not open: $(tail -n 3 "$work/page.log")"
        end "$page_pid"
        return
    fi
    probe_run "$1" asked "$(cat "$work/geometry")" "$work/go" --clock-log "$work/clock"
    probe_result
    # The page closes by itself a little after the probe ends.
    local i
    for ((i = 0; i < 100; i++)); do kill -0 "$page_pid" 2>/dev/null && sleep 0.1; done
    if kill -0 "$page_pid" 2>/dev/null; then
        end "$page_pid"
    elif ! wait "$page_pid"; then
        echo "$1: the page failed: $(tail -n 5 "$work/page.log")"
    fi
    grep -h "^av_sync_page" "$work/page.log" || true
}

# pooled LABEL MEAN_LIMIT SPREAD_LIMIT RECORDER: the runs of LABEL measured by RECORDER
# taken together, judged by |mean| and by the standard deviation against the targets.
pooled() {
    awk -v label="$1" -v mean_limit="$2" -v spread_limit="$3" -v recorder="$4" '
    { name = substr($0, 1, 28); sub(/ +$/, "", name) }
    name == label && index($0, "| " recorder " recorder") {
        for (i = 1; i < NF; i++) {
            if ($i == "changes" || $i == "clicks") { split($(i + 1), c, "/"); n = c[1] + 0 }
            if ($i == "mean") m = $(i + 1) + 0
            if ($i == "sd") s = $(i + 1) + 0
            if ($i == "min") low = (runs && low < $(i + 1) + 0) ? low : $(i + 1) + 0
            if ($i == "max") high = (runs && high > $(i + 1) + 0) ? high : $(i + 1) + 0
        }
        total += n; sum += n * m; squares += n * (s * s + m * m); runs++
    }
    END {
        if (!total) { printf "%-28s no run measured\n", label; exit }
        mean = sum / total; sd = sqrt(squares / total - mean * mean)
        ok = (mean <= mean_limit && -mean <= mean_limit && sd <= spread_limit)
        printf "%-28s %d runs, %d measured  mean %+7.2f ms  sd %5.2f ms  min %+7.2f  max %+7.2f ms  (%s recorder)%s\n",
               label, runs, total, mean, sd, low, high, recorder, mean_limit == "-" ? "" : (ok ? "  ok" : "  MISSED")
    }' "$work/all"
}

touch "$work/all"
echo "offset: time a picture change appeared on the display - time its show time left the sink (+: picture late)"
cases=" ${AV_SYNC_CASES:-intro deep page} "
[ "$page" -eq 1 ] || cases=${cases/ page / }
for ((run = 1; run <= runs; run++)); do
    [[ $cases != *" intro "* ]] || intro_run "intro" asked
    if [[ $cases == *" deep "* ]]; then
        # Both recorders on one run (the one asking lowers the sink's latency for both),
        # then the one asking for none alone, the sink at its own latency.
        intro_run "intro 150ms" both PULSE_LATENCY_MSEC=150
        intro_run "intro 150ms alone" not-asked PULSE_LATENCY_MSEC=150
    fi
    [[ $cases != *" page "* ]] || page_run "page"
done
echo "pooled (targets: |mean| <= 8 ms, sd <= 17 ms):"
if [[ $cases == *" intro "* ]]; then pooled "intro" 8 17 asked; fi
if [[ $cases == *" deep "* ]]; then
    pooled "intro 150ms" 8 17 asked
    pooled "intro 150ms" - - not-asked
    pooled "intro 150ms alone" 8 17 not-asked
fi
if [[ $cases == *" page "* ]]; then
    pooled "page" 8 17 asked
    pooled "page clock" - - asked
fi
