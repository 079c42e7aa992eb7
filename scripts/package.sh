#!/usr/bin/env bash
# Builds the Debian package of Tamberlo (build/tamberlo_VERSION_ARCH.deb).
# Install it with: apt install ./build/tamberlo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
(cd build && cpack -G DEB)
ls build/tamberlo_*.deb
