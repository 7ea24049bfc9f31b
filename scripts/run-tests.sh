#!/usr/bin/env bash
# Builds everything and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

jobs=$(nproc)
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"

# The device link and simulator tests again under ThreadSanitizer and under
# AddressSanitizer+UndefinedBehaviorSanitizer (Qt-free builds, so they stay small).
# Sanitizer runtimes can fail at start-up on kernels with wide address randomisation
# ("unexpected memory mapping"); running without randomisation avoids that, where allowed.
no_aslr=()
if setarch "$(uname -m)" -R true 2>/dev/null; then
    no_aslr=(setarch "$(uname -m)" -R)
fi
for build in tsan:thread asan:address; do
    dir="build-${build%%:*}"
    cmake -S . -B "$dir" -G Ninja -DQAL_BUILD_UI=OFF -DQAL_SANITIZE="${build#*:}"
    "${no_aslr[@]}" cmake --build "$dir" -j "$jobs"
    "${no_aslr[@]}" ctest --test-dir "$dir" --output-on-failure -j "$jobs" -L 'link|sim'
done

# A short bounded run of the frame parser fuzz target (clang and libFuzzer) on the committed
# seed corpus; new inputs it finds go to the build directory, not into the repository.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQAL_BUILD_UI=OFF -DQAL_FUZZ=ON
"${no_aslr[@]}" cmake --build build-fuzz -j "$jobs" --target qal_frame_parser_fuzz
mkdir -p build-fuzz/corpus
"${no_aslr[@]}" build-fuzz/tests/link/qal_frame_parser_fuzz -max_total_time=20 -max_len=512 \
    -seed=1 -dict=tests/link/fuzz/frame-parser.dict build-fuzz/corpus tests/link/fuzz/corpus

# The whole suite last, so that its summary closes the output.
unset QT_QPA_PLATFORMTHEME
QT_QPA_PLATFORM=offscreen ctest --test-dir build --output-on-failure -j "$jobs"
