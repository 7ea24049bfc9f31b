#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need. Safe to run again.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    # A compiler cache outside the tree: repeated test runs rebuild only what changed.
    ccache
    qt6-base-dev libgl-dev
    # Qt's own texts in Polish (qtbase_pl.qm); the program's English through Qt Linguist's tools
    # (lupdate, lrelease) and their CMake functions.
    qt6-translations-l10n qt6-l10n-tools qt6-tools-dev
    # Serial devices as the system knows them (maker, product); the icon rendered from its SVG.
    qt6-serialport-dev qt6-svg-dev
    # The Debian package and its check: dependencies by dpkg-shlibdeps (which CPack finds the
    # binaries for with file), the desktop entry's and metainfo's validators, Debian's package
    # checker (which brings man for the manual pages).
    dpkg-dev file desktop-file-utils appstream lintian
    googletest libgtest-dev
    clang libclang-rt-dev clang-format
    xvfb xauth
    # The fonts Qt draws with under wine (its offscreen platform has none of its own there).
    fonts-dejavu-core
    locales
    # The settings sheet's test reads its PDF back as text.
    poppler-utils
    # The network lines' tests start their own ser2net in front of the simulator, and the MQTT
    # recipe's test its own broker, each on a free port of 127.0.0.1.
    ser2net mosquitto mosquitto-clients
    # The Windows build of the core and its tests under wine (64-bit only: no i386 needed).
    g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64
    # The Windows installer (CPack's NSIS generator) and the check of the zip beside it.
    nsis unzip
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
