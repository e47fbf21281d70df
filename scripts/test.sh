#!/bin/sh
# Builds everything and runs every test (windows on a private virtual display).
set -e
cd "$(dirname "$0")/.."
scripts/setup.sh
build="$PWD/${VELMORA_BUILD:-build}"
export VELMORA_BUILD_DIR="$build"
exec xvfb-run -a -s "-screen 0 1280x1024x24" sh -c '
    # The tests run in their own Wine prefix. The first program there that touches the display
    # starts Wine'"'"'s desktop process, which outlives it: start it here, away from the pipes
    # through which CTest reads a test'"'"'s output.
    VELMORA_TEST_BIN="$VELMORA_BUILD_DIR" "$VELMORA_BUILD_DIR/wine-run" \
        "$VELMORA_BUILD_DIR/windowctl.exe" desktop >/dev/null 2>&1 </dev/null || true
    cd "$VELMORA_BUILD_DIR" && exec ctest --output-on-failure -j "$(nproc)"'
