#!/usr/bin/env bash
# Checks the Windows installer (and the zip) under wine, in a fresh temporary prefix:
#   packaging/windows/check-installer.sh build-win/qal-terminal-7-win64-setup.exe [ZIP]
# The silent install puts the program into Program Files with its Qt plugins and licence texts
# (and no test-only plugin), the simulator and the demo launcher beside it, makes the Start-menu
# entries (the program, and its demo with the simulator), and the installed program loads its
# DLLs and prints its version and, in its help, its settings in %APPDATA%. With ZIP, the zip
# holds the same files. The silent uninstall removes what was installed and the entry, and
# leaves the user's settings in %APPDATA%.
# Exits 77 (skipped) when wine cannot make a prefix.
set -euo pipefail

setup=$(realpath "${1:?usage: check-installer.sh SETUP.exe [ZIP]}")
zip=${2:+$(realpath "$2")}
readonly skipped=77
readonly product="Program kontrolny QAL"

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree=;mshtml=" # no Mono or Gecko: nothing here needs them
unset DISPLAY WAYLAND_DISPLAY             # headless: nothing may wait for a display

if ! command -v wine > /dev/null || ! command -v wineserver > /dev/null; then
    echo "SKIPPED: wine is not installed (scripts/install-deps.sh installs it)"
    exit "$skipped"
fi
WINEPREFIX=$(mktemp -d "${TMPDIR:-/tmp}/qal-wine.XXXXXX")
export WINEPREFIX
work=$(mktemp -d "${TMPDIR:-/tmp}/qal-installer.XXXXXX")
cleanup() {
    wineserver -k 2> /dev/null || true # may have ended already
    wineserver -w 2> /dev/null || true
    rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT

if ! timeout 240 wineboot --init > "$work/wineboot.log" 2>&1; then
    echo "SKIPPED: wineboot could not make a prefix"
    exit "$skipped"
fi

failures=0
check() { # check DESCRIPTION COMMAND...: runs COMMAND, reports, counts failures
    local what=$1
    shift
    if "$@"; then
        echo "ok: $what"
    else
        echo "FAILED: $what"
        failures=$((failures + 1))
    fi
}
absent() { [ ! -e "$1" ]; }

# Files below a folder, one relative path a line, sorted.
list_files() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }

folder="$WINEPREFIX/drive_c/Program Files/$product"
check "silent install (/S)" timeout 300 wine "$setup" /S
wineserver -w # the installer's own children, if any
check "program installed in Program Files" test -f "$folder/qal-terminal.exe"
check "command-line tool installed" test -f "$folder/qal-cli.exe"
check "simulator installed" test -f "$folder/qal-sim.exe"
check "demo launcher installed" test -f "$folder/qal-demo.exe"
check "platform plugin beside it" test -f "$folder/platforms/qwindows.dll"
check "style plugin beside it" test -f "$folder/styles/qwindowsvistastyle.dll"
check "no test-only platform plugin" absent "$folder/platforms/qoffscreen.dll"
check "Qt's Polish texts beside it" test -f "$folder/translations/qtbase_pl.qm"
check "Qt's licence texts" test -f "$folder/licenses/Qt-copyright.txt" -a -f "$folder/licenses/LGPL-3.txt"
check "the program's copyright file" test -f "$folder/licenses/copyright.txt"
check "uninstaller" test -f "$folder/Uninstall.exe"
shortcut=$(find "$WINEPREFIX/drive_c" -name "$product.lnk" -path "*Start Menu*" | head -n 1)
check "Start-menu entry '$product'" test -n "$shortcut"
# The link holds its target as plain text too.
shortcut_target() { [ -n "$shortcut" ] && strings -a "$shortcut" | grep -qxF "$1"; }
check "the entry starts the installed program" \
    shortcut_target "C:\\Program Files\\$product\\qal-terminal.exe"
demo_shortcut=$(find "$WINEPREFIX/drive_c" -name "$product – demo.lnk" -path "*Start Menu*" |
    head -n 1)
check "Start-menu entry '$product – demo'" test -n "$demo_shortcut"
demo_target() { [ -n "$demo_shortcut" ] && strings -a "$demo_shortcut" | grep -qxF "$1"; }
check "the demo entry starts the demo launcher" \
    demo_target "C:\\Program Files\\$product\\qal-demo.exe"

# Started from its folder, it finds every DLL it loads (wine ends it with an error otherwise).
version=$(cd "$folder" && timeout 120 wine ./qal-terminal.exe --version 2> "$work/version.err" |
    tr -d '\r') || true
check "installed program prints its version ('$version')" test "$version" = "qal-terminal 7"
usage=$(cd "$folder" && timeout 120 wine ./qal-cli.exe --language en --help 2> /dev/null |
    tr -d '\r') || true
check "installed qal-cli prints its usage" grep -q '^Usage: qal-cli' <<< "$usage"
sim_usage=$(cd "$folder" && timeout 120 wine ./qal-sim.exe --help 2> /dev/null | tr -d '\r') ||
    true
check "installed qal-sim prints its usage" grep -q '^Usage: qal-sim' <<< "$sim_usage"
# Installed, it keeps its settings in %APPDATA%, although wine lets it write to Program Files.
help=$(cd "$folder" && timeout 120 wine ./qal-terminal.exe --help 2> /dev/null | tr -d '\r') || true
check "installed program keeps its settings in %APPDATA%" \
    grep -qF 'AppData\Roaming\qal-terminal\config.cfg' <<< "$help"

if [ -n "$zip" ]; then
    mkdir "$work/zip"
    (cd "$work/zip" && unzip -q "$zip")
    list_files "$folder" | grep -v '^Uninstall\.exe$' > "$work/installed.txt"
    top=$(ls "$work/zip")
    list_files "$work/zip/$top" > "$work/zipped.txt"
    check "the zip holds the installed files" diff -u "$work/installed.txt" "$work/zipped.txt"
fi

# The user's settings must outlive the program.
settings=$(find "$WINEPREFIX/drive_c/users" -maxdepth 3 -type d -path "*/AppData/Roaming" | head -n 1)
mkdir -p "$settings/qal-terminal"
echo "kept" > "$settings/qal-terminal/config.cfg"
check "silent uninstall (/S)" timeout 300 wine "$folder/Uninstall.exe" /S
wineserver -w # the uninstaller runs on from a copy of itself and returns at once
check "installed files removed" absent "$folder/qal-terminal.exe"
left=$( [ -d "$folder" ] && list_files "$folder" || true)
check "nothing left in the program folder${left:+: $left}" test -z "$left"
check "Start-menu entry removed" absent "$shortcut"
check "demo entry removed" absent "$demo_shortcut"
check "settings in %APPDATA% kept" test -f "$settings/qal-terminal/config.cfg"

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "installer checks passed"
