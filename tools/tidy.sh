#!/bin/sh
# Runs clang-tidy with the checks of .clang-tidy over the library and the
# application core and the diagram renderer (the code that runs without a
# display); any finding fails.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build-tidy -DKVR2_TESTS=OFF -DKVR2_BENCH=OFF -DKVR2_SANITIZE=OFF \
    -DCMAKE_EXPORT_COMPILE_COMMANDS=ON >/dev/null
# The generated source of the fluid texts must exist for the database to hold.
cmake --build build-tidy -j "$jobs" --target kvrlib >/dev/null
files=$(git ls-files 'library/*.cpp' 'app/core/*.cpp' 'app/diagrams/*.cpp' 2>/dev/null || find library app/core app/diagrams -name '*.cpp')
run-clang-tidy -p build-tidy -j "$jobs" -quiet $files >build-tidy/tidy.log 2>&1 || true
if grep -q "error:\|warning:" build-tidy/tidy.log; then
    grep "error:\|warning:" build-tidy/tidy.log | sort -u
    exit 1
fi
echo "clang-tidy: $(echo "$files" | wc -w) files, no finding"
