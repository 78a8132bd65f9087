#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: the core,
# the widgets (offscreen), the end-to-end tests (under a private X server) and
# the replay of the fuzz inputs; then the core and widget tests again in a
# sanitizer build; then a short round of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")"
. tools/lib/quiet.sh
tools/install-deps.sh
jobs=$(nproc)
start=$SECONDS

# The benchmarks are built too (not run), so that they keep compiling.
quiet cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUMBRILL_WERROR=ON -DUMBRILL_BENCH=ON
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"

# AddressSanitizer and UndefinedBehaviorSanitizer: an address error, a leak or
# undefined behaviour stops the test at once with its stack. The end-to-end
# tests run only in the build above.
echo "== Sanitizer build (build-asan)"
quiet cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUMBRILL_WERROR=ON -DUMBRILL_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:print_stacktrace=1:strict_string_checks=1 \
UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" -L "core|ui"

echo "== Fuzzing (build-fuzz)"
tools/fuzz.sh

echo "All tests passed in $(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s."
