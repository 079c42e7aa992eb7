#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package from a finished build, unpacks it into a scratch
# root and runs it from there as an installed program, with a scratch home.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

id=com.hollowmere.Tamberlo
cpack --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; fail "cpack failed"; }
deb=$(echo "$work"/pkg/tamberlo_*.deb)
[ -f "$deb" ] || fail "no .deb in $work/pkg"

# Control fields: the version of the caption, libraries from the binaries
# (simavr's for tamberlo-sim, libcurl for the update check), the font for
# the Chinese captions, the AVR tools as Recommends.
[ "$(dpkg-deb -f "$deb" Version)" = 2.1.1 ] || fail "version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
for p in libqt6widgets6 libqt6serialport6 libc6 libgit2 fonts-wqy-microhei libsimavr2 libcurl4; do
  [[ "$depends" == *"$p"* ]] || fail "Depends lacks $p: $depends"
done
for p in gcc-avr avr-libc make unifont; do
  [[ "$recommends" == *"$p"* ]] || fail "Recommends lacks $p: $recommends"
done

root="$work/root"
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"
desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry invalid"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >"$work/as.log" 2>&1 || { cat "$work/as.log"; fail "metainfo invalid"; }
[ -f "$share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"
for s in 16 22 24 32 48 64 128 256; do
  png="$share/icons/hicolor/${s}x${s}/apps/$id.png"
  file -b "$png" | grep -q "PNG image data, $s x $s," || fail "$png: $(file -b "$png")"
done
# The man pages: each one read in the POSIX locale without a troff warning
# (the Chinese captions fall back to their English gloss), and every option
# --help lists documented.
man1="$share/man/man1"
for page in tamberlo tamberlo-gen tamberlo-sim; do
  gzip -t "$man1/$page.1.gz" || fail "bad man page archive for $page"
  warnings=$(LANG=C MANWIDTH=80 man --warnings -l "$man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page in the POSIX locale: $warnings"
  LANG=C man -l "$man1/$page.1.gz" 2>/dev/null | LC_ALL=C grep -q '[^[:print:][:space:]]' && fail "man $page in the POSIX locale prints non-ASCII"
done
man="$man1/tamberlo-gen.1.gz"
for opt in $("$root/usr/bin/tamberlo-gen" --help | grep -o -- '--[a-z-]*' | sort -u); do
  zcat "$man" | sed 's/\\-/-/g' | grep -q -- "$opt" || fail "the man page lacks $opt"
done
zcat "$share/doc/tamberlo/changelog.gz" | head -1 | grep -q '^tamberlo (2\.1\.1) ' || fail "no changelog for 2.1.1"
sim="$root/usr/libexec/tamberlo/tamberlo-sim"
[ -x "$sim" ] || fail "no tamberlo-sim where the window looks for it"
# The Chinese messages beside the programs, read by tamberlo-gen under a Chinese locale.
msgunfmt "$share/locale/zh_CN/LC_MESSAGES/tamberlo.mo" >/dev/null || fail "no Chinese message catalog"
said=$(env -u LC_ALL -u LC_MESSAGES LANG=zh_CN.UTF-8 "$root/usr/bin/tamberlo-gen" --bogus 2>&1 || true)
[[ "$said" == *"未知选项"* ]] || fail "tamberlo-gen under zh_CN.UTF-8 says: $said"
if ldd "$root/usr/bin/tamberlo" "$root/usr/bin/tamberlo-gen" "$sim" | grep -q 'not found'; then
  fail "unresolved libraries: $(ldd "$root/usr/bin/tamberlo" "$sim" | grep 'not found')"
fi
# The copyright file in Debian's machine-readable form, with every licence
# the package's files carry and the exception for generated projects.
copyright="$share/doc/tamberlo/copyright"
head -1 "$copyright" | grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/' ||
  fail "the copyright file is not machine-readable"
for licence in 'GPL-3+ with generated-projects exception' 'GPL-3+' 'GPL-2+ with font embedding exception' \
  'GPL-2 with font embedding exception'; do
  grep -q "^License: $licence\$" "$copyright" || fail "the copyright file does not state $licence"
done
text=$(sed 's/^ //' "$copyright" | tr -s ' \n' '  ')
[[ "$text" == *"tamberlo-sim is distributed under the GNU General Public License, version 3"* ]] ||
  fail "the copyright file lacks tamberlo-sim's GPL"
[[ "$text" == *"Qt 6 libraries"*"GNU Lesser General Public License, version 3"* ]] ||
  fail "the copyright file does not note Qt's LGPL"
[[ "$text" == *"is yours to use, copy, modify, distribute and sell without any condition"* ]] ||
  fail "the copyright file lacks the generated projects' exception"

# Run as an installed program: nothing beside it, everything in the home.
gen=("$root/usr/bin/tamberlo-gen")
run() { env -i HOME="$work/home" PATH=/usr/bin:/bin LANG=C.UTF-8 "${gen[@]}" "$@"; }
mkdir "$work/home"
[ "$(run --version)" = "tamberlo-gen V2.1.1" ] || fail "--version: $(run --version)"
run --set UART0.Uart0_use=1 --set MCU.mcutype=4 2>"$work/gen.log" || { cat "$work/gen.log"; fail "generation failed"; }
project="$work/home/Documents/Tamberlo/test"
for f in main.c uart.c uart.h test.prj test.SRC test.pnproj; do
  [ -f "$project/$f" ] || fail "no $f in $project"
done
grep -q "工程位于 $project/" "$work/gen.log" || fail "the status does not say where the project went: $(tail -1 "$work/gen.log")"
grep -q '^mcutype=4' "$work/home/.config/tamberlo/act.ini" || fail "act.ini not in the configuration folder"
[ "$(ls "$root/usr/bin")" = "$(printf 'tamberlo\ntamberlo-gen')" ] || fail "written beside the program: $(ls "$root/usr/bin")"
# -o still wins.
run -o "$work/out" 2>/dev/null || fail "generation with -o failed"
[ -f "$work/out/main.c" ] || fail "-o ignored"

# The installed tamberlo-sim: its usage, then a program that sets port B,
# seen in the protocol. Its input is a FIFO held open here, so it runs until
# the line is read and the reader goes away.
set +e
usage=$(env -i PATH=/usr/bin:/bin "$sim" 2>&1)
status=$?
set -e
[ "$status" = 2 ] && [[ "$usage" == "error usage: tamberlo-sim "* ]] || fail "tamberlo-sim usage ($status): $usage"
[ "$(env -i PATH=/usr/bin:/bin "$sim" --version)" = "tamberlo-sim V2.1.1" ] || fail "tamberlo-sim --version"
help=$(env -i PATH=/usr/bin:/bin "$sim" --help) || fail "tamberlo-sim --help failed"
# --help and the man page say the same: the synopsis, the description, and
# each option's text (its lines joined) are found word for word in the
# rendered page.
page=$(LANG=C MANWIDTH=1000 man -l "$man1/tamberlo-sim.1.gz" 2>/dev/null | tr -s ' \n' '  ')
texts=$(printf '%s\n' "$help" | awk '
  NR <= 2 { sub(/^(Usage:)? */, ""); print; next }
  /^$/ { next }
  /^  -/ { if (t != "") print t; sub(/^  -[^ ]*( [A-Z]+|, --[a-z]+)? +/, ""); t = $0; next }
  /^     / { sub(/^ +/, ""); t = t " " $0; next }
  { d = d (d == "" ? "" : " ") $0 }
  END { if (t != "") print t; print d }')
[ "$(printf '%s\n' "$texts" | wc -l)" -ge 9 ] || fail "tamberlo-sim --help lists too little: $help"
while IFS= read -r text; do
  [[ "$page" == *"$text"* ]] || fail "the tamberlo-sim man page does not say: $text"
done <<<"$texts"
if command -v avr-gcc >/dev/null; then
  printf '#include <avr/io.h>\nint main(void) { DDRB = 0xFF; PORTB = 0xA5; for (;;) {} }\n' >"$work/portb.c"
  avr-gcc -mmcu=atmega16 -Os -o "$work/portb.elf" "$work/portb.c" || fail "avr-gcc failed"
  mkfifo "$work/sim.in"
  exec 3<>"$work/sim.in"
  line=$(timeout 60 env -i PATH=/usr/bin:/bin "$sim" -m atmega16 -f 1000000 "$work/portb.elf" <"$work/sim.in" 2>/dev/null |
    grep -m1 '^port B ddr=0xFF out=0xA5' || true)
  exec 3>&-
  [ -n "$line" ] || fail "the installed tamberlo-sim did not run the program"
fi

# The window starts from the scratch root (offscreen) and keeps running; it
# is stopped after three seconds, well before its update check would go out.
set +e
env -i HOME="$work/home" PATH=/usr/bin:/bin LANG=C.UTF-8 QT_QPA_PLATFORM=offscreen \
  timeout 3 "$root/usr/bin/tamberlo" >"$work/window.log" 2>&1
status=$?
set -e
[ "$status" = 124 ] || { cat "$work/window.log"; fail "the installed window ended at once ($status)"; }

# lintian: no error, no warning, and none of the hardening notes.
if command -v lintian >/dev/null; then
  lintian --display-info "$deb" >"$work/lintian.log" 2>&1 || true
  if grep -E '^(E|W): |hardening-no-|binary-has-unneeded-section|unstripped' "$work/lintian.log"; then
    fail "lintian: $(cat "$work/lintian.log")"
  fi
fi
echo "package test: $(basename "$deb") ok"
