#!/usr/bin/env bash
# Sets up, checks the formatting of the C and C++ sources, then builds and runs every
# test, in three legs:
#   1. the whole suite in build/ (unit, end-to-end, web and golden checks);
#   2. the unit tests and a short end-to-end subset (CTest label "sanitize") built with
#      AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/;
#   3. each fuzz target for FUZZ_SECONDS (default 30) under the sanitizers, built by clang
#      in build-fuzz/, two at a time on two cores.
# Each leg's time is printed as it ends.
# usage: ./test.sh
set -euo pipefail
cd "$(dirname "$(realpath "$0")")"
jobs=$(nproc)
fuzz_seconds=${FUZZ_SECONDS:-30}
# Every build here treats a warning as an error (the web build's too, through WEB_WERROR).
export WEB_WERROR=1

scripts/setup-deps.sh test

leg_start=$SECONDS
leg_done() { echo "test: $1 took $((SECONDS - leg_start)) s" >&2; leg_start=$SECONDS; }

# Every C and C++ source as .clang-format lays it out; a checkout without git history
# (an unpacked archive) has no list of sources to check.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "test: checking the formatting of the C and C++ sources" >&2
    git ls-files -z '*.c' '*.cpp' '*.h' | xargs -0 clang-format --dry-run -Werror
fi

echo "test: building and running the suite (build/)" >&2
cmake --preset test >/dev/null
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --parallel "$jobs"
leg_done "the suite"

echo "test: building and running the unit tests and the sanitize subset with ASan and UBSan (build-sanitize/)" >&2
cmake --preset sanitize >/dev/null
cmake --build build-sanitize --parallel "$jobs"
# Impossible allocations must come back as null, as they do in a normal build.
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:allocator_may_return_null=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0 \
    ctest --test-dir build-sanitize --output-on-failure --parallel "$jobs" -L 'unit|sanitize'
leg_done "the sanitizer leg"

echo "test: fuzzing every target for $fuzz_seconds s (build-fuzz/)" >&2
tests/fuzz/run_fuzz.sh "$fuzz_seconds"
leg_done "fuzzing"
echo "test: all passed" >&2
