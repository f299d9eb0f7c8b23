#!/bin/sh
# Smoke test of the main window destroyed during a calculation (as a
# window manager or a session end may do it; run it under xvfb-run, as
# ctest does): kvr2 calculates a project whose single part runs for
# seconds, its main window is destroyed from outside while the
# "Calculating" dialog is up, and the program ends within 5 s with status
# 0 and without a GTK critical or warning on standard error (GDK's own note
# that its window was destroyed from outside is the only one allowed).
# Screenshots go to BUILD/screens. Usage: smoke_destroy.sh BUILD
name=smoke_destroy
. "$(dirname "$0")/smoke_common.sh"
cp "$here/long_calculation.kvr" "$scratch/"
"$build/kvr2" "$scratch/long_calculation.kvr" 2>"$scratch/stderr" & pid=$!
main_window
xdotool mousemove --window "$win" 700 400 key F5
dialog=$(window "Calculating") || fail "no calculation dialog"
[ -n "$dialog" ] || fail "no calculation dialog"
sleep "$settle"
"$build/kvr2_screenshot" "$screens/smoke_destroy_calculating.png" || fail "no screenshot"
xdotool windowclose "$win"
ended=""
for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || { ended=yes; break; }
    sleep 0.1
done
[ -n "$ended" ] || fail "kvr2 still ran 5 s after its main window was destroyed"
wait "$pid"; status=$?
[ "$status" -eq 0 ] || fail "kvr2 ended with status $status"
if grep -v "GdkWindow .* unexpectedly destroyed" "$scratch/stderr" |
    grep -q -e CRITICAL -e WARNING -e "Gtk-" -e "GLib" -e "Gdk-"; then
    head -c 2000 "$scratch/stderr"
    fail "GTK criticals or warnings after the main window was destroyed"
fi
echo "smoke_destroy: main window destroyed while calculating, kvr2 ended with 0 within 5 s"
