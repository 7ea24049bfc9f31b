#!/usr/bin/env bash
# Builds what a Windows user gets, on Debian, in one command:
#   build-win/qal-terminal-7-win64-setup.exe   the installer (silent with /S)
#   build-win/qal-terminal-7-win64.zip         the same files, to run from any folder
# Steps: the packages the build needs (scripts/install-deps.sh); Qt for MinGW-w64, built once
# into a cache outside the tree (scripts/build-qt-mingw.sh, about 30 minutes the first time);
# the native icon tool in `build` (an existing native build is reused); the cross build in
# `build-win`; cpack. QAL_JOBS sets the parallel jobs (default: all processors).
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
jobs=${QAL_JOBS:-$(nproc)}

scripts/install-deps.sh

# What the build prints goes to the terminal; its last line is the prefix.
prefix=$(scripts/build-qt-mingw.sh | tee /dev/stderr | tail -n 1)
if [ ! -f "$prefix/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
    echo "build-windows: no Qt for MinGW-w64 at '$prefix'" >&2
    exit 1
fi

# The icon is drawn by a native tool: a Windows program cannot run here.
if [ ! -f build/CMakeCache.txt ]; then
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build build -j "$jobs" --target qal-icon-render

cmake -S . -B build-win -G Ninja -DCMAKE_BUILD_TYPE=Release -DQAL_BUILD_TESTS=OFF \
    -DCMAKE_TOOLCHAIN_FILE="$prefix/lib/cmake/Qt6/qt.toolchain.cmake" \
    -DQT_CHAINLOAD_TOOLCHAIN_FILE="$repo/cmake/mingw-w64-x86_64.cmake" \
    -DQAL_HOST_ICON_RENDER="$repo/build/packaging/qal-icon-render"
cmake --build build-win -j "$jobs"
rm -f build-win/qal-terminal-*-win64-setup.exe build-win/qal-terminal-*-win64.zip
(cd build-win && cpack -G "NSIS;ZIP")

setup=$(ls build-win/qal-terminal-*-win64-setup.exe)
zip=$(ls build-win/qal-terminal-*-win64.zip)
echo "Installer: $repo/$setup"
echo "Zip:       $repo/$zip"
