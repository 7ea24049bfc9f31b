#!/usr/bin/env bash
# Runs the line test program against a qal-sim of its own, which answers at a fixed 8.7 m/s:
#   with-simulator.sh SIM TESTS                              natively (POSIX)
#   with-simulator.sh SIM TESTS.exe WINE_SCRIPT WINE_STATE   under wine (tests/wine)
# The line goes behind port COM42: a COM42 link in a temporary directory natively, the
# prefix's dosdevices/com42 under wine.
set -uo pipefail

readonly port=42 skipped=77
sim=${1:-}
tests=${2:?test program}
wine_script=${3:-}
wine_state=${4:-}

if [ -z "$sim" ] || [ ! -x "$sim" ]; then
    echo "SKIPPED: no qal-sim to test against (a cross build takes a native build's as" \
        "-DQAL_HOST_SIM=<build>/sim/qal-sim)" >&2
    exit "$skipped"
fi
if [ -n "$wine_script" ]; then
    prefix=$("$wine_script" prefix "$wine_state") || exit $?
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/qal-line.XXXXXX") || exit 1
sim_pid=
link=
finish() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2> /dev/null
        wait "$sim_pid" 2> /dev/null
    fi
    [ -z "$link" ] || rm -f "$link"
    rm -rf "$work"
}
trap finish EXIT

: > "$work/sim.out" # there before the simulator writes it, for the wait below
"$sim" --speed 8.7 --model-marker never < /dev/null > "$work/sim.out" 2> "$work/sim.err" &
sim_pid=$!
# Its first line is the path of the line.
for _ in $(seq 100); do
    [ "$(wc -l < "$work/sim.out")" -ge 1 ] && break
    sleep 0.05
done
line=$(head -n 1 "$work/sim.out")
if [ -z "$line" ]; then
    echo "qal-sim did not start:" >&2
    cat "$work/sim.err" >&2
    exit 1
fi

status=0
if [ -n "$wine_script" ]; then
    link=$prefix/dosdevices/com$port
    ln -sfn "$line" "$link" || exit 1
    QAL_LINE_PORT=$port "$wine_script" run "$wine_state" "$tests" || status=$?
else
    ln -s "$line" "$work/COM$port" || exit 1
    QAL_LINE_PORT=$port QAL_LINE_APPDIR=$work "$tests" || status=$?
fi
exit "$status"
