#!/usr/bin/env bash
# Builds Qt 6 (Core, Gui, Widgets, Test; the qwindows and offscreen platforms; the windowsvista
# style) for 64-bit Windows with MinGW-w64, from Debian's own source package of the Qt that is
# installed here, whose tools (moc, rcc, uic) serve as the host tools. The result goes into a cache
# folder outside the tree, keyed by the Qt version and a hash of this script; a second run with the
# same key does nothing. The last line printed is the prefix.
#
#   scripts/build-qt-mingw.sh            # prints the prefix, building it first when missing
#
# QAL_QT_CACHE overrides the cache folder (default: $XDG_CACHE_HOME/qal-terminal, or
# ~/.cache/qal-terminal). Deleting the cache only costs the time of the next build.
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)

qt_package=qt6-base
qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)
if [ -z "$qt_version" ]; then
    echo "build-qt-mingw: qt6-base-dev is not installed (scripts/install-deps.sh installs it)" >&2
    exit 1
fi
upstream=${qt_version%%+*}
key=$(sha256sum "$0" | cut -c1-12)
cache_root=${QAL_QT_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/qal-terminal}
prefix=$cache_root/qt-$upstream-mingw64-$key
if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    exit 0
fi

mkdir -p "$cache_root"
work=$(mktemp -d "$cache_root/qt-build.XXXXXX")
trap 'rm -rf "$work"' EXIT
started=$(date +%s)
echo "build-qt-mingw: building Qt $upstream for MinGW-w64 into $prefix (about 30 minutes on 2 cores)"

# Debian's source package through a private apt configuration: the system's sources and package
# lists stay as they are. apt checks the files against the signed archive index.
mkdir -p "$work/apt/lists/partial" "$work/apt/cache/archives/partial" "$work/src"
sources_uri=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
sources_uri=${sources_uri:-http://deb.debian.org/debian}
suite=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] $sources_uri $suite main" \
    >"$work/apt/sources.list"
apt_options=(-o "Dir::Etc::sourcelist=$work/apt/sources.list" -o "Dir::Etc::sourceparts=-"
             -o "Dir::State::Lists=$work/apt/lists" -o "Dir::Cache=$work/apt/cache"
             -o "APT::Get::List-Cleanup=0")
apt-get "${apt_options[@]}" -q update
(cd "$work/src" && apt-get "${apt_options[@]}" -q --download-only source "$qt_package=$qt_version")
dsc=$(ls "$work/src"/*.dsc)
# The .dsc's checksums cover the tarballs; extraction checks them.
(cd "$work/src" && dpkg-source --no-check -x "$dsc" qtbase >/dev/null)

# A toolchain for the Qt libraries themselves: shared runtime, unlike the project's own
# executables, so that Qt's DLLs and the program share one C++ runtime.
cat >"$work/toolchain.cmake" <<TOOLCHAIN
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN

# Only what the program uses. The +dfsg sources lack the wintab headers (tablet events off);
# direct2d stays on, since the qwindows plugin's font database needs it, and so does OpenGL,
# without which the qwindows plugin of this Qt does not compile.
features=(
    -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
    -DFEATURE_vulkan=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
    -DFEATURE_tabletevent=OFF -DFEATURE_direct2d1_1=OFF -DFEATURE_androiddeployqt=OFF
    -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
    -DFEATURE_system_jpeg=OFF -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_sql_sqlite=OFF -DINPUT_openssl=no
)
# A compiler cache, where there is one, makes a rebuild after a change of this script cheap.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    # Paths relative to the work folder, whose name changes from run to run, so that the cache hits.
    export CCACHE_BASEDIR=$work
fi
cmake -S "$work/src/qtbase" -B "$work/build" -G Ninja -Wno-dev "${launcher[@]}" \
    -DCMAKE_TOOLCHAIN_FILE="$work/toolchain.cmake" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF \
    -DCMAKE_INSTALL_PREFIX="$prefix" "${features[@]}" >"$work/configure.log" 2>&1 || {
    tail -n 40 "$work/configure.log" >&2
    exit 1
}
cmake --build "$work/build" -j "${QAL_QT_JOBS:-$(nproc)}"
rm -rf "$prefix"
cmake --install "$work/build" >/dev/null
# The C++ runtime the DLLs need, kept with them so that every copy of the program finds it.
for dll in libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll; do
    found=$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")
    [ -f "$found" ] || found=$(find /usr/lib/gcc/x86_64-w64-mingw32 /usr/x86_64-w64-mingw32 \
        -name "$dll" -path '*posix*' 2>/dev/null | head -n 1)
    [ -f "$found" ] || found=$(find /usr/x86_64-w64-mingw32 -name "$dll" | head -n 1)
    cp "$found" "$prefix/bin/"
done
touch "$prefix/.complete"
echo "build-qt-mingw: done in $(( ($(date +%s) - started) / 60 )) minutes"
echo "$prefix"
