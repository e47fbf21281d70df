#!/bin/sh
# Builds the tool and runs it. With a display it opens the window. Without one it runs on a
# private virtual display, saves a screenshot once the table has filled, and closes the tool.
set -e
cd "$(dirname "$0")/.."
scripts/setup.sh
build="$PWD/${VELMORA_BUILD:-build}"

if [ -n "$DISPLAY" ]; then
    "$build/wine-run" cmd /c exit >/dev/null 2>&1 </dev/null || true
    exec "$build/wine-run" "$build/gpioconfig.exe"
fi

# A prefix of its own whose programs share one Wine desktop, which draws the window frame
# (no window manager runs on the virtual display).
export VELMORA_WINEPREFIX="$build/wineprefix-desktop"

shot="$PWD/screenshot/gpioconfig.png"
mkdir -p "$(dirname "$shot")"
export VELMORA_BUILD_DIR="$build" VELMORA_SHOT="$shot"
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
    run="$VELMORA_BUILD_DIR/wine-run"
    if [ ! -f "$VELMORA_WINEPREFIX/.desktop" ]; then
        "$run" reg add "HKCU\\Software\\Wine\\Explorer" /v Desktop /d Default /f >/dev/null 2>&1
        "$run" reg add "HKCU\\Software\\Wine\\Explorer\\Desktops" /v Default /d 860x480 /f >/dev/null 2>&1
        # Wine reads the desktop setting when it starts.
        WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -k
        WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -w
        touch "$VELMORA_WINEPREFIX/.desktop"
    fi
    "$run" "$VELMORA_BUILD_DIR/gpioconfig.exe" &
    tool=$!
    "$run" "$VELMORA_BUILD_DIR/windowctl.exe" wait
    sleep 1
    desktop=$(xdotool search --name "Wine desktop" | head -n 1)
    xwd -silent -id "$desktop" | xwdtopnm 2>/dev/null | pnmtopng > "$VELMORA_SHOT"
    "$run" "$VELMORA_BUILD_DIR/windowctl.exe" close
    wait $tool || [ $? -eq 1 ]
    WINEPREFIX="$VELMORA_WINEPREFIX" wineserver -k'
echo "No display: the tool ran on a virtual display, and was closed through its close command."
echo "Screenshot of its window: $shot"
