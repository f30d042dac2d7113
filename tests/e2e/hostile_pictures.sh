#!/usr/bin/env bash
# Hostile pictures end to end (the cases of make_hostile_picture):
#   - every case alone in one slot through intro-render over the whole show: exit 0, every
#     moment drawn, exactly its one "assets:" line (none for the controls), no sanitizer
#     report; where no picture loads at all, intro-render refuses the folder (status 1)
#     after the same loading;
#   - the exhaustion cases in all 42 slots, timed and their peak memory measured by
#     /usr/bin/time: a 1 x 1 PNG inflating to 1 GiB, 4096 x 4096 flat PNGs (the budget
#     for all pictures stops them after 256 MiB), headers claiming 4096 x 4096 pixels;
#   - the intro itself on the first two: it presents its first frame within the limit
#     instead of showing a black window for minutes.
# usage: hostile_pictures.sh INTRO_RENDER MAKE_HOSTILE_PICTURE DATA_PACK INTRO SWAP_PROBE
#                            CHECK_MEMORY TIME_FACTOR
#   CHECK_MEMORY  1 checks each case against its own peak memory limit; 0 leaves memory
#                 unchecked (the sanitizer build's shadow memory)
#   TIME_FACTOR   multiplies every time limit (slower builds)
set -euo pipefail
# shellcheck source=/dev/null
source "$(dirname "$(realpath "$0")")/common.sh"

