#!/bin/sh
# Smoke test of the flowsheet on an X display (run it under xvfb-run, as
# ctest does): kvr2 opens the steam Rankine example, F5 calculates, Return
# closes the dialog; the Overview page with its results goes to
# BUILD/screens/flowsheet.png; a click on the sheet's empty space and the
# wheel leave the program running; Ctrl+Q ends it with 0.
# Usage: smoke_flowsheet.sh BUILD
set -u
build=${1:?usage: smoke_flowsheet.sh BUILD}
here=$(cd "$(dirname "$0")" && pwd)
screens="$build/screens"
mkdir -p "$screens"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config"
settle=${KVR2_SMOKE_SETTLE:-2}
fail() { echo "smoke_flowsheet: $*"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; exit 1; }
window() { timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }

cp "$here/../../examples/steam_rankine.kvr" "$scratch/"
"$build/kvr2" "$scratch/steam_rankine.kvr" & pid=$!
win=$(window "Kavrel") || fail "no main window"
[ -n "$win" ] || fail "no main window"
sleep "$settle"
xdotool mousemove --window "$win" 900 600 key F5
dialog=$(window "Calculating") || fail "no calculation dialog"
[ -n "$dialog" ] || fail "no calculation dialog"
sleep "$settle"
xdotool mousemove --window "$dialog" 20 20 key Return
sleep "$settle"
"$build/kvr2_screenshot" "$screens/flowsheet.png" || fail "no screenshot"
# Empty sheet space: a press clears the selection; the wheel zooms in and out.
xdotool mousemove --window "$win" 1000 700 click 1 click 4 click 5
sleep 1
kill -0 "$pid" 2>/dev/null || fail "kvr2 ended after presses on the sheet"
xdotool key ctrl+q
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "kvr2 did not end"
wait "$pid"; status=$?
[ "$status" -eq 0 ] || fail "Quit ended with status $status"
echo "smoke_flowsheet: steam Rankine calculated, flowsheet shown and saved; Quit ended with 0"
