#!/bin/sh
# Builds everything and runs every test (windows on a private virtual display).
set -e
cd "$(dirname "$0")/.."
scripts/setup.sh
build="$PWD/${VELMORA_BUILD:-build}"
# Sets up the tests' Wine prefix once, before tests start in parallel.
VELMORA_TEST_BIN="$build" "$build/wine-run" cmd /c exit >/dev/null 2>&1 </dev/null || true
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    build="$0"
    # Wine starts its desktop process from the first program that uses the display, and that
    # process keeps the program'"'"'s output open; a test'"'"'s output must close when the test ends.
    # So a window held for the whole run starts it, away from CTest.
    VELMORA_TEST_BIN="$build" "$build/wine-run" "$build/windowctl.exe" hold </dev/null >/dev/null 2>&1 &
    holder=$!
    sleep 1
    cd "$build"
    status=0
    ctest --output-on-failure -j "$(nproc)" || status=$?
    kill $holder 2>/dev/null
    exit $status' "$build"
