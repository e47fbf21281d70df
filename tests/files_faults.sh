#!/bin/sh
# A settings file exported where the disk is full or the folder is read-only: refused with the
# platform's reason, and the folder holds what it held (the file the export would have replaced
# keeps its contents, no new file is left). Mounts two small filesystems, so it needs root;
# without it the test is skipped (exit code 77).
#   files_faults.sh BUILD
build="$1"
[ "$(id -u)" -eq 0 ] || { echo "skipped: mounting a small filesystem needs root"; exit 77; }
dir=$(mktemp -d) || exit 1
trap 'umount "$dir/full" "$dir/readonly" 2>/dev/null; rm -rf "$dir"' EXIT
for folder in full readonly; do
    mkdir "$dir/$folder"
    mount -t tmpfs -o size=16k tmpfs "$dir/$folder" || { echo "skipped: cannot mount"; exit 77; }
    printf 'old contents\r\n' >"$dir/$folder/old.tsv"
done
# One page left: a Tegra 3 file (about 7 KiB) starts to be written, then finds the disk full.
dd if=/dev/zero of="$dir/full/filler" bs=4096 2>/dev/null
truncate -s -4096 "$dir/full/filler"
mount -o remount,ro "$dir/readonly"

export VELMORA_TEST_BIN="$build" VELMORA_SIM_MODULE=tegra3 VELMORA_SIM_STIMULUS=off
export VELMORA_SIM_INSTANCE="faults$$"
status=0
for case in "full|Disk full" "readonly|Access denied"; do
    folder=${case%%|*} reason=${case#*|}
    before=$(ls -l --time-style=full-iso "$dir/$folder"; cat "$dir/$folder/old.tsv")
    out=$("$build/wine-run" "$build/gpioconfig.exe" --export "Z:$dir/$folder/old.tsv" 2>&1)
    code=$?
    after=$(ls -l --time-style=full-iso "$dir/$folder"; cat "$dir/$folder/old.tsv")
    case "$code|$out" in
    "1|"*"$reason"*"; nothing was written"*) ;;
    *)
        echo "$folder: exit code $code, '$out'; 1 and '$reason; nothing was written' expected"
        status=1
        ;;
    esac
    if [ "$before" != "$after" ]; then
        printf '%s: the folder changed\nbefore:\n%s\nafter:\n%s\n' "$folder" "$before" "$after"
        status=1
    fi
done
exit $status
