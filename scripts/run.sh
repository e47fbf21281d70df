#!/bin/sh
# Builds the tool and runs it.
#   scripts/run.sh          with a display, the window opens. Without one, the tool runs on a
#                           private virtual display: a screenshot once the table has filled,
#                           then the tool is closed through its close command.
#   scripts/run.sh --keep   without a display: the tool stays open on the private display, so
#                           that scripts/gpiosim can drive its pins; scripts/run.sh --shot takes
#                           another screenshot, scripts/run.sh --stop ends it.
#   scripts/run.sh --stop   ends a kept tool, its display, and the Wine processes of the run
#                           command's prefixes (the tests' and benchmarks' are theirs to end)
# A refused start (not a Velmora module, an unknown processor) ends with exit code 1.
# Each simulated module keeps its own preferences (scripts/preferences.sh): its copy is put in
# place before the tool starts and taken back when the tool has ended through its close command.
set -e
cd "$(dirname "$0")/.."
. scripts/preferences.sh
build="${VELMORA_BUILD:-build}"
case "$build" in /*) ;; *) build="$PWD/$build" ;; esac
run="$build/wine-run"
shot="$PWD/screenshot/gpioconfig.png"
# The headless runs: a prefix of their own whose programs share one Wine desktop, which draws
# the window frame (no window manager runs on the virtual display). A kept run leaves its
# display and prefix here, for gpiosim and --shot.
desktopPrefix="$build/wineprefix-desktop"
session="$build/headless-session"
# The exit code of the tool started headless, once it has ended.
toolStatus="$build/headless-tool-status"

mode="${1:-}"
case "$mode" in
"" | --keep | --shot | --stop) ;;
*)
    echo "usage: scripts/run.sh [--keep | --shot | --stop]" >&2
    exit 2
    ;;
esac

# The prefixes this command runs the tool in: the build's own (with a display) and the headless
# one. A test run going on in the same build keeps its prefixes.
stop_wine() {
    for prefix in "$build/wineprefix" "$desktopPrefix"; do
        [ -d "$prefix" ] && WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
    done
}

# The preferences of a headless tool that has ended after a normal run, into its copy.
take_back_if_closed() {
    if [ "$(cat "$toolStatus" 2>/dev/null)" = 1 ]; then take_back_preferences "$run" "$1"; fi
}

screenshot() {
    mkdir -p "$(dirname "$shot")"
    desktop=$(xdotool search --name "Wine desktop" | head -n 1)
    xwd -silent -id "$desktop" | xwdtopnm 2>/dev/null | pnmtopng >"$shot"
}

if [ "$mode" = "--stop" ]; then
    if [ -f "$session" ]; then
        . "$session"
        export DISPLAY VELMORA_WINEPREFIX
        "$run" "$build/windowctl.exe" close >/dev/null 2>&1 || true
        # The tool stores its preferences after its window has gone, and then ends.
        for _ in $(seq 600); do
            [ ! -s "$toolStatus" ] && kill -0 "$TOOL_PID" 2>/dev/null || break
            sleep 0.1
        done
        take_back_if_closed "$PREFERENCES"
        kill "$XVFB_PID" 2>/dev/null || true
        rm -f "$session"
    fi
    stop_wine
    echo "Stopped the tool and the Wine processes of its prefixes in $build."
    exit 0
fi
if [ "$mode" = "--shot" ]; then
    [ -f "$session" ] || { echo "No tool kept running; start one with scripts/run.sh --keep." >&2; exit 1; }
    . "$session"
    export DISPLAY
    screenshot
    echo "Screenshot of the tool's window: $shot"
    exit 0
fi

scripts/setup.sh gpioconfig gpiosim windowctl
preferences=$(preferences_copy "$build")

# The tool ends with 1 after a normal run (its preferences stored) and with 0 when it refused to
# start.
if [ -n "$DISPLAY" ] && [ -z "$mode" ]; then
    "$run" --prepare
    put_preferences "$run" "$preferences"
    status=0
    "$run" "$build/gpioconfig.exe" || status=$?
    if [ "$status" -eq 1 ]; then
        take_back_preferences "$run" "$preferences"
        exit 0
    fi
    echo "The tool refused to start (its message said why)." >&2
    exit 1
fi

if [ -f "$session" ]; then
    echo "A tool kept running already; scripts/run.sh --stop ends it." >&2
    exit 1
fi
# A private display: Xvfb picks a free number and writes it once it accepts clients.
displayFile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$displayFile" >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do [ -s "$displayFile" ] && break; sleep 0.1; done
DISPLAY=":$(cat "$displayFile")"
rm -f "$displayFile"
export DISPLAY
# The prefix after the display: Wine starts its processes for the display they find.
export VELMORA_WINEPREFIX="$desktopPrefix"
"$run" --prepare
# The desktop (and so the picture) leaves room for a window enlarged and remembered.
desktopSize=1100x660
if [ ! -f "$VELMORA_WINEPREFIX/.desktop-$desktopSize" ]; then
    "$run" reg add "HKCU\\Software\\Wine\\Explorer" /v Desktop /d Default /f >/dev/null 2>&1
    "$run" reg add "HKCU\\Software\\Wine\\Explorer\\Desktops" /v Default /d $desktopSize /f >/dev/null 2>&1
    # Wine reads the desktop setting when it starts.
    WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -k || true
    WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -w || true
    touch "$VELMORA_WINEPREFIX/.desktop-$desktopSize"
    "$run" --prepare
fi

echo "Starting the tool on a private display..."
put_preferences "$run" "$preferences"
rm -f "$toolStatus"
(
    code=0
    "$run" "$build/gpioconfig.exe" || code=$?
    echo $code >"$toolStatus"
) </dev/null >/dev/null 2>&1 &
tool=$!
status=0
message=$("$run" "$build/windowctl.exe" wait) || status=$?
if [ "$status" -ne 0 ] && [ "$status" -ne 3 ]; then
    kill $tool 2>/dev/null || true
    kill $xvfb 2>/dev/null || true
    stop_wine
    echo "The tool's window did not show." >&2
    exit 1
fi
sleep 1 # the list's first refresh
screenshot
if [ "$status" -eq 3 ] || [ "$mode" != "--keep" ]; then
    "$run" "$build/windowctl.exe" close >/dev/null || true
    wait $tool || true
    take_back_if_closed "$preferences"
    kill $xvfb 2>/dev/null || true
    WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -k || true
fi
if [ "$status" -eq 3 ]; then
    echo "The tool refused to start: $message" >&2
    echo "Screenshot of its message: $shot" >&2
    exit 1
fi
if [ "$mode" != "--keep" ]; then
    echo "No display: the tool ran on a virtual display, and was closed through its close command."
    echo "Screenshot of its window: $shot"
    exit 0
fi
cat >"$session" <<END
DISPLAY='$DISPLAY'
VELMORA_WINEPREFIX='$VELMORA_WINEPREFIX'
VELMORA_SIM_MODULE='${VELMORA_SIM_MODULE:-pxa270}'
VELMORA_SIM_INSTANCE='${VELMORA_SIM_INSTANCE:-}'
XVFB_PID=$xvfb
TOOL_PID=$tool
PREFERENCES='$preferences'
END
echo "The tool keeps running on the private display $DISPLAY."
echo "Screenshot of its window: $shot"
echo "Drive its pins with scripts/gpiosim (scripts/gpiosim --help says how),"
echo "take another screenshot with scripts/run.sh --shot, end it with scripts/run.sh --stop."
