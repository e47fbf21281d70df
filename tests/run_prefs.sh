#!/bin/sh
# scripts/run.sh runs each simulated module as if it were a machine of its own: the columns one
# module's processor hides stay shown on the next module, and each module's own change comes
# back at its next run, whichever way the command ran the tool. Runs headless (closed at once,
# --keep and --stop), and once with the test's display; the shown columns are read from the
# window, the user's changes made in its "Columns" menu.
source="$1"
build="$2"
export VELMORA_BUILD="$build" VELMORA_SIM_INSTANCE=runcommand
copies="$build/preferences"
rm -f "$copies"/*@runcommand.reg
failed=0
fail() {
    echo "FAILED: $*"
    failed=1
}
run() { (cd "$source" && env -u DISPLAY sh scripts/run.sh "$@" 2>&1); }
trap 'run --stop >/dev/null' EXIT

# windowctl on the display and in the prefix of the tool under test.
ctl() { DISPLAY="$ctlDisplay" VELMORA_WINEPREFIX="$ctlPrefix" "$build/wine-run" "$build/windowctl.exe" "$@"; }
keep() {
    said=$(VELMORA_SIM_MODULE=$1 run --keep) || fail "$1: run.sh --keep failed: $said"
    ctlDisplay=$(sed -n "s/^DISPLAY='\(.*\)'$/\1/p" "$build/headless-session")
    ctlPrefix="$build/wineprefix-desktop"
}
# expect WHEN +HEADER -HEADER ...: the headers the list shows, and those it does not.
expect() {
    when="$1"
    shift
    shown="|$(ctl columns | tr -d '\r' | tr '\n' '|')"
    for column in "$@"; do
        name="${column#?}"
        case "$shown" in *"|$name|"*) sign=+ ;; *) sign=- ;; esac
        [ "$sign$name" = "$column" ] || fail "$when: wanted $column, the list shows $shown"
    done
    echo "$when: $shown"
}
toggle() { ctl toggle "$1" || fail "could not pick \"$1\" in Columns"; }

said=$(VELMORA_SIM_MODULE=tegra3 run) || fail "tegra3: run.sh failed: $said"
keep pxa270
expect "PXA270 after Tegra 3" +EdgeDet +EdgeStat +Level
# The wrappers reach the kept tool's instance without being told it.
held=$(cd "$source" && env -u VELMORA_SIM_INSTANCE sh scripts/gpiosim held 2>&1) ||
    fail "scripts/gpiosim does not reach the kept instance: $held"
toggle Level
run --stop >/dev/null
keep tegra2
expect "Tegra 2 after PXA270 without Level" +Level +Tristate +PullState +Group
toggle "Pull up/down State"
run --stop >/dev/null
keep pxa270
expect "PXA270 again" -Level +EdgeDet +EdgeStat
# Killed, the tool stores nothing: the copy stays that of its last normal close, whatever the
# key holds by then (here as another module's tool would leave it).
cp "$copies/pxa270@runcommand.reg" "$copies/kept.reg"
toggle "Edge Status"
WINEPREFIX="$ctlPrefix" wineserver -k
VELMORA_WINEPREFIX="$ctlPrefix" "$build/wine-run" reg add 'HKLM\SOFTWARE\Velmora\GpioConfig' \
    /v g_ColDir /t REG_DWORD /d 4294967295 /f >/dev/null
run --stop >/dev/null
cmp -s "$copies/kept.reg" "$copies/pxa270@runcommand.reg" || fail "the killed tool's copy changed"
rm -f "$copies/kept.reg"

# With a display: the window opens in the build's own prefix; the module's copy follows it there.
ctlDisplay="$DISPLAY"
ctlPrefix=""
(cd "$source" && VELMORA_SIM_MODULE=tegra2 sh scripts/run.sh >/dev/null 2>&1) &
windowed=$!
ctl wait >/dev/null || fail "Tegra 2 with a display: no window"
expect "Tegra 2 again, with a display" -PullState +Level +Tristate
toggle Tristate
ctl close >/dev/null
wait $windowed || fail "Tegra 2 with a display: run.sh ended with $?"
iconv -f UTF-16 -t UTF-8 "$copies/tegra2@runcommand.reg" | grep -q '^"g_ColTristate"=dword:ffffffff' ||
    fail "Tegra 2's copy does not keep Tristate hidden after the run with a display"

# A copy that cannot be read: the defaults, not what the previous module left in the key.
echo "not a registry file" >"$copies/tegra3@runcommand.reg"
keep tegra3
echo "$said" | grep -q "tegra3@runcommand.reg cannot be read: the tool starts with its defaults" ||
    fail "no line on the copy that cannot be read: $said"
expect "Tegra 3 from a copy that cannot be read" +Level +Tristate +PullState
exit $failed
