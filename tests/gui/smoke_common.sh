# Shared start of the window smoke tests, sourced after the test sets
# `name`: the build folder from the first argument, screenshots in
# BUILD/screens, a scratch folder for settings and files (removed on exit),
# and helpers to wait for windows and to fail with the test's name.
set -u
build=${1:?usage: $name.sh BUILD}
here=$(cd "$(dirname "$0")" && pwd)
screens="$build/screens"
mkdir -p "$screens"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export XDG_CONFIG_HOME="$scratch/config"
settle=${KVR2_SMOKE_SETTLE:-2}
fail() { echo "$name: $*"; [ -n "${pid:-}" ] && kill "$pid" 2>/dev/null; exit 1; }
window() { timeout 20 xdotool search --sync --onlyvisible --name "$1" | head -n 1; }
# Waits for the main window of the started program (pid) into win.
main_window() {
    win=$(window "Kavrel") || fail "no main window"
    [ -n "$win" ] || fail "no main window"
    sleep "$settle"
}
# Starts kvr2 on a copy of the steam Rankine example and waits for it.
open_steam_rankine() {
    cp "$here/../../examples/steam_rankine.kvr" "$scratch/"
    "$build/kvr2" "$scratch/steam_rankine.kvr" &
    pid=$!
    main_window
}
