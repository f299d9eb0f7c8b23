#!/bin/sh
# Runs a GUI test command on a virtual X display of its own (Xvfb).
# Listing the tests of a GoogleTest binary needs no display and runs the
# binary directly. The lock keeps test runs of several build folders from
# racing for the same display number (xvfb-run -a picks the first free one).
# The display server never inherits the lock (-o): a server left behind by a
# killed run must not hold every later run waiting.
case " $* " in
*" --gtest_list_tests "*) exec "$@" ;;
esac
export NO_AT_BRIDGE=1
exec flock -o /tmp/kvr2-xvfb.lock xvfb-run -a -s "-screen 0 1600x1000x24" "$@"
