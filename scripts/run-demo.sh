#!/usr/bin/env bash
# Builds the terminal and the device simulator and starts both: qal-sim plays a QAL-1P on a
# pseudo-terminal linked as build/app/COM1 (port 1, 19200 baud, address 31: the terminal's
# defaults) and paces it like a real line (--pace); the terminal runs in the foreground.
#
# Arguments go to qal-sim, for example (closing the terminal stops the simulator):
#     scripts/run-demo.sh --text "Uwaga: silny wiatr" --text-period 15000 --failure
# build/sim/qal-sim --help lists them all once built.
#
# --network puts the simulator behind a free TCP port of 127.0.0.1 instead (qal-sim --listen),
# and COM1 of build/app/ports.json leads there while it runs: the terminal talks to it as to a
# sensor behind a serial device server.
#
# Without a display ($DISPLAY and $WAYLAND_DISPLAY both empty, as over plain SSH) the terminal
# cannot open its window. Then run it on a virtual X display:
#     QAL_DEMO_XVFB=1 scripts/run-demo.sh
# which starts the terminal under xvfb-run; nothing is visible, but the program and the
# simulator run until the terminal is stopped (Ctrl+C).
set -euo pipefail
cd "$(dirname "$0")/.."

app_dir=build/app
sim=build/sim/qal-sim
terminal=$app_dir/qal-terminal

case " $* " in
*" -h "* | *" --help "*)
    sed -n '2,18p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
*" --link"* | *" --port"* | *" --listen"*)
    echo "run-demo.sh: the demo sets --link, --port and --listen itself (build/app, COM1)." >&2
    exit 2
    ;;
esac

network=0
sim_args=()
for arg in "$@"; do
    if [ "$arg" = --network ]; then
        network=1
    else
        sim_args+=("$arg")
    fi
done

run_under=()
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    if [ "${QAL_DEMO_XVFB:-0}" != 1 ]; then
        echo "run-demo.sh: no display (DISPLAY and WAYLAND_DISPLAY are empty)." >&2
        echo "Run it on a virtual display instead:  QAL_DEMO_XVFB=1 scripts/run-demo.sh" >&2
        exit 1
    fi
    run_under=(xvfb-run --auto-servernum)
fi

scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQAL_BUILD_UI=ON
cmake --build build -j "$(nproc)" --target qal-sim qal-terminal

# Standard input from /dev/null: a background job must not read the terminal; the trap below
# stops the simulator instead, and SIGTERM makes it remove its COM1 link (or its COM1 entry of
# ports.json).
line=()
if [ "$network" = 1 ]; then
    line=(--listen 127.0.0.1:0)
fi
"$sim" --link "$app_dir" --port 1 --pace "${line[@]}" "${sim_args[@]}" </dev/null &
sim_pid=$!
stop_sim() {
    kill "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
}
trap stop_sim EXIT

# The terminal looks for COM1 when it connects; make sure the link stands before it starts.
for _ in $(seq 50); do
    if [ "$network" = 1 ]; then
        grep -q '"COM1": "tcp://' "$app_dir/ports.json" 2>/dev/null && break
    else
        [ -L "$app_dir/COM1" ] && break
    fi
    if ! kill -0 "$sim_pid" 2>/dev/null; then
        echo "run-demo.sh: qal-sim did not start (see its message above)." >&2
        exit 1
    fi
    sleep 0.1
done

echo "Demo: press \"Połącz\" in the terminal (port COM1); close the terminal to stop." >&2
"${run_under[@]}" "$terminal"
