#!/usr/bin/env bash
# Runs a Windows test program under wine with a simulator broker beside it, so that the
# program's simulators (tests/support/SimProcess) run on the host behind the prefix's COM ports.
#   with-sim-broker.sh SIM WINE_SCRIPT WINE_STATE TESTS.exe [ARG]...
set -uo pipefail

readonly skipped=77
here=$(cd "$(dirname "$0")" && pwd)
sim=${1:-}
wine_script=${2:?wine script}
wine_state=${3:?wine state}
shift 3

if [ -z "$sim" ] || [ ! -x "$sim" ]; then
    echo "SKIPPED: no qal-sim to test against (a cross build takes a native build's as" \
        "-DQAL_HOST_SIM=<build>/sim/qal-sim)" >&2
    exit "$skipped"
fi
prefix=$("$wine_script" prefix "$wine_state") || exit $?

spool=$(mktemp -d "${TMPDIR:-/tmp}/qal-spool.XXXXXX") || exit 1
"$here/sim-broker.sh" "$sim" "$spool" "$prefix/dosdevices" &
broker=$!
finish() {
    kill -TERM "$broker" 2> /dev/null
    wait "$broker" 2> /dev/null
    rm -rf "$spool"
}
trap finish EXIT

QAL_SIM_SPOOL="Z:${spool//\//\\}" "$wine_script" run "$wine_state" "$@"
