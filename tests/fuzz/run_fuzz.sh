#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan and UBSan, halt on error) in build-fuzz/,
# makes their seed corpus, and runs every target for a bounded time, as many at once as
# there are cores. A crash, a sanitizer report, a leak, a timeout or running out of
# memory fails the run; the report and the input that caused it are kept under
# build-fuzz/artifacts/. Prints the executions of each target.
# usage: tests/fuzz/run_fuzz.sh [SECONDS_PER_TARGET]   (default 60)
set -euo pipefail
cd "$(dirname "$(realpath "$0")")/../.."
seconds=${1:-60}
jobs=$(nproc)
build=build-fuzz

cmake --preset fuzz >/dev/null
cmake --build "$build" --parallel "$jobs" --target fuzz_all

rm -rf "$build/seeds" "$build/artifacts" "$build/logs"
mkdir -p "$build/artifacts" "$build/logs"
"$build/fuzz_make_seeds" "$build/seeds"

# target|seed folder|options of its own: input size limits fit each format; a picture
# costs at most 64 MiB decoded, so a single allocation of more than 512 MiB is a finding
# (the whole process may hold more: the sanitizer keeps freed blocks for a while).
targets=(
    "fuzz_options|options|-max_len=8192"
    "fuzz_image_loader|image|-max_len=16384 -rss_limit_mb=2048 -malloc_limit_mb=512"
    "fuzz_mp3|mp3|-max_len=16384"
    "fuzz_mp3_gaps|mp3-gaps|-max_len=16384"
    "fuzz_frame|frame|-max_len=512"
)

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# run ENTRY: one target for $seconds; its corpus grows in $build/corpus/NAME and is kept
# between local runs.
run() {
    local name seeds options
    IFS='|' read -r name seeds options <<<"$1"
    mkdir -p "$build/corpus/$name"
    local status=0
    # shellcheck disable=SC2086  # the options are separate words
    timeout $((seconds + 300)) "$build/$name" -max_total_time="$seconds" -timeout=30 \
        -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" $options \
        "$build/corpus/$name" "$build/seeds/$seeds" >"$build/logs/$name.log" 2>&1 || status=$?
    echo "$status" >"$build/logs/$name.status"
}

running=0
for entry in "${targets[@]}"; do
    run "$entry" &
    running=$((running + 1))
    if [ "$running" -ge "$jobs" ]; then
        wait -n || true
        running=$((running - 1))
    fi
done
wait

failed=0
for entry in "${targets[@]}"; do
    name=${entry%%|*}
    status=$(cat "$build/logs/$name.status")
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$build/logs/$name.log")
    if [ "$status" = 0 ]; then
        echo "fuzz: $name: ${runs:-?} executions in $seconds s, no fault"
    else
        failed=1
        echo "fuzz: $name FAILED with status $status after ${runs:-?} executions:" >&2
        grep -E -A30 "ERROR:|runtime error|SUMMARY|Test unit written" "$build/logs/$name.log" \
            | head -n 60 | sed 's/^/    /' >&2
    fi
done
exit "$failed"
