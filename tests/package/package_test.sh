#!/usr/bin/env bash
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
# (simavr's for tamberlo-sim), the font for the Chinese captions, the AVR
# tools as Recommends.
[ "$(dpkg-deb -f "$deb" Version)" = 2.1.1 ] || fail "version $(dpkg-deb -f "$deb" Version)"
depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
for p in libqt6widgets6 libqt6serialport6 libc6 libgit2 fonts-wqy-microhei libsimavr2; do
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
# The man page documents every option --help lists.
man="$share/man/man1/tamberlo-gen.1.gz"
gzip -t "$man" || fail "bad man page archive"
for opt in $("$root/usr/bin/tamberlo-gen" --help | grep -o -- '--[a-z-]*' | sort -u); do
  zcat "$man" | sed 's/\\-/-/g' | grep -q -- "$opt" || fail "the man page lacks $opt"
done
sim="$root/usr/libexec/tamberlo/tamberlo-sim"
[ -x "$sim" ] || fail "no tamberlo-sim where the window looks for it"
if ldd "$root/usr/bin/tamberlo" "$root/usr/bin/tamberlo-gen" "$sim" | grep -q 'not found'; then
  fail "unresolved libraries: $(ldd "$root/usr/bin/tamberlo" "$sim" | grep 'not found')"
fi
grep -q 'GNU General Public License, version 3' "$share/doc/tamberlo/copyright" || fail "the copyright file lacks tamberlo-sim's GPL"

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
echo "package test: $(basename "$deb") ok"
