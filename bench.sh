#!/usr/bin/env bash
# Builds Umbrill in Release with the benchmarks and runs them all: the core
# benchmarks, the widget benchmarks (offscreen, and the clicks again on a real
# X server under Xvfb), and the start-up against the bare reference window.
# Prints a summary of medians; everything is also kept in build-bench/bench-results/.
#
# Type into Window's click to character is measured twice: idle, and with the
# machine busy (stress-ng --cpu 4 --vm 1 --vm-bytes 256M), as "typing-load".
#
# Environment: RUNS (start-up runs of each program, default 15),
#              REPETITIONS (of each Google Benchmark, default 5).
set -euo pipefail
cd "$(dirname "$0")"
tools/install-deps.sh
runs=${RUNS:-15}
repetitions=${REPETITIONS:-5}
build=build-bench
results="$build/bench-results"

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DUMBRILL_BENCH=ON >/dev/null
cmake --build "$build" --target Umbrill05 umbrill_data umbrill_help core_bench ui_bench typing_bench reference_window startwatch
rm -rf "$results"
mkdir -p "$results"

gbench() {  # name, executable, extra arguments...
  local name=$1 exe=$2
  shift 2
  echo "== $name"
  "$exe" --benchmark_repetitions="$repetitions" --benchmark_report_aggregates_only=true \
    --benchmark_out="$results/$name.json" --benchmark_out_format=json "$@" | tee "$results/$name.txt"
}

# Each benchmark's own temporary files; no test touches the real settings.
export XDG_CONFIG_HOME
XDG_CONFIG_HOME=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$XDG_CONFIG_HOME"
}
trap cleanup EXIT

gbench core "$build/bench/core_bench"
QT_QPA_PLATFORM=offscreen gbench ui-offscreen "$build/bench/ui_bench"

# The clicks again through the X clipboard of a private X server.
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 5>"$results/display" 2>"$results/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 250); do [ -s "$results/display" ] && break; sleep 0.02; done
DISPLAY=":$(cat "$results/display")" QT_QPA_PLATFORM=xcb WAYLAND_DISPLAY="" \
  gbench ui-xcb "$build/bench/ui_bench" --benchmark_filter=BM_Click
# Type into Window on the same X server: click to key press, bursts of 1,000 clicks.
DISPLAY=":$(cat "$results/display")" WAYLAND_DISPLAY="" gbench typing "$build/bench/typing_bench"
# Click to character again with the machine busy, as on a loaded desktop.
stress-ng --cpu 4 --vm 1 --vm-bytes 256M --timeout 900 >/dev/null 2>&1 &
stress_pid=$!
DISPLAY=":$(cat "$results/display")" WAYLAND_DISPLAY="" \
  gbench typing-load "$build/bench/typing_bench" --benchmark_filter=BM_ClickToFocusedWindow
kill "$stress_pid" && wait "$stress_pid" 2>/dev/null || true
kill "$xvfb_pid" && wait "$xvfb_pid" 2>/dev/null || true
xvfb_pid=""

echo "== start-up"
KEEP_RAW="$results/startup-raw" bench/startup.sh "$build" "$runs" | tee "$results/startup.txt"

{
  echo
  echo "==================== Summary ===================="
  echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1), load $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "Google Benchmark medians of $repetitions repetitions (real time):"
  for name in core ui-offscreen ui-xcb typing typing-load; do
    echo "-- $name"
    grep '_median' "$results/$name.txt" | awk '{ extra = ""; for (i = 7; i <= NF; ++i) extra = extra " " $i; printf "  %-44s %10s %-3s%s\n", $1, $2, $3, extra }' | sed 's/_median//'
  done
  echo "-- start-up"
  cat "$results/startup.txt"
} | tee "$results/summary.txt"
