#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of Tamberlo (build/tamberlo_VERSION_ARCH.deb) and
# checks it with lintian: any error or warning fails the build.
# Install it with: apt install ./build/tamberlo_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAMBERLO_HARDENING=ON
cmake --build build -j"$(nproc)"
rm -f build/tamberlo_*.deb
(cd build && cpack -G DEB)
deb=$(echo build/tamberlo_*.deb)
# The info tags are shown too, so a lost hardening flag is seen.
lintian --display-info --fail-on error,warning "$deb"
ls "$deb"
