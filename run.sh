#!/usr/bin/env bash
# Builds Umbrill and starts it with its shipped data file.
set -euo pipefail
cd "$(dirname "$0")"
# Runs a command with its output held back; shows the output only if it fails.
quiet() {
  local log rc=0
  log=$(mktemp)
  "$@" >"$log" 2>&1 || rc=$?
  [ "$rc" -eq 0 ] || { cat "$log"; echo "FAILED ($rc): $*" >&2; }
  rm -f "$log"
  return "$rc"
}
tools/install-deps.sh
quiet cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build --target Umbrill05 umbrill_data umbrill_help
exec build/program/Umbrill05
