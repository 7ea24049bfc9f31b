#!/usr/bin/env bash
# Starts qal-sim for Windows test programs under wine, which cannot start a host program with
# its output captured. A test program asks through files in SPOOL (see tests/support/SimProcess):
#   ID.args    the simulator's options, one a line        -> the simulator starts
#   ID.signal  a signal number to send it                 -> sent, the file removed
#   ID.kill    stop it                                    -> killed
# and reads back ID.out and ID.err (its output), ID.line (its line's path, once the prefix's
# port COM<n> leads to it) and ID.status (its exit status, once it has ended and its port link
# is gone).
#   sim-broker.sh SIM SPOOL DOSDEVICES
# Runs until terminated; then stops every simulator it started and removes their port links.
set -u

sim=${1:?simulator} spool=${2:?spool folder} dosdevices=${3:?the prefix dosdevices folder}

declare -A pids=() ports=() lines=()

# A path as the test program wrote it (Z:\tmp\x) as the host sees it (/tmp/x).
host_path() {
    local path=$1
    case $path in
    [Zz]:\\* | [Zz]:/*)
        path=${path:2}
        path=${path//\\//}
        ;;
    esac
    printf '%s' "$path"
}

start() {
    local id=$1 raw=() args=() port=1 i
    mapfile -t raw < "$spool/$id.args"
    rm -f "$spool/$id.args"
    for ((i = 0; i < ${#raw[@]}; i++)); do
        case ${raw[i]} in
        --link) # the folder of a POSIX terminal; here the port is the prefix's COM<n>
            i=$((i + 1))
            continue
            ;;
        --port) port=${raw[i + 1]:-1} ;;
        esac
        args+=("$(host_path "${raw[i]}")")
    done
    mkdir -p "$spool/$id.links"
    "$sim" --link "$spool/$id.links" --ignore-stdin "${args[@]}" < /dev/null \
        > "$spool/$id.out" 2> "$spool/$id.err" &
    pids[$id]=$!
    ports[$id]=$port
    lines[$id]=
}

link_when_ready() {
    local id=$1 line
    [ -z "${lines[$id]}" ] || return 0
    line=$(head -n 1 "$spool/$id.out" 2> /dev/null)
    case $line in
    /dev/*) ;;
    *) return 0 ;; # not yet
    esac
    lines[$id]=$line
    ln -sfn "$line" "$dosdevices/com${ports[$id]}"
    printf '%s\n' "$line" > "$spool/$id.line.part" && mv "$spool/$id.line.part" "$spool/$id.line"
}

finish() {
    local id=$1 status=0 link
    wait "${pids[$id]}" 2> /dev/null || status=$?
    link=$dosdevices/com${ports[$id]}
    # Only its own link: a later simulator may already stand behind the same port.
    if [ -n "${lines[$id]}" ] && [ "$(readlink "$link")" = "${lines[$id]}" ]; then
        rm -f "$link"
    fi
    rm -rf "$spool/$id.links"
    echo "$status" > "$spool/$id.status.part" && mv "$spool/$id.status.part" "$spool/$id.status"
    unset "pids[$id]" "ports[$id]" "lines[$id]"
}

stop_all() {
    local id
    for id in "${!pids[@]}"; do
        kill -KILL "${pids[$id]}" 2> /dev/null
        finish "$id"
    done
    exit 0
}
trap stop_all TERM INT HUP

shopt -s nullglob
while :; do
    for request in "$spool"/*.args; do
        id=${request##*/}
        start "${id%.args}"
    done
    for id in "${!pids[@]}"; do
        if [ -f "$spool/$id.signal" ]; then
            kill "-$(cat "$spool/$id.signal")" "${pids[$id]}" 2> /dev/null
            rm -f "$spool/$id.signal"
        fi
        if [ -f "$spool/$id.kill" ]; then
            kill -KILL "${pids[$id]}" 2> /dev/null
            rm -f "$spool/$id.kill"
        fi
        if kill -0 "${pids[$id]}" 2> /dev/null; then
            link_when_ready "$id"
        else
            link_when_ready "$id"
            finish "$id"
        fi
    done
    sleep 0.02
done
