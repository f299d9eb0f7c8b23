#!/bin/sh
# Builds kvr2 with its tests and runs them all.  With --sanitize the build
# uses AddressSanitizer and UndefinedBehaviorSanitizer (directory build-asan).
# Every option the suite relies on is passed each time, so whatever configured
# the build folder before (./tools/run.sh builds without tests) the whole
# suite is built and run; an empty suite is an error.
set -eu
cd "$(dirname "$0")/.."
./tools/deps.sh
# KVR2_WERROR=ON in the environment (as CI sets it) makes warnings errors.
werror="-DKVR2_WERROR=${KVR2_WERROR:-OFF}"
dir=build; flags="-DKVR2_TESTS=ON -DKVR2_SANITIZE=OFF $werror"
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan; flags="-DKVR2_TESTS=ON -DKVR2_SANITIZE=ON -DKVR2_BENCH=OFF $werror"
fi
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$dir" $flags >/dev/null
cmake --build "$dir" -j "$jobs"
cd "$dir" && ctest --output-on-failure --no-tests=error -j "$jobs"
