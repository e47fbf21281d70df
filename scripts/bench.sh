#!/bin/sh
# Builds what the benchmarks need and runs every one on a private virtual display.
#   scripts/bench.sh          every figure but the memory soak (about five minutes)
#   scripts/bench.sh --soak   the 10-minute memory soak at 2000 Hz as well
# Prints one table (figure, measured, floor, ratio, goal, met or missed) and writes the same
# as JSON to build/bench/results.json.
set -e
cd "$(dirname "$0")/.."
scripts/setup.sh bench windowctl
if ! command -v python3 >/dev/null; then
    echo "Installing: python3"
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends python3 >/dev/null
fi
build="${VELMORA_BUILD:-build}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
# A prefix of the benchmarks' own: its wineserver serves only what they start.
export VELMORA_WINEPREFIX="$build/wineprefix-bench"
"$build/wine-run" --prepare
exec xvfb-run -a -s "-screen 0 1280x1024x24" python3 bench/run.py --build "$build" "$@"
