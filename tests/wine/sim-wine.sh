#!/usr/bin/env bash
# qal-sim.exe --listen under wine, answering the host's qal-cli over 127.0.0.1:
#   sim-wine.sh WINE_SCRIPT WINE_STATE QAL_SIM.exe HOST_QAL_CLI
# The simulator takes a free port (--listen 127.0.0.1:0) and prints its URL; "watch --count 3"
# through that URL must end with status 0 after three readings.
# Exit status 77 (skipped) when wine or the host's qal-cli is missing.
set -uo pipefail

readonly skipped=77
wine_script=${1:?wine script} wine_state=${2:?wine state} sim=${3:?qal-sim.exe} cli=${4:-}

if [ -z "$cli" ] || [ ! -x "$cli" ]; then
    echo "SKIPPED: no native qal-cli to ask the simulator (a cross build takes a native build's" \
        "as -DQAL_HOST_CLI=<build>/cli/qal-cli)" >&2
    exit "$skipped"
fi
"$wine_script" prefix "$wine_state" > /dev/null || exit $?

work=$(mktemp -d "${TMPDIR:-/tmp}/qal-sim-wine.XXXXXX") || exit 1
sim_pid=
finish() {
    if [ -n "$sim_pid" ]; then
        kill "$sim_pid" 2> /dev/null
        wait "$sim_pid" 2> /dev/null
    fi
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "FAILED: $*" >&2
    for log in "$work"/*.log; do
        [ -f "$log" ] && { echo "--- ${log##*/}" >&2; tr -d '\r' < "$log" | tail -n 20 >&2; }
    done
    exit 1
}

"$wine_script" run "$wine_state" "$sim" --listen 127.0.0.1:0 < /dev/null > "$work/sim.out" \
    2> "$work/sim.log" &
sim_pid=$!
# A wine start takes a few seconds on a busy machine.
for _ in $(seq 600); do
    [ "$(wc -l < "$work/sim.out")" -ge 1 ] && break
    kill -0 "$sim_pid" 2> /dev/null || break
    sleep 0.1
done
url=$(head -n 1 "$work/sim.out" | tr -d '\r')
case $url in
tcp://127.0.0.1:[1-9]*) ;;
*) fail "qal-sim.exe --listen did not say where it listens (\"$url\")" ;;
esac

# A settings folder of its own, so that the host user's ports.json and config.cfg stay out.
mkdir -p "$work/settings"
"$cli" --settings "$work/settings" --device "$url" watch --count 3 > "$work/watch.log" 2>&1 ||
    fail "watch through $url ended with status $?"
readings=$(grep -c ' m/s ' "$work/watch.log")
[ "$readings" -eq 3 ] || fail "$readings readings through $url, not 3"
grep -q 'a client connected' "$work/sim.log" || fail "the simulator did not see the client"
echo "qal-sim.exe on $url: 3 readings for the host's qal-cli"
