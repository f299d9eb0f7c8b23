#!/bin/sh
# Installs the Debian packages that building and testing kvr2 need, when missing.
set -eu
pkgs="cmake g++ make pkg-config libgtest-dev libbenchmark-dev libgtk2.0-dev python3 clang"
missing=""
for p in $pkgs; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq $missing
fi
