#!/bin/sh
# Smoke test of the program on an X display (run it under xvfb-run, as
# ctest does): kvr2 starts with its start page and ends by File -> Quit
# with status 0; a new project (Ctrl+N, OK for its first process) makes
# Quit ask, and Discard ends with 0; then it opens an example, calculates it (F5), shows the
# "Calculating" dialog, OK closes it, Ctrl+Q asks about the new results
# and Discard ends the program with 0.
# Screenshots go to BUILD/screens. Usage: smoke_start.sh BUILD
name=smoke_start
. "$(dirname "$0")/smoke_common.sh"
# Waits for kvr2 to end; its exit status.
finish() {
    for _ in $(seq 300); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$pid" 2>/dev/null && fail "kvr2 did not end"
    wait "$pid"
}

# 1. The start page, then File -> Quit.
"$build/kvr2" & pid=$!
main_window
"$build/kvr2_screenshot" "$screens/start.png" || fail "no screenshot"
xdotool mousemove --window "$win" 20 12 click 1
sleep 0.5
xdotool mousemove --window "$win" 40 208 click 1   # Quit, the last item
finish; status=$?
[ "$status" -eq 0 ] || fail "File -> Quit ended with status $status"
echo "smoke_start: start page shown, File -> Quit ended with 0"

# 2. A new project (changed, never saved), Quit, Discard.
"$build/kvr2" & pid=$!
main_window
xdotool mousemove --window "$win" 700 400 key ctrl+n
created=$(window "Create New Process") || fail "New did not ask for the first process"
[ -n "$created" ] || fail "New did not ask for the first process"
sleep 0.5
xdotool key Return   # OK: "Process 1"
sleep "$settle"
xdotool key ctrl+q
question=$(window "Unsaved changes") || fail "Quit did not ask about the new project"
[ -n "$question" ] || fail "Quit did not ask about the new project"
sleep 0.5
"$build/kvr2_screenshot" "$screens/smoke_unsaved.png" || fail "no screenshot"
xdotool mousemove --window "$question" 20 20 key alt+d
finish; status=$?
[ "$status" -eq 0 ] || fail "Quit, Discard ended with status $status"
echo "smoke_start: a new project, Quit asked, Discard ended with 0"

# 3. An example: Calculate, the dialog, OK, Quit.
cp "$here/../../examples/helium_brayton.kvr" "$scratch/"
"$build/kvr2" "$scratch/helium_brayton.kvr" & pid=$!
win=$(window "Kavrel") || fail "no main window with the example"
[ -n "$win" ] || fail "no main window with the example"
sleep "$settle"
xdotool mousemove --window "$win" 700 400 key F5
dialog=$(window "Calculating") || fail "no calculation dialog"
[ -n "$dialog" ] || fail "no calculation dialog"
sleep "$settle"
"$build/kvr2_screenshot" "$screens/smoke_calculating.png" || fail "no screenshot"
xdotool mousemove --window "$dialog" 20 20 key Return
sleep "$settle"
xdotool search --onlyvisible --name "Calculating" >/dev/null && fail "the dialog did not close"
xdotool mousemove --window "$win" 700 400 key ctrl+q
# The results are new: Quit asks about them, Discard ends.
question=$(window "Unsaved changes") || fail "Quit did not ask about the calculated project"
[ -n "$question" ] || fail "Quit did not ask about the calculated project"
sleep 0.5
xdotool mousemove --window "$question" 20 20 key alt+d
finish; status=$?
[ "$status" -eq 0 ] || fail "Quit after the calculation ended with status $status"
echo "smoke_start: example calculated, dialog closed by OK, Quit asked, Discard ended with 0"
