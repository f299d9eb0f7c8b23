#!/bin/sh
# Builds kvr2 and runs all tests.  With --sanitize the build uses
# AddressSanitizer and UndefinedBehaviorSanitizer (directory build-asan).
set -eu
cd "$(dirname "$0")/.."
./tools/deps.sh
dir=build; flags=""
if [ "${1:-}" = "--sanitize" ]; then
    dir=build-asan; flags="-DKVR2_SANITIZE=ON -DKVR2_BENCH=OFF"
fi
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B "$dir" $flags >/dev/null
cmake --build "$dir" -j "$jobs"
cd "$dir" && ctest --output-on-failure -j "$jobs"
