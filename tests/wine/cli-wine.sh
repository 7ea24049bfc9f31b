#!/usr/bin/env bash
# qal-cli.exe under wine against the host's qal-sim behind the prefix's COM9, as a Windows user
# meets it:
#   cli-wine.sh CHECK SIM WINE_SCRIPT WINE_STATE QAL_CLI.exe INTERRUPT.exe
# CHECK is one of
#   flow-control     a line that starts with hardware and software flow control on (CRTSCTS,
#                    IXON, IXOFF, as "mode COM9: octs=on xon=on" leaves it) has none of them while
#                    qal-cli is connected, read from the pseudo-terminal's side
#   polish-settings  --settings with a folder whose name has Polish letters, and a settings file
#                    there: read, and named in UTF-8 on a pipe
#   ctrl-c           Ctrl+C ends "watch" between readings with status 0
#   network          the host's qal-sim --listen on 127.0.0.1, reached by its tcp:// URL with
#                    --device ("watch"), and as COM5 through ports.json in the settings folder
# Exit status 77 (skipped) when wine or the simulator is missing.
set -uo pipefail

readonly skipped=77 port=9
check=${1:?check} sim=${2:-} wine_script=${3:?wine script} wine_state=${4:?wine state}
cli=${5:?qal-cli.exe} interrupt=${6:?qal-console-interrupt.exe}

if [ -z "$sim" ] || [ ! -x "$sim" ]; then
    echo "SKIPPED: no qal-sim to test against (a cross build takes a native build's as" \
        "-DQAL_HOST_SIM=<build>/sim/qal-sim)" >&2
    exit "$skipped"
fi
prefix=$("$wine_script" prefix "$wine_state") || exit $?
# Wine reads the arguments it hands on in the host's character set.
export LC_ALL=C.UTF-8

work=$(mktemp -d "${TMPDIR:-/tmp}/qal-cli-wine.XXXXXX") || exit 1
sim_pid=
listen_pid=
finish() {
    for pid in $sim_pid $listen_pid; do
        kill "$pid" 2> /dev/null
        wait "$pid" 2> /dev/null
    done
    rm -f "$prefix/dosdevices/com$port"
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

# The simulator on a pseudo-terminal of the host, reached as COM9.
"$sim" --ignore-stdin < /dev/null > "$work/sim.out" 2> "$work/sim.log" &
sim_pid=$!
for _ in $(seq 100); do
    [ -s "$work/sim.out" ] && break
    sleep 0.05
done
line=$(head -n 1 "$work/sim.out")
case $line in
/dev/*) ;;
*) fail "qal-sim did not start" ;;
esac
ln -sfn "$line" "$prefix/dosdevices/com$port" || fail "cannot link COM$port"

# The settings (COM9, 19200 b/s, address 31) in a folder with a Polish name, as Windows sees it.
folder="$work/Józef Łódź"
mkdir -p "$folder"
printf '\011\000\000\000\000\113\000\000\037\000\000\000' > "$folder/config.cfg"
windows_folder="Z:${folder//\//\\}"

qal_cli() { "$wine_script" run "$wine_state" "$cli" --settings "$windows_folder" "$@"; }

case $check in
flow-control)
    stty -F "$line" crtscts ixon ixoff || fail "cannot set flow control on $line"
    qal_cli watch --count 4 > "$work/watch.log" 2>&1 &
    watch=$!
    for _ in $(seq 600); do
        grep -q . "$work/watch.log" 2> /dev/null && break
        sleep 0.1
    done
    flags=$(stty -F "$line" -a)
    wait "$watch" || fail "watch ended with status $?"
    grep -q ' m/s ' "$work/watch.log" || fail "no reading while connected"
    for flag in crtscts ixon ixoff; do
        grep -qw -- "-$flag" <<< "$flags" || fail "$flag still on while connected: $flags"
    done
    echo "no flow control while connected: -crtscts -ixon -ixoff"
    ;;
polish-settings)
    qal_cli info > "$work/info.log" 2>&1 || fail "info ended with status $?"
    grep -q 'QAL-1P symulator' "$work/info.log" || fail "info did not reach the simulator"
    # A settings file that is not there: its name comes back in UTF-8 on a pipe.
    status=0
    qal_cli diff "$windows_folder\\brak.json" > /dev/null 2> "$work/diff.log" || status=$?
    [ "$status" -eq 3 ] || fail "diff of a missing file ended with status $status, not 3"
    grep -qF 'Józef Łódź' "$work/diff.log" || fail "the path did not come back in UTF-8"
    echo "settings read from \"$windows_folder\"; its name comes back as written"
    ;;
ctrl-c)
    # Wine's own answer to Ctrl+C for a program without a handler ends it on the spot, in some
    # versions also with status 0; its trace says so.
    status=0
    QAL_WINEDEBUG=-all,fixme+console "$wine_script" run "$wine_state" "$interrupt" 2 "$cli" \
        --settings "$windows_folder" watch > "$work/watch.log" 2>&1 || status=$?
    if [ "$status" -eq 125 ] && grep -q "no console" "$work/watch.log"; then
        # Wine gives a console only where it has a terminal to draw it on (not under CI).
        echo "SKIPPED: wine could not give the program a console here: $(tr -d '\r' < "$work/watch.log")" >&2
        exit "$skipped"
    fi
    [ "$status" -eq 0 ] || fail "watch ended with status $status after Ctrl+C"
    ! grep -q 'Terminating process' "$work/watch.log" || fail "Ctrl+C ended qal-cli on the spot"
    readings=$(grep -c ' m/s ' "$work/watch.log")
    [ "$readings" -ge 2 ] || fail "only $readings readings before Ctrl+C"
    echo "Ctrl+C after $readings readings: status 0"
    ;;
network)
    "$sim" --listen 127.0.0.1:0 --ignore-stdin < /dev/null > "$work/listen.out" \
        2> "$work/listen.log" &
    listen_pid=$!
    for _ in $(seq 100); do
        [ -s "$work/listen.out" ] && break
        sleep 0.05
    done
    url=$(head -n 1 "$work/listen.out")
    case $url in
    tcp://127.0.0.1:*) ;;
    *) fail "qal-sim --listen did not start" ;;
    esac
    qal_cli --device "$url" watch --count 3 > "$work/watch.log" 2>&1 ||
        fail "watch through $url ended with status $?"
    readings=$(grep -c ' m/s ' "$work/watch.log")
    [ "$readings" -eq 3 ] || fail "$readings readings through $url, not 3"
    printf '{"COM5": "%s"}\n' "$url" > "$folder/ports.json"
    qal_cli --port 5 info > "$work/info.log" 2>&1 || fail "info on COM5 ended with status $?"
    grep -q "^port: *COM5" "$work/info.log" || fail "info did not use COM5"
    grep -q 'QAL-1P symulator' "$work/info.log" || fail "COM5 did not lead to $url"
    echo "3 readings through $url, and COM5 of ports.json leads there"
    ;;
*)
    echo "unknown check: $check" >&2
    exit 2
    ;;
esac
