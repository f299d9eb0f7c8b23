#!/bin/sh
# Fails when a C++ source known to git is not formatted as .clang-format says.
set -eu
cd "$(dirname "$0")/.."
bad=$(git ls-files '*.cpp' '*.h' | while read -r f; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || echo "$f"
done)
if [ -n "$bad" ]; then
    echo "Not formatted (run clang-format -i on them):"
    echo "$bad"
    exit 1
fi
echo "format: every source formatted"
