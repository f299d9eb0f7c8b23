#!/bin/sh
# Runs a GUI test command on a virtual X display of its own (Xvfb).
# Listing the tests of a GoogleTest binary needs no display and runs the
# binary directly. The display server picks a free display number itself
# and writes it to us (-displayfd), so test runs of several build folders
# never race for a number and need not wait for each other; the server
# is stopped however the command ends. It never resets: without -noreset
# the server regenerates whenever its last client leaves (a window test's
# xdotool search, a program that quit), and a program connecting in that
# moment is refused the display. The command starts only once a client
# has been served.
case " $* " in
*" --gtest_list_tests "*) exec "$@" ;;
esac
export NO_AT_BRIDGE=1
dir=$(mktemp -d /tmp/kvr2-xvfb-XXXXXX) || exit 1
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp -noreset 3>"$dir/display" 2>"$dir/log" &
server=$!
trap 'kill "$server" 2>/dev/null; rm -rf "$dir"' EXIT
trap 'exit 143' INT TERM
# Waits (up to `limit` looks 0.05 s apart) until the command given holds,
# while the server runs; else says `what` with the server's log and ends.
wait_for() {
    limit=$1 what=$2
    shift 2
    tries=0
    until "$@"; do
        if ! kill -0 "$server" 2>/dev/null || [ "$tries" -ge "$limit" ]; then
            echo "under-xvfb: $what:" >&2
            cat "$dir/log" >&2
            exit 1
        fi
        tries=$((tries + 1))
        sleep 0.05
    done
}
wait_for 400 "the display server did not start" test -s "$dir/display"
DISPLAY=:$(head -n 1 "$dir/display")
export DISPLAY
served() { xdotool getdisplaygeometry >/dev/null 2>&1; }
wait_for 200 "the display $DISPLAY serves no client" served
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit "$status"
