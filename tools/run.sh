#!/bin/sh
# Builds kvr2 and runs the main job.
set -eu
cd "$(dirname "$0")/.."
./tools/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DKVR2_TESTS=OFF >/dev/null
cmake --build build -j "$jobs"
./build/show_constants water
