#!/bin/sh
# Installs what building, running and testing need, and configures the build folder.
# Quick when everything is already there.
set -e
cd "$(dirname "$0")/.."

packages="cmake make g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 googletest
          xvfb xauth x11-apps netpbm xdotool"
# Wine's own fonts: the dialog font and the caption buttons' glyphs (wine-run links them into
# each prefix).
packages="$packages fonts-wine"
missing=""
for p in $packages; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
    echo "Installing:$missing"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing >/dev/null
fi

build="${VELMORA_BUILD:-build}"
if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake -S . -B "$build" -G "Unix Makefiles" >/dev/null
fi
echo "Building (the first build takes a few minutes)..."
cmake --build "$build" -j "$(nproc)" -- --no-print-directory >/dev/null
