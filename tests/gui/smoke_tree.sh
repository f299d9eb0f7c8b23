#!/bin/sh
# Smoke test of the project tree on an X display (run it under xvfb-run,
# as ctest does): kvr2 opens the steam Rankine example; a right click on
# "Parts" opens its menu, Insert Compressor adds "Compressor 1" after the
# Inlet; F5 calculates, Return closes the dialog; the screen goes to
# BUILD/screens/tree.png; Ctrl+S saves the compressor into the file and
# Ctrl+Q ends the program with 0. Usage: smoke_tree.sh BUILD
name=smoke_tree
. "$(dirname "$0")/smoke_common.sh"

open_steam_rankine
# "Parts" is the fifth row of the tree: Project, Processes, the process,
# Inlet Conditions, Parts.
xdotool mousemove --window "$win" 95 176 click 3
sleep 1
xdotool mousemove_relative 30 10 click 1   # Insert Compressor, the menu's first item
sleep "$settle"
xdotool mousemove --window "$win" 900 400 key F5
dialog=$(window "Calculating") || fail "no calculation dialog"
[ -n "$dialog" ] || fail "no calculation dialog"
sleep "$settle"
xdotool mousemove --window "$dialog" 20 20 key Return
sleep "$settle"
"$build/kvr2_screenshot" "$screens/tree.png" || fail "no screenshot"
xdotool mousemove --window "$win" 900 400 key ctrl+s
sleep "$settle"
grep -q 'Type = "Compressor"' "$scratch/steam_rankine.kvr" || fail "no compressor was inserted"
grep -q 'Calculation Status = "finished"' "$scratch/steam_rankine.kvr" ||
    fail "the project was not calculated"
xdotool key ctrl+q
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "kvr2 did not end"
wait "$pid"; status=$?
[ "$status" -eq 0 ] || fail "Quit ended with status $status"
echo "smoke_tree: Compressor 1 inserted from the tree, calculated, saved; Quit ended with 0"
