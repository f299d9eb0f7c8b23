#!/bin/sh
# Runs a GUI test command on a virtual X display of its own (Xvfb).
# Listing the tests of a GoogleTest binary needs no display and runs the
# binary directly. The display server picks a free display number itself
# and writes it to us (-displayfd), so test runs of several build folders
# never race for a number and need not wait for each other; the server
# is stopped however the command ends.
case " $* " in
*" --gtest_list_tests "*) exec "$@" ;;
esac
export NO_AT_BRIDGE=1
dir=$(mktemp -d /tmp/kvr2-xvfb-XXXXXX) || exit 1
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$dir/display" 2>"$dir/log" &
server=$!
trap 'kill "$server" 2>/dev/null; rm -rf "$dir"' EXIT
trap 'exit 143' INT TERM
tries=0
while [ ! -s "$dir/display" ]; do
    if ! kill -0 "$server" 2>/dev/null || [ "$tries" -ge 400 ]; then
        echo "under-xvfb: the display server did not start:" >&2
        cat "$dir/log" >&2
        exit 1
    fi
    tries=$((tries + 1))
    sleep 0.05
done
DISPLAY=:$(head -n 1 "$dir/display")
export DISPLAY
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit "$status"
