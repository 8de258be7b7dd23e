#!/usr/bin/env bash
# Fuzzes every export of ORLIX.so with libFuzzer, under AddressSanitizer and
# UndefinedBehaviorSanitizer (clang; the build lives in build-fuzz/).
#
#   scripts/fuzz.sh [seconds] [libFuzzer options...]
#
# Default 600 seconds. Each input may take 10 s and 2 GB at most, and is up to
# 1 KB long from the start (a road needs a few hundred bytes). New inputs
# go to <work>/corpus/ (tests/fuzz/corpus/ holds the seeds), where <work> is
# $ORLIX_FUZZ_WORK or build-fuzz; a crashing, hanging or memory-hungry input is
# written to <work>/artifacts/, and
#   ORLIX_FUZZ_TRACE=1 build-fuzz/orlix_fuzzer <that file>
# replays it, printing each call. Prints the run's figures; the exit status
# is non-zero on any finding.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

seconds=${1:-600}
[[ $# -gt 0 ]] && shift
scripts/setup.sh

build_dir=build-fuzz
mkdir -p "$build_dir"
if ! CC=clang CXX=clang++ cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORLIX_FUZZ=ON \
    -DORLIX_TESTS=OFF -DORLIX_BENCH=OFF >"$build_dir/configure.log" 2>&1; then
  cat "$build_dir/configure.log"
  exit 1
fi
if ! cmake --build "$build_dir" -j "$(nproc 2>/dev/null || echo 2)" >"$build_dir/build.log" 2>&1; then
  grep -E -B2 -A8 'error|Error' "$build_dir/build.log" | head -100
  echo "fuzzer build failed; the whole output is in $build_dir/build.log"
  exit 1
fi

work=${ORLIX_FUZZ_WORK:-$build_dir}
mkdir -p "$work/corpus" "$work/artifacts"
work=$(cd "$work" && pwd -P)
run_log=$work/fuzz-run.log
echo "fuzz.sh: fuzzing for $seconds s (output in $run_log)"
status=0
ORLIX_FUZZ_LOG_DIR=$work \
  "$build_dir/orlix_fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=2048 \
  -max_len=1024 -len_control=0 \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 "$@" \
  "$work/corpus" tests/fuzz/corpus >"$run_log" 2>&1 || status=$?

grep -E '^orlix_fuzzer:|^stat::(number_of_executed_units|average_exec_per_sec|new_units_added|slowest_unit_time_sec|peak_rss_mb)' \
  "$run_log" || true
if [[ $status -ne 0 ]]; then
  grep -E -A40 '==[0-9]+==ERROR|runtime error:|ALARM: working on the last Unit|out-of-memory|deadly signal' "$run_log" | head -80
  ls -l "$work/artifacts/"
  echo "fuzz.sh: FAILED (exit status $status); the whole output is in $run_log"
  exit 1
fi
echo "fuzz.sh: no crash, timeout or out-of-memory"
