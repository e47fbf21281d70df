#!/bin/sh
# scripts/run.sh without a display, on modules the tool refuses: the script must end (not wait
# on the tool's message box), name the refusal in one line, keep a picture and exit with 1.
source="$1"
build="$2"
status=0
for case in "none:This program does only run on Velmora Tessara Modules." \
            "unknown-cpu:CPU Type not supported!"; do
    module="${case%%:*}"
    says="${case#*:}"
    rm -f "$source/screenshot/gpioconfig.png"
    output=$(cd "$source" && env -u DISPLAY VELMORA_BUILD="$build" VELMORA_SIM_MODULE="$module" \
        sh scripts/run.sh 2>&1)
    code=$?
    if [ "$code" -ne 1 ]; then
        echo "$module: exit code $code, not 1; the script said:"; echo "$output"; status=1
    elif ! echo "$output" | grep -qF "The tool refused to start: $says"; then
        echo "$module: no line naming the refusal; the script said:"; echo "$output"; status=1
    elif [ ! -s "$source/screenshot/gpioconfig.png" ]; then
        echo "$module: no picture of the message"; status=1
    else
        echo "$module: refused, exit code 1: $(echo "$output" | grep -F 'The tool refused')"
    fi
done
exit $status
