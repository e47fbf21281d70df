#!/bin/sh
# Installs what building, running and testing need, configures the build folder and builds.
#   scripts/setup.sh [TARGET...]   builds the given targets, everything when none is given
# Quick when everything is already there; says "Building" only when something is built.
set -e
cd "$(dirname "$0")/.."

# Step 1: the packages.
packages="cmake make g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 googletest
          xvfb xauth x11-apps netpbm xdotool"
# Wine's own fonts: the dialog font and the caption buttons' glyphs (wine-run links them into
# each prefix).
packages="$packages fonts-wine"
# The waveform tool that reads the tests' exported activity back.
packages="$packages sigrok-cli"
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

# Step 2: the build folder.
build="${VELMORA_BUILD:-build}"
first=""
if [ ! -f "$build/CMakeCache.txt" ]; then
    first=" (the first build takes a while)"
    echo "Configuring $build..."
    cmake -S . -B "$build" -G "Unix Makefiles" >/dev/null
fi

# Step 3: the build. Make reports each object it compiles and each program it links; the
# first such line is the moment to say that building takes place.
targets=""
for t in "$@"; do targets="$targets --target $t"; done
log="$build/build.log"
status=$(mktemp)
# (set -e would end this group at a failing build, before its code is written.)
{ result=0
  cmake --build "$build" $targets -j "$(nproc)" -- --no-print-directory >"$log" 2>&1 || result=$?
  echo $result >"$status"; } &
builder=$!
said=""
while kill -0 $builder 2>/dev/null; do
    if [ -z "$said" ] && grep -q -E "Building|Linking" "$log" 2>/dev/null; then
        echo "Building ${*:-everything}$first..."
        said=1
    fi
    sleep 0.2
done
wait $builder || true
if [ -z "$said" ] && grep -q -E "Building|Linking" "$log"; then
    echo "Built ${*:-everything}."
fi
code=$(cat "$status")
rm -f "$status"
if [ "$code" -ne 0 ]; then
    cat "$log" >&2
    echo "The build failed (log: $log)." >&2
    exit "$code"
fi
