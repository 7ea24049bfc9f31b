#!/usr/bin/env bash
# Builds the Debian package of the terminal (qal-terminal, qal-cli and qal-sim with their manual
# pages, desktop entry, icons, metainfo, copyright and changelog) as
# build-package/qal-terminal_<version>_<architecture>.deb. Arguments go to cmake, e.g.
# -DQAL_PACKAGE_MAINTAINER="Name <address>".
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DQAL_BUILD_TESTS=OFF "$@"
cmake --build build-package -j "$(nproc)"
(cd build-package && cpack -G DEB)
echo "Package: $(ls build-package/qal-terminal_*.deb)"
