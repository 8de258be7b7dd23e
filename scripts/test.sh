#!/usr/bin/env bash
# Sets the machine up, builds ORLIX and runs every test.
#
#   scripts/test.sh [cmake arguments...]
#   ORLIX_SANITIZE=1 scripts/test.sh     the same with AddressSanitizer and
#                                        UndefinedBehaviorSanitizer, in build-asan/
#   ORLIX_TSAN=1 scripts/test.sh         everything built with ThreadSanitizer, in
#                                        build-tsan/, and every test that runs in
#                                        this process tree (not the SQL and server
#                                        tests, whose engine is not instrumented)
#
# Before the main test suite, two machines run:
#   - the thread stress test and the log tests, built with ThreadSanitizer
#     (build-tsan/);
#   - the fuzzer, for ORLIX_FUZZ_SECONDS (default 60) seconds (scripts/fuzz.sh,
#     build-fuzz/).
# The main suite (ctest) holds the unit, module, SQL (in a WIN1251 and a UTF8
# database), reliability (allocation failures, leak check under valgrind or
# LeakSanitizer, stress) and loopback server tests. Benchmarks are built,
# never run. Ends with ctest's summary line; the exit status is non-zero on
# any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh
jobs=$(nproc 2>/dev/null || echo 2)

# build <dir> <target or ""> <cmake arguments...>: quiet on success; on a
# failed configure or build, shows what went wrong.
build() {
  local dir=$1 target=$2
  shift 2
  mkdir -p "$dir"
  if ! cmake -S . -B "$dir" "$@" >"$dir/configure.log" 2>&1; then
    cat "$dir/configure.log"
    exit 1
  fi
  if ! cmake --build "$dir" -j "$jobs" ${target:+--target $target} >"$dir/build.log" 2>&1; then
    grep -E -B2 -A8 'error|Error' "$dir/build.log" | head -100
    echo "build failed; the whole output is in $dir/build.log"
    exit 1
  fi
}

if [[ ${ORLIX_TSAN:-0} != 0 ]]; then
  build build-tsan "" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORLIX_TSAN=ON -DORLIX_SANITIZE=OFF -DORLIX_BENCH=OFF "$@"
  cd build-tsan
  exec ctest --output-on-failure -j "$jobs" -LE 'sql|server'
fi

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DORLIX_TESTS=ON -DORLIX_BENCH=ON -DORLIX_TSAN=OFF)
if [[ ${ORLIX_SANITIZE:-0} != 0 ]]; then
  build_dir=build-asan
  cmake_args+=(-DORLIX_SANITIZE=ON)
else
  cmake_args+=(-DORLIX_SANITIZE=OFF)
fi
build "$build_dir" "" "${cmake_args[@]}" "$@"

echo "test.sh: thread stress and log tests under ThreadSanitizer (build-tsan/)"
build build-tsan "ORLIX orlix_stress_tests orlix_frame_tests" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORLIX_TSAN=ON \
  -DORLIX_SANITIZE=OFF -DORLIX_BENCH=OFF
if ! (cd build-tsan && ctest --output-on-failure -R '^(stress_threads|unit_frame)$' >ctest.log 2>&1); then
  cat build-tsan/ctest.log
  exit 1
fi
grep -E 'tests passed' build-tsan/ctest.log

echo "test.sh: fuzz smoke run"
# A fixed seed and number of inputs, so that every run here tries the same
# inputs (a regression check of what was fuzzed before); exploration is the
# job of long runs (scripts/fuzz.sh alone), which draw a fresh seed.
rm -rf build-fuzz/smoke
ORLIX_FUZZ_WORK=build-fuzz/smoke scripts/fuzz.sh "${ORLIX_FUZZ_SECONDS:-60}" -seed="${ORLIX_FUZZ_SEED:-20261208}" \
  -runs="${ORLIX_FUZZ_RUNS:-15000}"

cd "$build_dir"
exec ctest --output-on-failure -j "$jobs"
