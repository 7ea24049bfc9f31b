#!/usr/bin/env bash
# qal-demo.exe under wine, as the Start-menu entry starts it from an installed copy:
#   demo-wine.sh WINE_SCRIPT WINE_STATE QAL_DEMO.exe QAL_SIM.exe STAND_IN.exe
# The stand-in plays the terminal and reports what it finds at its start. The terminal must
# find a settings folder of the demo's own with COM1 mapped to the simulator's tcp:// URL, never
# the user's own settings folder (which other checks in the prefix may use: it is only read
# here); once the terminal ends, the simulator must have
# stopped on request (not been killed) and taken its mapping out again.
# Exit status 77 (skipped) when wine is unavailable.
set -uo pipefail

wine_script=${1:?wine script} wine_state=${2:?wine state} demo=${3:?qal-demo.exe}
sim=${4:?qal-sim.exe} stand_in=${5:?stand-in terminal}

prefix=$("$wine_script" prefix "$wine_state") || exit $?
export LC_ALL=C.UTF-8

work=$(mktemp -d "${TMPDIR:-/tmp}/qal-demo-wine.XXXXXX") || exit 1
finish() {
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "FAILED: $*" >&2
    for log in "$work"/*.log "$work"/report.txt; do
        [ -f "$log" ] && { echo "--- ${log##*/}" >&2; tr -d '\r' < "$log" | tail -n 20 >&2; }
    done
    exit 1
}

# An installed copy: the installer's uninstaller lies beside it.
program="$work/program"
mkdir -p "$program"
cp "$demo" "$program/qal-demo.exe" && cp "$sim" "$program/qal-sim.exe" &&
    cp "$stand_in" "$program/qal-terminal.exe" && touch "$program/Uninstall.exe" ||
    fail "cannot lay out the program folder"

roaming=$(find "$prefix/drive_c/users" -maxdepth 3 -type d -path "*/AppData/Roaming" | head -n 1)
local_data=$(find "$prefix/drive_c/users" -maxdepth 3 -type d -path "*/AppData/Local" | head -n 1)
[ -n "$roaming" ] && [ -n "$local_data" ] || fail "no AppData folders in $prefix"
rm -rf "$local_data/qal-terminal-demo"

QAL_STAND_IN_REPORT="Z:${work//\//\\}\\report.txt" \
    "$wine_script" run "$wine_state" "$program/qal-demo.exe" > "$work/demo.log" 2>&1 ||
    fail "qal-demo.exe ended with status $?"

report=$(tr -d '\r' < "$work/report.txt" 2> /dev/null) || fail "the terminal was not started"
grep -q '^APPDATA=.*\\AppData\\Local\\qal-terminal-demo$' <<< "$report" ||
    fail "the terminal did not get the demo's folder: $report"
url=$(grep -o '"COM1": "tcp://127\.0\.0\.1:[1-9][0-9]*"' <<< "$report" | grep -o 'tcp://[^"]*') ||
    fail "COM1 was not mapped to the simulator when the terminal started: $report"
! grep -qF "$url" "$roaming/qal-terminal/ports.json" 2> /dev/null ||
    fail "the simulator was mapped in the user's own ports.json"
demo_settings="$local_data/qal-terminal-demo/qal-terminal"
[ ! -e "$demo_settings/ports.json" ] ||
    fail "the simulator's mapping stayed: $(cat "$demo_settings/ports.json")"
tr -d '\r' < "$local_data/qal-terminal-demo/qal-sim.log" > "$work/sim.log" ||
    fail "no simulator log"
[ "$(tail -n 1 "$work/sim.log")" = "qal-sim: stopped" ] || fail "the simulator did not stop on request"
echo "demo: the terminal found COM1 mapped to the simulator in the demo's own folder;" \
    "the simulator stopped and took its mapping out"
