#!/usr/bin/env bash
# Runs the README's MQTT recipe as written: qal-cli watch --json piped into mosquitto_pub, with a
# real mosquitto of its own on a free port of 127.0.0.1 and qal-sim --listen as the sensor;
# mosquitto_sub must receive the readings as watch printed them.
# Arguments: README.md, qal-cli, qal-sim. Exit status 77: mosquitto is not installed (skipped).
set -euo pipefail
readme=$1
cli=$2
sim=$3

for tool in mosquitto mosquitto_pub mosquitto_sub; do
    if ! command -v "$tool" >/dev/null && [ ! -x "/usr/sbin/$tool" ]; then
        echo "SKIPPED: $tool is not installed (Debian packages mosquitto, mosquitto-clients)"
        exit 77
    fi
done
PATH=$PATH:/usr/sbin

scratch=$(mktemp -d "${TMPDIR:-/tmp}/qal-mqtt.XXXXXX")
sim_pid=
broker_pid=
pipeline_pid=
stop() {
    if [ -n "$1" ]; then
        kill "$1" 2>/dev/null || true
        wait "$1" 2>/dev/null || true
    fi
}
cleanup() {
    # The sensor first: watch then ends with the line, and mosquitto_pub with its input.
    stop "$sim_pid"
    if [ -n "$pipeline_pid" ]; then
        for _ in $(seq 100); do
            kill -0 "$pipeline_pid" 2>/dev/null || break
            sleep 0.1
        done
        pkill -P "$pipeline_pid" 2>/dev/null || true
        stop "$pipeline_pid"
    fi
    stop "$broker_pid"
    rm -rf "$scratch"
}
trap cleanup EXIT

# The two lines of the recipe: the variables, then the pipeline.
recipe=$(grep -A1 '^    SENSOR=' "$readme" | sed 's/^    //')
[ "$(printf '%s\n' "$recipe" | wc -l)" = 2 ] || { echo "the README's recipe is not found"; exit 1; }
pipeline=$(printf '%s\n' "$recipe" | sed -n 2p)
echo "recipe: $pipeline"

"$sim" --listen 127.0.0.1:0 --model-marker never --ignore-stdin >"$scratch/sim.out" \
    2>"$scratch/sim.err" &
sim_pid=$!
for _ in $(seq 50); do
    [ -s "$scratch/sim.out" ] && break
    sleep 0.1
done
sensor=$(head -n 1 "$scratch/sim.out")
[ -n "$sensor" ] || { cat "$scratch/sim.err"; exit 1; }

# A port that is free now; the broker listens on 127.0.0.1 only, without a password.
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])' 2>/dev/null ||
       shuf -i 20000-60000 -n 1)
printf 'listener %s 127.0.0.1\nallow_anonymous true\npersistence false\n' "$port" >"$scratch/mosquitto.conf"
mosquitto -c "$scratch/mosquitto.conf" >"$scratch/broker.log" 2>&1 &
broker_pid=$!
for _ in $(seq 50); do
    (echo >"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
done

mosquitto_sub -L "mqtt://127.0.0.1:$port/wind/mast-12" -C 3 -W 20 >"$scratch/received" &
sub=$!
sleep 0.5 # subscribed before anything is published

# The recipe's own line, with this machine's sensor and broker, qal-cli from the build.
mkdir -p "$scratch/bin"
ln -s "$(realpath "$cli")" "$scratch/bin/qal-cli"
(
    export PATH="$scratch/bin:$PATH" SENSOR="$sensor" BROKER="mqtt://127.0.0.1:$port" SITE=mast-12
    eval "$pipeline"
) 2>"$scratch/pipeline.err" &
pipeline_pid=$!

status=0
wait "$sub" || status=$?
if [ "$status" != 0 ]; then
    echo "mosquitto_sub ended with $status"
    cat "$scratch/pipeline.err" "$scratch/broker.log"
    exit 1
fi
cat "$scratch/received"
reading='^\{"time":"[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}(\.[0-9]{3})?([+-][0-9]{2}:[0-9]{2}|Z)?","reading":[0-9]+,"speed":-?[0-9]+\.[0-9],"status":[0-9]+,"deviceInOrder":true,"outputs":\[[01],[01],[01]\]\}$'
count=$(grep -Ec "$reading" "$scratch/received" || true)
if [ "$count" != 3 ]; then
    echo "expected 3 readings as JSON, got $count"
    exit 1
fi
echo "3 readings through the broker"
