#!/bin/sh
# Smoke test of the flowsheet on an X display (run it under xvfb-run, as
# ctest does): kvr2 opens the steam Rankine example, F5 calculates, Return
# closes the dialog; the Overview page with its results goes to
# BUILD/screens/flowsheet.png; a click on the sheet's empty space and the
# wheel leave the program running; Ctrl+Q asks about the new results and
# Discard ends it with 0.
# Usage: smoke_flowsheet.sh BUILD
name=smoke_flowsheet
. "$(dirname "$0")/smoke_common.sh"

open_steam_rankine
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
# The calculated project has new results: Quit asks, Discard ends.
question=$(window "Unsaved changes") || fail "Quit did not ask about the calculated project"
[ -n "$question" ] || fail "Quit did not ask about the calculated project"
sleep 0.5
xdotool mousemove --window "$question" 20 20 key alt+d
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "kvr2 did not end"
wait "$pid"; status=$?
[ "$status" -eq 0 ] || fail "Quit ended with status $status"
echo "smoke_flowsheet: steam Rankine calculated, flowsheet shown and saved; Quit ended with 0"
