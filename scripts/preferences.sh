# Each simulated module's own preferences, for the scripts that start the tool (sourced). On
# the hardware every module has its own registry; here one Wine prefix stands in for all of
# them, so each module (and each VELMORA_SIM_INSTANCE) keeps a copy of the tool's key in a file.
#   preferences_copy BUILD          the copy's file for VELMORA_SIM_MODULE and
#                                   VELMORA_SIM_INSTANCE; nothing when they name no module
#   put_preferences RUN COPY        before the tool starts: the key as the copy has it, or no
#                                   key without a copy (RUN: the build's wine-run)
#   take_back_preferences RUN COPY  after the tool stored its preferences: the key into the copy
# A copy that cannot be read leaves no key (the tool's defaults), said in one line on stderr.

PREFERENCES_KEY='HKEY_LOCAL_MACHINE\SOFTWARE\Velmora\GpioConfig'

# A name as the simulated module reads it: spaces around it do not count, nor does case.
preferences_name() {
    printf '%s' "$1" | tr '\t\r\nA-Z' '   a-z' | sed 's/^ *//; s/ *$//'
}

preferences_copy() {
    case "$1" in /*) _build=$1 ;; *) _build=$PWD/$1 ;; esac
    _module=$(preferences_name "${VELMORA_SIM_MODULE:-}")
    _instance=$(preferences_name "${VELMORA_SIM_INSTANCE:-}")
    # Names the module refuses start no tool that could store anything.
    case "$_module" in *[!a-z0-9-]*) return 0 ;; esac
    case "$_instance" in *[!a-z0-9._-]*) return 0 ;; esac
    [ ${#_instance} -le 32 ] || return 0
    echo "$_build/preferences/${_module:-pxa270}${_instance:+@$_instance}.reg"
}

# True when the file is what `reg export` writes for the tool's key: the key (or keys below it)
# and its values, nothing that would reach elsewhere in the registry or that `reg import` would
# skip without a word.
preferences_readable() {
    [ -f "$1" ] && [ -r "$1" ] || return 1
    _text=$(iconv -f UTF-16 -t UTF-8 "$1" 2>/dev/null) || return 1
    printf '%s\n' "$_text" | tr -d '\r' | PREFERENCES_KEY="$PREFERENCES_KEY" awk '
        BEGIN { key = tolower("[" ENVIRON["PREFERENCES_KEY"]) }
        NR == 1 { ok = $0 == "Windows Registry Editor Version 5.00"; next }
        more { more = /\\$/; ok = ok && /^  [0-9a-f,]*\\?$/; next }
        $0 == "" { next }
        /^\[/ {
            # Key names compare without regard to case.
            name = tolower($0)
            inKey = name == key "]" || (index(name, key "\\") == 1 && /\]$/)
            ok = ok && inKey
            keys += inKey
            next
        }
        !inKey || !/^("([^"\\]|\\.)*"|@)=/ { ok = 0; next }
        {
            sub(/^("([^"\\]|\\.)*"|@)=/, "")
            if (/^dword:/) ok = ok && length($0) == 14 && substr($0, 7) !~ /[^0-9a-f]/
            else if (/^hex(\([0-9a-f]+\))?:/) { more = /\\$/; ok = ok && /^[^:]*:[0-9a-f,]*\\?$/ }
            else ok = ok && /^"([^"\\]|\\.)*"$/
        }
        END { exit !(ok && keys && !more) }'
}

put_preferences() {
    [ -n "$2" ] || return 0
    "$1" reg delete "$PREFERENCES_KEY" /f >/dev/null 2>&1 || true
    [ -e "$2" ] || return 0
    if ! preferences_readable "$2" || ! "$1" reg import "Z:$2" >/dev/null 2>&1; then
        "$1" reg delete "$PREFERENCES_KEY" /f >/dev/null 2>&1 || true
        echo "The stored preferences in $2 cannot be read: the tool starts with its defaults." >&2
    fi
    return 0
}

# Written beside the copy and renamed over it, so that no end midway leaves half a copy.
take_back_preferences() {
    [ -n "$2" ] || return 0
    mkdir -p "$(dirname "$2")"
    if "$1" reg export "$PREFERENCES_KEY" "Z:$2.new" /y >/dev/null 2>&1 && mv -f "$2.new" "$2"; then
        return 0
    fi
    rm -f "$2.new"
    echo "The tool's preferences could not be copied to $2: the copy stays as it was." >&2
    return 0
}
