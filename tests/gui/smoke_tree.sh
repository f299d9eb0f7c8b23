#!/bin/sh
# Smoke test of the project tree on an X display (run it under xvfb-run,
# as ctest does): kvr2 opens the steam Rankine example; a right click on
# "Parts" opens its menu, Insert Compressor adds "Compressor 1" after the
# Inlet; F5 calculates, Return closes the dialog; the screen goes to
# BUILD/screens/tree.png; Ctrl+S saves the compressor into the file and
# Ctrl+Q ends the program with 0. Usage: smoke_tree.sh BUILD
set -u
build=${1:?usage: smoke_tree.sh BUILD}
here=$(cd "$(dirname "$0")" && pwd)
screens="$build/screens"
mkdir -p "$screens"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config"
settle=${KVR2_SMOKE_SETTLE:-2}
fail() { echo "smoke_tree: $*"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; exit 1; }
window() { timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }

cp "$here/../../examples/steam_rankine.kvr" "$scratch/"
"$build/kvr2" "$scratch/steam_rankine.kvr" & pid=$!
win=$(window "Kavrel") || fail "no main window"
[ -n "$win" ] || fail "no main window"
sleep "$settle"
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
