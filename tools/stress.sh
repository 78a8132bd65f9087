#!/usr/bin/env bash
# The long form of the reliability checks: two writers each write both stores
# a thousand times while the test reads, two hundred writers are killed in the
# middle of a write, then every fuzz target runs for the given seconds.
# Usage: tools/stress.sh [seconds per fuzz target, default 300]
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-test --target storeconcurrency_test storewriter
UMBRILL_STRESS=1 ctest --test-dir build-test --output-on-failure -R storeconcurrency_test
tools/fuzz.sh "${1:-300}"
