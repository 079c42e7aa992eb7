#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# make_test.sh GEN WORK
# The generated Makefile as a user drives it, for the UART demo with its
# receive interrupt on a one-UART and a two-UART chip: `make` writes the
# Intel HEX file and reports the memory used by that chip, `make -n flash`
# calls avrdude with the chip's part and writes no fuse, `make -n fuses`
# writes exactly the bytes of the ELF's .fuse section, which are those
# `tamberlo-gen --fuses` prints, and `make clean` leaves exactly the files
# the generator wrote.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: make_test.sh GEN WORK" >&2; exit 2; }
gen=$1 work=$2
rm -rf "$work"
status=0
fail() { echo "FAILED ($chip): $*"; status=1; }
mk() { env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -C "$dir/project" "$@" 2>&1; }

for case_ in "atmega16 3 m16 FF-D9" "atmega128 6 m128 FF-D9-FF"; do
  read -r chip mcu part fuses <<<"$case_"
  dir=$work/$chip
  mkdir -p "$dir/exe"
  "$gen" --exe-dir "$dir/exe" -o "$dir/project" --set MCU.mcutype="$mcu" --set UART0.Uart0_use=1 \
    --set UART0.Rx_en=1 --set UART0.Tx_en=1 --set UART0.Rx_int=1 >"$dir/gen.log" 2>&1 ||
    { echo "FAILED: tamberlo-gen"; cat "$dir/gen.log"; exit 1; }
  (cd "$dir/project" && find . -type f | sort) >"$dir/generated.txt"

  mk >"$dir/make.log" || { fail "make"; cat "$dir/make.log"; continue; }
  head -c1 "$dir/project/test.hex" | grep -q ':' || fail "no Intel HEX file test.hex"
  grep -q "^Device: $chip$" "$dir/make.log" || { fail "the size report does not name $chip"; cat "$dir/make.log"; }
  grep -q "^Program: .*Full" "$dir/make.log" || fail "no flash figure against the chip"
  grep -q "ISR(__vector_[0-9]*) { Uart0\?_Rx_Isr(); }" "$dir/project/gcc/icc_glue.c" ||
    { fail "the glue does not bind the receive handler"; cat "$dir/project/gcc/icc_glue.c"; }

  flash=$(mk -n flash PROGRAMMER=usbasp) || { fail "make -n flash"; echo "$flash"; }
  grep -q "^avrdude -c usbasp .*-p $part -U flash:w:test.hex:i" <<<"$flash" ||
    { fail "the avrdude line does not name the part $part"; echo "$flash"; }
  grep -q "fuse" <<<"$flash" && fail "make flash writes fuses"
  grep -q "^:02000004008[2-4]" "$dir/project/test.hex" && fail "test.hex holds fuse, lock or signature bytes"

  # The .fuse section, the Makefile's avrdude line and --fuses agree.
  avr-objcopy -j .fuse -O binary "$dir/project/test.elf" "$dir/fuse.bin" || fail "avr-objcopy -j .fuse"
  elf=$(od -An -tx1 -v "$dir/fuse.bin" | tr a-f A-F | tr -s ' \n' '-')
  elf=${elf#-} elf=${elf%-}
  [ "$elf" = "$fuses" ] || fail "the ELF's .fuse section holds $elf, not $fuses"
  printed=$("$gen" --exe-dir "$dir/exe" --set MCU.mcutype="$mcu" --fuses 2>&1 | head -n1)
  grep -q "low 0x${fuses:0:2}, high 0x${fuses:3:2}" <<<"$printed" || fail "--fuses prints: $printed"
  writes=$(mk -n fuses PROGRAMMER=stk500v2 PORT=/dev/ttyUSB0) || { fail "make -n fuses"; echo "$writes"; }
  want="-U lfuse:w:0x${fuses:0:2}:m -U hfuse:w:0x${fuses:3:2}:m"
  [ ${#fuses} -gt 5 ] && want="$want -U efuse:w:0x${fuses:6:2}:m"
  grep -q -- "^avrdude -c stk500v2 -P /dev/ttyUSB0 -p $part $want$" <<<"$writes" ||
    { fail "make fuses does not write $fuses"; echo "$writes"; }

  mk clean >"$dir/clean.log" || { fail "make clean"; cat "$dir/clean.log"; }
  if ! diff -u "$dir/generated.txt" <(cd "$dir/project" && find . -type f | sort); then
    fail "make clean does not leave exactly the generated files"
  fi
  echo "$chip: make, make -n flash (-p $part), make -n fuses ($fuses) and make clean behave"
done
exit $status
