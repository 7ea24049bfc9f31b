#!/usr/bin/env bash
# The Windows installer as a user meets it, under wine on a virtual display: installed silently
# into a fresh prefix, the installed program started (its real platform, not the offscreen
# one), connected through COM1 to qal-sim by pressing "Połącz", at least three measurement
# requests seen by the simulator, the window closed and the program ended cleanly; then the
# uninstaller removes what was installed.
#   installer-smoke.sh SETUP.exe SIM DRIVER.exe
# Exit status 77 (skipped) when wine or a virtual display is missing.
set -uo pipefail

readonly skipped=77 title="Program kontrolny QAL"
installer=${1:?installer} sim=${2:?qal-sim} driver=${3:?window driver}
for tool in wine wineserver xvfb-run; do
    command -v "$tool" > /dev/null || { echo "SKIPPED: no $tool" >&2; exit "$skipped"; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/qal-smoke.XXXXXX") || exit 1
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
sim_pid=
finish() {
    [ -z "$sim_pid" ] || kill "$sim_pid" 2> /dev/null
    wineserver -k 2> /dev/null
    wineserver -w 2> /dev/null
    rm -rf "$work"
}
trap finish EXIT
fail() {
    echo "installer smoke test: $*" >&2
    for log in "$work"/*.log; do
        echo "--- ${log##*/}" >&2
        tail -n 20 "$log" >&2
    done
    exit 1
}
step() { echo "installer smoke test: $*"; }

step "making a fresh wine prefix"
timeout 240 wineboot --init > "$work/wineboot.log" 2>&1 || fail "wineboot failed"

step "installing silently"
timeout 300 wine "$installer" /S > "$work/install.log" 2>&1 || fail "the installer failed"
wineserver -w
program_files=$WINEPREFIX/drive_c/Program\ Files
exe=$(find "$program_files" -name qal-terminal.exe | head -n 1)
[ -n "$exe" ] || fail "no qal-terminal.exe under Program Files"
install_dir=$(dirname "$exe")
(cd "$install_dir" && find . -type f | sort) > "$work/installed.txt"
grep -q 'Uninstall.exe' "$work/installed.txt" || fail "no uninstaller installed"
find "$WINEPREFIX/drive_c" -path '*Start Menu*' -name "$title.lnk" | grep -q . ||
    fail "no Start-menu entry \"$title\""
step "installed $(wc -l < "$work/installed.txt") files into ${install_dir#"$WINEPREFIX/"}"

# The device behind COM1 (linked once the program runs: wine puts its own COM links back when
# the prefix starts); the settings (COM1, 19200 b/s, address 31) in %APPDATA%, where an installed
# copy keeps them even though wine lets it write to Program Files, so that no first-start box
# waits.
"$sim" --verbose --ignore-stdin < /dev/null > "$work/sim.out" 2> "$work/sim.log" &
sim_pid=$!
for _ in $(seq 100); do
    [ -s "$work/sim.out" ] && break
    sleep 0.05
done
line=$(head -n 1 "$work/sim.out")
[ -n "$line" ] || fail "qal-sim did not start"
settings=$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -type d -path "*/AppData/Roaming" |
    head -n 1)
[ -n "$settings" ] || fail "no AppData\\Roaming in the prefix"
mkdir -p "$settings/qal-terminal"
printf '\001\000\000\000\000\113\000\000\037\000\000\000' > "$settings/qal-terminal/config.cfg"

step "starting the installed program on a virtual display"
cat > "$work/session.sh" << 'SESSION'
#!/usr/bin/env bash
# Inside the virtual display: the program, the button, the requests, the close.
exe=$1 driver=$2 title=$3 simlog=$4 line=$5 finder=$6
wine "$exe" > "$WORK/program.log" 2>&1 &
program=$!
# The keyboard from the window's first focus: past the log and the readout to "Połącz" (the
# buttons before it wait for a connection).
timeout 90 wine "$driver" keys "$title" > "$WORK/driver.log" 2>&1 || exit 11
# The window menu's tools are in the system menu. The finder is the fourth item from its end
# (after it: network ports, reconnecting, language).
timeout 30 wine "$driver" keys "$title" alt+space up up up up enter >> "$WORK/driver.log" 2>&1 ||
    exit 16
timeout 90 wine "$driver" close "$finder" >> "$WORK/driver.log" 2>&1 || exit 16
ln -sfn "$line" "$WINEPREFIX/dosdevices/com1" || exit 11
# The installed command-line tool reaches the device through the same port while the window
# is not connected.
timeout 60 wine "${exe%/*}/qal-cli.exe" --port 1 --baud 19200 --address 31 info \
    > "$WORK/cli.log" 2>&1 || exit 17
grep -q 'QAL-1P symulator' "$WORK/cli.log" || exit 17
# The window's own requests are those after the tool's.
window_requests() { echo $(($(grep -c '<- :..1F22' "$simlog") - tool_requests)); }
tool_requests=$(grep -c '<- :..1F22' "$simlog")
timeout 30 wine "$driver" keys "$title" tab tab space >> "$WORK/driver.log" 2>&1 || exit 11
for _ in $(seq 150); do
    [ "$(window_requests)" -ge 3 ] && break
    sleep 0.1
done
window_requests > "$WORK/requests"
[ "$(cat "$WORK/requests")" -ge 3 ] || exit 12
timeout 30 wine "$driver" close "$title" >> "$WORK/driver.log" 2>&1 || exit 13
for _ in $(seq 200); do
    kill -0 "$program" 2> /dev/null || break
    sleep 0.1
done
kill -0 "$program" 2> /dev/null && exit 14
wait "$program" || exit 15
SESSION
WORK=$work timeout 300 xvfb-run -a -s "-screen 0 1280x1024x24" \
    bash "$work/session.sh" "$exe" "$driver" "$title" "$work/sim.log" "$line" "Znajdź urządzenie"
case $? in
0) ;;
11) fail "the window \"$title\" did not appear or took no keys" ;;
12) fail "the simulator saw fewer than three measurement requests" ;;
13) fail "the window could not be closed" ;;
14) fail "the program did not end after its window was closed" ;;
15) fail "the program ended with a failure status" ;;
16) fail "the finder did not open from the system menu, or did not close" ;;
17) fail "qal-cli info did not reach the simulator: $(tr -d '\r' < "$work/cli.log")" ;;
*) fail "the session on the virtual display failed" ;;
esac
requests=$(cat "$work/requests")
step "the finder opened from the system menu; qal-cli info answered; connected through COM1: the simulator saw $requests measurement requests from the window; closed cleanly"

[ ! -e "$install_dir/config.cfg" ] || fail "the installed program wrote config.cfg beside itself"

step "uninstalling silently"
timeout 120 wine "$install_dir/Uninstall.exe" /S > "$work/uninstall.log" 2>&1 ||
    fail "the uninstaller failed"
wineserver -w # the uninstaller runs on from a copy of itself
left=0
while IFS= read -r file; do
    [ -e "$install_dir/$file" ] && { echo "left behind: $file" >&2; left=1; }
done < "$work/installed.txt"
[ "$left" -eq 0 ] || fail "the uninstaller left installed files behind"
step "passed"
