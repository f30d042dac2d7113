#!/usr/bin/env bash
# Sets up, builds and runs every test: the whole suite in build/, then the unit tests
# again built with AddressSanitizer and UndefinedBehaviorSanitizer in build-sanitize/,
# then each fuzz target for a bounded time in build-fuzz/.
# usage: ./test.sh
set -euo pipefail
cd "$(dirname "$(realpath "$0")")"
jobs=$(nproc)

scripts/setup-deps.sh test

echo "test: building and running the suite (build/)" >&2
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DINTRO_TESTS=ON -DINTRO_BENCH=ON >/dev/null
cmake --build build --parallel "$jobs"
ctest --test-dir build --output-on-failure --parallel "$jobs"

echo "test: building and running the suite with ASan and UBSan (build-sanitize/)" >&2
cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DINTRO_SANITIZE=ON -DINTRO_BENCH=OFF >/dev/null
cmake --build build-sanitize --parallel "$jobs"
# Impossible allocations must come back as null, as they do in a normal build.
ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:allocator_may_return_null=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
LSAN_OPTIONS=suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0 \
    ctest --test-dir build-sanitize --output-on-failure --parallel "$jobs"

# Each fuzz target for a bounded time (FUZZ_SECONDS, default 60 s each, two at a time on
# two cores: about 2 minutes), built by clang in build-fuzz/.
echo "test: fuzzing every target for ${FUZZ_SECONDS:-60} s (build-fuzz/)" >&2
tests/fuzz/run_fuzz.sh "${FUZZ_SECONDS:-60}"
echo "test: all passed" >&2
