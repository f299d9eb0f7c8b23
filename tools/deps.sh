#!/bin/sh
# Installs the Debian packages that building and testing kvr2 need, when missing.
set -eu
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
updated=0
install() {
    missing=""
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
    done
    [ -n "$missing" ] || return 0
    echo "Installing:$missing"
    if [ "$updated" -eq 0 ]; then
        $SUDO apt-get update -qq
        updated=1
    fi
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
}
install cmake g++ make pkg-config libgtest-dev libbenchmark-dev libgtk2.0-dev python3 clang clang-format
# The window tests: a virtual X display, xdotool for the smoke scripts,
# locale data for the decimal-comma test, flock for the display lock.
install xvfb xauth xdotool locales util-linux
# The user manual: Markdown to HTML, HTML to PDF, and the page count of its
# test.
install python3-markdown weasyprint poppler-utils
# The fuzzing runtime of the installed clang (only recommended by it, so not
# always installed along with it).
clang_major=$(clang --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n 1)
[ -n "$clang_major" ] && install "libclang-rt-$clang_major-dev"
exit 0
