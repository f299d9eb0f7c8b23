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
# Waits up to 20 s for a visible window of that name and prints its id. Each
# look is a search of its own: a window the program destroys while xdotool
# walks the list (BadWindow) ends that search, not the wait.
window() {
    for _ in $(seq 100); do
        found=$(timeout 5 xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.2
    done
    return 1
}
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
