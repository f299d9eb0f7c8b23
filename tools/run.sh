#!/bin/sh
# Builds kvr2 and runs the main job: batch mode on the helium Brayton cycle
# of examples/, with the results written beside a copy of the project file.
set -eu
cd "$(dirname "$0")/.."
./tools/deps.sh
jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DKVR2_TESTS=OFF >/dev/null
cmake --build build -j "$jobs" --target kvr2
out=build/run
mkdir -p "$out"
cp examples/helium_brayton.kvr "$out/"
status=0
./build/kvr2 -b "$out/helium_brayton.kvr" || status=$?
echo
echo "Project:  examples/helium_brayton.kvr"
echo "Results:  $out/helium_brayton.kvr.out (the project with every state and result)"
if [ -f "$out/helium_brayton.kvr.out" ]; then
    echo "Its parts:"
    awk -F'"' 'function show(v,  a) { split(v, a, " "); return sprintf("%10.2f %-3s", a[1], a[2]) }
        /^#START Part/ { part = 1 }
        part && /^  Type = / { type = $2 }
        part && /^  Name = / { name = $2 }
        /Output Result "Outlet Temperature"/ { t = $4 }
        /Output Result "Power"/ { power = $4 }
        /Output Result "Heat"/ { heat = $4 }
        part && /^#END/ {
            if (type != "Inlet" && type != "Outlet")
                printf "    %-14s outlet %s  power %s  heat %s\n", name, show(t), show(power), show(heat)
            part = 0
        }' \
        "$out/helium_brayton.kvr.out"
fi
exit "$status"
