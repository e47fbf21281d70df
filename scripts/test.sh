#!/bin/sh
# Builds everything and runs every test (windows on a private virtual display).
#   scripts/test.sh [CTEST ARGUMENT...]   e.g. -R Gpiosim to run some tests only
set -e
cd "$(dirname "$0")/.."
scripts/setup.sh
build="${VELMORA_BUILD:-build}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
# Sets up the Wine prefixes before CTest starts: the tests' own (and one at 144 pixels per
# inch), and the build's, in which
# CTest lists each test program's tests (a first set-up there could outlast that listing's
# time limit on a loaded machine).
VELMORA_TEST_BIN="$build" "$build/wine-run" --prepare
VELMORA_TEST_BIN="$build" VELMORA_TEST_DPI=144 "$build/wine-run" --prepare
"$build/wine-run" --prepare
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    build="$1"
    shift
    # A window held for the whole run starts Wine'"'"'s desktop process once, before the first
    # test, instead of one test after another starting it as the previous one closes.
    hold="$build/hold.log"
    VELMORA_TEST_BIN="$build" "$build/wine-run" "$build/windowctl.exe" hold </dev/null >"$hold" 2>&1 &
    holder=$!
    for _ in $(seq 600); do
        grep -q holding "$hold" 2>/dev/null && break
        kill -0 $holder 2>/dev/null || break
        sleep 0.1
    done
    cd "$build"
    status=0
    ctest --output-on-failure -j "$(nproc)" "$@" || status=$?
    kill $holder 2>/dev/null
    exit $status' sh "$build" "$@"
