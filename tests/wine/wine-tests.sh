#!/usr/bin/env bash
# Runs Windows test programs under wine: headless, quiet, in a temporary prefix of their own.
#   wine-tests.sh setup STATE            make the prefix, or note why none can be made
#   wine-tests.sh run STATE EXE [ARG]... run EXE there; 77 (skipped) when wine is unavailable
#   wine-tests.sh prefix STATE           print the prefix's path; 77 when wine is unavailable
#   wine-tests.sh cleanup STATE          stop the prefix's wineserver and remove the prefix
# STATE is a directory for the prefix's path and, when wine cannot start, the reason.
set -uo pipefail

readonly skipped=77
command=${1:?command}
state=${2:?state directory}
shift 2

export WINEDEBUG=${QAL_WINEDEBUG:--all}
# Headless: no window may open, and nothing waits for a display.
unset DISPLAY WAYLAND_DISPLAY

# Prints the prefix, or says why there is none and exits with "skipped" (or fails when the
# setup never ran, which is no reason to skip).
prefix_or_skip() {
    if [ -f "$state/unavailable" ]; then
        echo "SKIPPED: wine unavailable: $(cat "$state/unavailable")" >&2
        exit "$skipped"
    fi
    if [ ! -f "$state/prefix" ]; then
        echo "no wine prefix in $state: run the wine_prefix_setup test first" >&2
        exit 1
    fi
    cat "$state/prefix"
}

remove_prefix() {
    [ -f "$state/prefix" ] || return 0
    local prefix
    prefix=$(cat "$state/prefix")
    case $prefix in
    */qal-wine.*)
        WINEPREFIX=$prefix wineserver -k 2>/dev/null || true # none may be running
        WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
        rm -rf "$prefix"
        ;;
    esac
    rm -f "$state/prefix"
}

unavailable() {
    echo "$1" > "$state/unavailable"
    echo "wine unavailable: $1; the wine tests will be skipped"
    exit 0
}

case $command in
setup)
    remove_prefix
    rm -f "$state/unavailable"
    mkdir -p "$state"
    command -v wine > /dev/null && command -v wineserver > /dev/null ||
        unavailable "wine is not installed (scripts/install-deps.sh installs it)"
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/qal-wine.XXXXXX") || unavailable "no temporary directory"
    echo "$prefix" > "$state/prefix"
    export WINEPREFIX=$prefix
    # No Mono or Gecko: the tests need neither, and looking for them costs time.
    export WINEDLLOVERRIDES="mscoree=;mshtml="
    timeout 240 wineboot --init > "$state/wineboot.log" 2>&1 ||
        unavailable "wineboot could not make a prefix (see $state/wineboot.log)"
    # One wineserver for the whole run, so that each test program starts quickly; it ends by
    # itself a minute after the last program, should the cleanup never run. What it prints
    # goes to a log: it dumps its objects when a line it opened hangs up (a simulator ending).
    wineserver -k 2> /dev/null # the one of wineboot, with what it started; may be gone
    wineserver -p60 2>> "$state/wineserver.log" || unavailable "wineserver does not start"
    # A program must run and its exit code come back.
    timeout 120 wine cmd.exe /c exit 3 > /dev/null 2>&1
    [ $? -eq 3 ] || unavailable "wine cannot run a program in $prefix"
    echo "wine prefix ready: $prefix"
    ;;
run)
    prefix=$(prefix_or_skip) || exit $?
    # Wine hands a Windows program no QT_* variable of the host, but WINEQT_* ones as QT_*. Qt's
    # offscreen platform finds no fonts of its own under wine: it gets the host's.
    export WINEQT_QPA_PLATFORM=${WINEQT_QPA_PLATFORM:-offscreen}
    if [ -z "${WINEQT_QPA_FONTDIR:-}" ] && [ -d /usr/share/fonts/truetype/dejavu ]; then
        export WINEQT_QPA_FONTDIR='Z:\usr\share\fonts\truetype\dejavu'
    fi
    # A crash must fail the test: wine's debugger would end the program with status 0.
    export WINEDLLOVERRIDES=${QAL_WINE_DLL_OVERRIDES:-"mscoree=;mshtml=;winedbg.exe=d"}
    WINEPREFIX=$prefix exec wine "$@"
    ;;
prefix)
    prefix_or_skip
    ;;
cleanup)
    remove_prefix
    ;;
*)
    echo "unknown command: $command" >&2
    exit 2
    ;;
esac
