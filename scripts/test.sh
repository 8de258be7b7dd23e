#!/usr/bin/env bash
# Sets the machine up, builds ORLIX and runs every unit and SQL test.
#
#   scripts/test.sh [cmake arguments...]
#   ORLIX_SANITIZE=1 scripts/test.sh     the same with AddressSanitizer and
#                                        UndefinedBehaviorSanitizer, in build-asan/
#
# Benchmarks are built, never run. Ends with ctest's summary line; the exit
# status is non-zero on any failure.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

scripts/setup.sh

build_dir=build
cmake_args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DORLIX_TESTS=ON -DORLIX_BENCH=ON)
if [[ ${ORLIX_SANITIZE:-0} != 0 ]]; then
  build_dir=build-asan
  cmake_args+=(-DORLIX_SANITIZE=ON)
else
  cmake_args+=(-DORLIX_SANITIZE=OFF)
fi
jobs=$(nproc 2>/dev/null || echo 2)

# Quiet on success; on a failed configure or build, show what went wrong.
mkdir -p "$build_dir"
if ! cmake -S . -B "$build_dir" "${cmake_args[@]}" "$@" >"$build_dir/configure.log" 2>&1; then
  cat "$build_dir/configure.log"
  exit 1
fi
if ! cmake --build "$build_dir" -j "$jobs" >"$build_dir/build.log" 2>&1; then
  grep -E -B2 -A8 'error|Error' "$build_dir/build.log" | head -100
  echo "build failed; the whole output is in $build_dir/build.log"
  exit 1
fi
cd "$build_dir"
exec ctest --output-on-failure -j "$jobs"
