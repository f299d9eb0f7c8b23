#!/bin/sh
# Smoke test of a diagram's pointer read-out on an X display (run it under
# xvfb-run, as ctest does): kvr2 opens the steam Rankine example, F5
# calculates it, its T-s diagram is chosen; moving the pointer over the
# plot changes the temperature entry; over the turbine's curve the screen
# goes to BUILD/screens/readout.png (read-out and hover label); a double
# click next to the y axis opens "Axis Properties" (BUILD/screens/
# readout_axis.png); Escape closes it and Ctrl+Q, Discard end the program
# with 0. Usage: smoke_readout.sh BUILD
name=smoke_readout
. "$(dirname "$0")/smoke_common.sh"
# Positions below are those of the window's layout: the main window is
# 1450 x 900 at (75, 50) on the 1600 x 1000 screen, the divider beside the
# tree 600 pixels from its left edge. The temperature entry of the read-out,
# in screen pixels:
t_entry() { "$build/kvr2_screenshot" "$1" 806 753 76 22 || fail "no picture of the T entry"; }

open_steam_rankine
xdotool mousemove --window "$win" 900 400 key F5
dialog=$(window "Calculating") || fail "no calculation dialog"
[ -n "$dialog" ] || fail "no calculation dialog"
sleep "$settle"
xdotool mousemove --window "$dialog" 20 20 key Return
sleep "$settle"
# The tab "T-s Diagram Water" of the graph notebook.
xdotool mousemove --window "$win" 754 169 click 1
sleep "$settle"
xdotool mousemove --window "$win" 900 400
sleep 0.3
xdotool mousemove --window "$win" 905 405
sleep 0.5
t_entry "$scratch/t1.png"
xdotool mousemove --window "$win" 1000 300
sleep 0.5
t_entry "$scratch/t2.png"
cmp -s "$scratch/t1.png" "$scratch/t2.png" && fail "moving over the plot left the T entry as it was"
# Over the turbine's expansion line: read-out and hover label.
xdotool mousemove --window "$win" 1158 470
sleep 0.3
xdotool mousemove --window "$win" 1160 468
sleep 0.5
"$build/kvr2_screenshot" "$screens/readout.png" || fail "no screenshot"
# A double click just right of the y axis.
xdotool mousemove --window "$win" 722 468 click --repeat 2 --delay 80 1
axis=$(window "Axis Properties") || fail "no axis dialog"
[ -n "$axis" ] || fail "no axis dialog"
sleep 0.5
"$build/kvr2_screenshot" "$screens/readout_axis.png" || fail "no screenshot"
xdotool key Escape
sleep 0.5
xdotool search --onlyvisible --name "Axis Properties" >/dev/null && fail "Escape left the dialog"
xdotool key ctrl+q
# Quit asks about the calculated project: Discard.
for _ in $(seq 200); do
    kill -0 "$pid" 2>/dev/null || break
    question=$(xdotool search --onlyvisible --name "Unsaved changes" 2>/dev/null | head -n 1)
    [ -n "$question" ] && xdotool mousemove --window "$question" 20 20 key alt+d && sleep 0.5
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "kvr2 did not end"
wait "$pid"; status=$?
[ "$status" -eq 0 ] || fail "Quit ended with status $status"
echo "smoke_readout: the T entry followed the pointer, a double click opened Axis Properties; Quit ended with 0"
