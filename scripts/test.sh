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

cmake -S . -B "$build_dir" "${cmake_args[@]}" "$@" >/dev/null
cmake --build "$build_dir" -j "$jobs" >/dev/null
cd "$build_dir"
exec ctest --output-on-failure -j "$jobs"