[ $# -eq 7 ] || { echo "usage: $0 INTRO_RENDER MAKE_HOSTILE_PICTURE DATA_PACK INTRO SWAP_PROBE CHECK_MEMORY TIME_FACTOR" >&2; exit 2; }
render=$(realpath "$1")
maker=$(realpath "$2")
pack=$(realpath "$3")
intro=$(realpath "$4")
probe=$(realpath "$5")
check_memory=$6
time_factor=$7
[ -n "${DISPLAY:-}" ] || { echo "hostile_pictures: no DISPLAY; run it through with-xvfb.sh" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/run"
data=$work/data
failed=0

pictures=(barf.png lonestar.png glasses.png darkhelmet.png rasberry.png)
for n in $(seq -w 1 35); do pictures+=("jtranim/jtr$n.png"); done
pictures+=(darkhelmetnomask.png lowrezqr.png)
# Slots without a required size, so that a small control picture loads without a warning.
free_slots=(barf.png lonestar.png rasberry.png)
for n in $(seq -w 1 35); do free_slots+=("jtranim/jtr$n.png"); done
free_slots+=(darkhelmetnomask.png lowrezqr.png)

tone_mp3 3 "$work/tone.mp3"

fresh_data() {
    rm -rf "$data"
    mkdir -p "$data/jtranim"
    local p
    for p in "${pictures[@]}"; do cp "$pack/$p" "$data/$p"; done
    cp "$work/tone.mp3" "$data/vorb_06_mp3.mp3"
}

fail() {
    echo "FAIL $1: $2" >&2
    sed 's/^/    stderr: /' "$work/stderr" | head -n 20 >&2
    failed=1
}

sanitizer_report() {
    grep -qE "runtime error|AddressSanitizer|LeakSanitizer|UndefinedBehaviorSanitizer" "$work/stderr"
}

# render NAME EXPECTED SECONDS MB [STATUS]: intro-render over the whole show on $data, under
# /usr/bin/time; EXPECTED is the exact "assets:" lines; SECONDS the time limit before the
# factor, MB the peak memory limit (when CHECK_MEMORY is 1); STATUS the exit status, 0 (every
# moment drawn) unless 1 (a folder where nothing loads, refused). Sets elapsed and peak_mb.
render() {
    local name=$1 expected=$2 limit status=0 actual mb_limit=$4 want=${5:-0}
    limit=$(awk -v s="$3" -v f="$time_factor" 'BEGIN { printf "%d", s * f }')
    /usr/bin/time -f "%e %M" -o "$work/time" "${stop_after[@]}" 300 "$render" --data "$data/" \
        --beats 0:335:0.5 --raw -o "$work/frames.raw" 2>"$work/stderr" || status=$?
    # On a failure time(1) writes a line of its own first; the figures are the last line.
    read -r elapsed peak_kb < <(tail -n 1 "$work/time") || true
    peak_mb=$((${peak_kb:-0} / 1024))
    actual=$(grep '^assets: ' "$work/stderr" || true)
    if [ "$status" != "$want" ]; then
        fail "$name" "intro-render exit status $status, expected $want"
    elif [ "$want" = 0 ] && [ "$(stat -c %s "$work/frames.raw")" != $((671 * 16384)) ]; then
        fail "$name" "intro-render did not draw every moment"
    elif sanitizer_report; then
        fail "$name" "intro-render: sanitizer report"
    elif [ "$actual" != "$expected" ]; then
        fail "$name" "other \"assets:\" lines than expected:
$(printf '%s\n' "$expected" | sed 's/^/    expected: /')"
    elif awk -v e="$elapsed" -v l="$limit" 'BEGIN { exit !(e > l) }'; then
        fail "$name" "took $elapsed s, more than $limit s"
    elif [ "$check_memory" = 1 ] && [ "$peak_mb" -gt "$mb_limit" ]; then
        fail "$name" "peak memory $peak_mb MB, more than $mb_limit MB"
    else
        return 0
    fi
    return 1
}

# starts NAME SECONDS: the intro on $data presents a frame within SECONDS (times the
# factor) and is still playing then; it is stopped (SIGTERM) as soon as the frame is seen.
starts() {
    local name=$1 limit tenths
    limit=$(awk -v s="$2" -v f="$time_factor" 'BEGIN { printf "%d", s * f }')
    cd "$work/run"
    until_presented "$limit" "$work/presented" "$work/stderr" "$intro" -f1 -w128 -h128
    cd - >/dev/null
    tenths=$presented_tenths
    if [ -n "$ended_status" ] && [ -z "$tenths" ]; then
        fail "$name" "the intro ended with status $ended_status instead of playing"
        return
    fi
    if [ -z "$tenths" ]; then
        fail "$name" "the intro presented no frame within $limit s"
    elif sanitizer_report; then
        fail "$name" "intro: sanitizer report"
    else
        echo "ok   $name: the intro presents its first frame after $((tenths / 10)).$((tenths % 10)) s (limit $limit s)"
    fi
}

# Every case alone, each in the next free slot.
i=0
for name in $("$maker" --list); do
    fresh_data
    slot=${free_slots[$((i % ${#free_slots[@]}))]}
    i=$((i + 1))
    reason=$("$maker" "$name" "$data/$slot")
    expected=""
    [ -n "$reason" ] && expected="assets: cannot load $data/$slot: $reason"
    render "$name in $slot" "$expected" 30 100 && echo "ok   $name in $slot: ${reason:-loads}"
done

nothing_loads="assets: no pictures could be loaded from $data/; the intro looks for \"../data/\" relative to the folder it is started from"

# all NAME: the case NAME in every slot.
all() {
    fresh_data
    "$maker" "$1" "$work/case" >/dev/null
    local p
    for p in "${pictures[@]}"; do cp "$work/case" "$data/$p"; done
}

all png-1x1-inflating-to-1-gib
render "1 GiB inflation bomb (all 42)" "$nothing_loads" 2 50 1 &&
    echo "ok   1 GiB inflation bomb (all 42): refused in $elapsed s, peak $peak_mb MB"
starts "1 GiB inflation bomb (all 42)" 5

for claim in psd-header-4096 tga-header-4096 hdr-header-4096 ppm-header-4096; do
    all "$claim"
    render "$claim (all 42)" "$nothing_loads" 2 50 1 &&
        echo "ok   $claim (all 42): refused in $elapsed s, peak $peak_mb MB"
done

all png-flat-4096
budget="assets: $data/darkhelmet.png is 4096x4096 pixels; the show needs exactly 64x64
assets: cannot load $data/rasberry.png: all pictures together would decode to more than 256 MiB; this one and 37 later pictures that do not fit are left empty"
render "4096 x 4096 flat PNGs (all 42)" "$budget" 15 512 &&
    echo "ok   4096 x 4096 flat PNGs (all 42): 4 loaded in $elapsed s, peak $peak_mb MB"
starts "4096 x 4096 flat PNGs (all 42)" 8

exit "$failed"
