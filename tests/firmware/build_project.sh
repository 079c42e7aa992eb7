#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# build_project.sh CHIP PROJECT_DIR OUT_DIR [EXTRA_CFLAG]...
# Builds a project with its own Makefile (`make` in the project folder, as a
# user would), so nothing from tests/ takes part. Compiler warnings are
# shown, not fatal; any compile or link error fails. The ELF is copied to
# OUT_DIR/firmware.elf, then flash and static RAM are checked against the
# chip. Prints "size CHIP flash=N/LIMIT ram=N/LIMIT".
set -euo pipefail

[ $# -ge 3 ] || { echo "usage: build_project.sh CHIP PROJECT_DIR OUT_DIR [CFLAG]..." >&2; exit 2; }
chip=$1 src=$2 out=$3
shift 3

case $chip in
  atmega8) flash=8192 ram=1024 ;;
  atmega8515) flash=8192 ram=512 ;;
  atmega8535) flash=8192 ram=512 ;;
  atmega16) flash=16384 ram=1024 ;;
  atmega32) flash=32768 ram=2048 ;;
  atmega64) flash=65536 ram=4096 ;;
  atmega128) flash=131072 ram=4096 ;;
  *) echo "build_project.sh: unknown chip $chip" >&2; exit 2 ;;
esac

[ -f "$src/Makefile" ] || { echo "build_project.sh: no Makefile in $src" >&2; exit 1; }
grep -q "^MCU = $chip"$'\r'"\?$" "$src/Makefile" ||
  { echo "build_project.sh: the Makefile in $src is not for $chip" >&2; exit 1; }
mkdir -p "$out"

# Extra flags (e.g. a sample's -DDEVICE_HEADER) go through CPPFLAGS, which
# the Makefile leaves to the caller. make runs alone, not as a sub-make.
# Each flag is quoted for the shell that runs the recipe ("<" and ">" in
# -DDEVICE_HEADER=<iom16v.h>).
extra=""
[ $# -eq 0 ] || extra=$(printf '%q ' "$@")
if ! env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -C "$src" CPPFLAGS="$extra" >"$out/make.log" 2>&1; then
  echo "MAKE FAILED in $src:"
  cat "$out/make.log"
  if grep -q "overflowed by\|not within region\|will not fit in region" "$out/make.log"; then
    echo "TOO BIG for $chip"
  fi
  exit 1
fi
if grep -q "warning:" "$out/make.log"; then
  echo "warnings:"
  grep -B2 "warning:" "$out/make.log" | grep -v "^avr-gcc \|^--$" || true
fi
cp "$src/test.elf" "$out/firmware.elf"

# The ELF carries the fuses that "make fuses" writes, byte for byte: low,
# high and, on the ATmega64/128, extended (the Makefile's LFUSE HFUSE EFUSE).
want=$(sed -n 's/^\([LHE]FUSE\) = 0x\([0-9A-F][0-9A-F]\)\r\?$/\2/p' "$src/Makefile" | tr 'A-F' 'a-f' | tr -d '\n')
avr-objcopy -j .fuse -O binary "$out/firmware.elf" "$out/fuse.bin" 2>/dev/null || true
have=$(od -An -tx1 -v "$out/fuse.bin" 2>/dev/null | tr -d ' \n')
if [ -z "$want" ] || [ "$have" != "$want" ]; then
  echo "FUSES: the ELF's .fuse section holds '${have}', the Makefile's fuses are '${want}'"
  exit 1
fi

# Flash holds code, vectors and the initial values of .data.
read -r text data bss <<<"$(avr-size -A "$out/firmware.elf" |
  awk '$1==".text"{t=$2} $1==".data"{d=$2} $1==".bss"{b=$2} $1==".noinit"{b+=$2}
       END{print t+0, d+0, b+0}')"
used_flash=$((text + data))
used_ram=$((data + bss))
echo "size $chip flash=$used_flash/$flash ram=$used_ram/$ram"
if [ $used_flash -gt $flash ] || [ $used_ram -gt $ram ]; then
  echo "TOO BIG for $chip: flash $used_flash of $flash bytes, static RAM $used_ram of $ram bytes"
  exit 1
fi
