#!/usr/bin/env bash
# Fuzzes the readers of untrusted input: builds the libFuzzer targets with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer in build-fuzz/, then runs each
# for the given number of seconds (default 5), starting from its seed corpus
# (fuzz/corpus/<target>/) and the inputs that once broke it (fuzz/regressions/<target>/).
# New interesting inputs collect in build-fuzz/corpus/<target>/ and carry over to
# the next run; an input that breaks a target is saved in build-fuzz/crashes/<target>/
# and the script fails.
#
# Inputs may grow to 64 KiB, and libFuzzer's length control is off so that long
# values (past the 2047 characters a data-file read returns) are tried at once.
#
#   tools/fuzz.sh                                  a quick round, as test.sh runs it
#   tools/fuzz.sh 600                              ten minutes per target
#   tools/fuzz.sh 600 fuzz_namesearch fuzz_remembered   only those targets
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-5}
shift || true
targets=(fuzz_commalist fuzz_profilefile fuzz_settingsfile fuzz_versioninfo fuzz_namesearch fuzz_remembered
         fuzz_catalogue fuzz_mycharacters fuzz_generated)
if [ $# -gt 0 ]; then
  targets=("$@")
fi
build=build-fuzz
max_len=65536

. tools/lib/quiet.sh

quiet env CC=clang-14 CXX=clang++-14 cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DUMBRILL_FUZZ=ON -DBUILD_TESTING=OFF -DUMBRILL_WERROR=ON
quiet cmake --build "$build" --target "${targets[@]}"

# Any finding is fatal and reported with its stack. Freed memory waits in a
# 16 MB quarantine (the default is 256 MB): use after free within an input is
# still caught, and a long run no longer spends a tenth of its time faulting in
# fresh pages.
export ASAN_OPTIONS=halt_on_error=1:abort_on_error=1:detect_leaks=1:print_stacktrace=1:quarantine_size_mb=16
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

status=0
for target in "${targets[@]}"; do
  work="$build/corpus/$target"
  crashes="$build/crashes/$target"
  log="$build/$target.log"
  mkdir -p "$work" "$crashes"
  inputs=("fuzz/corpus/$target")
  [ -d "fuzz/regressions/$target" ] && inputs+=("fuzz/regressions/$target")
  if "$build/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=$max_len -len_control=0 \
       -print_final_stats=1 -artifact_prefix="$crashes/" "$work" "${inputs[@]}" >"$log" 2>&1; then
    executions=$(awk '/stat::number_of_executed_units/ {print $2}' "$log")
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | cut -d' ' -f2)
    # Keep the carried-over corpus small: the inputs that add coverage, no more.
    if [ "$(ls "$work" | wc -l)" -gt 1000 ]; then
      rm -rf "$work.merged" && mkdir "$work.merged"
      "$build/fuzz/$target" -merge=1 -max_len=$max_len "$work.merged" "$work" >"$build/$target.merge.log" 2>&1 \
        && rm -rf "$work" && mv "$work.merged" "$work"
    fi
    printf '%-18s %10s executions in %ss, %s edges covered, corpus %s inputs\n' \
      "$target" "$executions" "$seconds" "${coverage:-?}" "$(ls "$work" | wc -l)"
  else
    echo "$target FAILED; the input is in $crashes/, the log in $log:"
    tail -n 60 "$log"
    status=1
  fi
done
exit $status
