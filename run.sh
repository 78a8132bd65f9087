#!/usr/bin/env bash
# Builds Umbrill and starts it with its shipped data file.
set -euo pipefail
cd "$(dirname "$0")"
. tools/lib/quiet.sh
tools/install-deps.sh
quiet cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target Umbrill05 umbrill_data umbrill_help
exec build/program/Umbrill05
