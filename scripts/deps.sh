#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Tamberlo needs to build, test and run.
# Idempotent: only what is missing is installed.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config libgit2-dev
  qt6-base-dev qt6-serialport-dev qt6-translations-l10n libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-wqy-microhei xvfb xauth
  gettext   # msgfmt compiles the message catalog; xgettext checks it covers every message
  gcc-avr avr-libc binutils-avr make simavr libsimavr-dev
  socat dosfstools mtools
  dpkg-dev file desktop-file-utils appstream lintian groff-base man-db   # the package, its checks and man pages
  libcurl4-openssl-dev   # the update check's HTTP client
  python3 unifont xfonts-wqy xfonts-base   # scripts/lcd_fonts.py and its fonts, check_picture.py
  libxml2-utils   # xmllint reads the wiring sheets in the tests
  clang libclang-rt-14-dev
  chromium   # renders the wiring sheet in its test (headless)
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
