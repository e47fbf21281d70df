# shellcheck shell=sh
# The tool kept by scripts/run.sh --keep: its Wine prefix, module and instance are recorded in
# the build's headless-session file. Sourced by the wrappers that work on its module.
#   use_kept_session NAME BUILD   adopts the kept tool's prefix, module and instance unless
#                                 VELMORA_WINEPREFIX is set; a different module or instance asked
#                                 for is refused (exit 1) with a line naming both
use_kept_session() {
    _session="$2/headless-session"
    [ -f "$_session" ] && [ -z "$VELMORA_WINEPREFIX" ] || return 0
    _kept=$(sed -n "s/^VELMORA_SIM_MODULE='\(.*\)'$/\1/p" "$_session")
    _keptInstance=$(sed -n "s/^VELMORA_SIM_INSTANCE='\(.*\)'$/\1/p" "$_session")
    if [ -n "$VELMORA_SIM_MODULE" ] && [ "$VELMORA_SIM_MODULE" != "$_kept" ]; then
        echo "$1: the kept tool runs the $_kept module, not $VELMORA_SIM_MODULE" >&2
        exit 1
    fi
    if [ -n "$VELMORA_SIM_INSTANCE" ] && [ "$VELMORA_SIM_INSTANCE" != "$_keptInstance" ]; then
        echo "$1: the kept tool runs instance '$_keptInstance', not '$VELMORA_SIM_INSTANCE'" >&2
        exit 1
    fi
    VELMORA_WINEPREFIX=$(sed -n "s/^VELMORA_WINEPREFIX='\(.*\)'$/\1/p" "$_session")
    export VELMORA_WINEPREFIX VELMORA_SIM_MODULE="$_kept"
    if [ -n "$_keptInstance" ]; then export VELMORA_SIM_INSTANCE="$_keptInstance"; fi
}
