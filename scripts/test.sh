#!/bin/sh
# Builds everything and runs every test (windows on a private virtual display).
set -e
cd "$(dirname "$0")/.."
scripts/setup.sh
build="${VELMORA_BUILD:-build}"
# Sets up the tests' Wine prefix once, before tests start in parallel.
VELMORA_TEST_BIN="$PWD/$build" "$build/wine-run" cmd /c exit >/dev/null 2>&1 </dev/null || true
cd "$build"
exec xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)"
