#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# mp3_case.sh GEN RUNNER CHIP WORK MKFS_FAT MCOPY
# The MP3 demo end to end: an ATmega64 or ATmega128 project with the CH375 (data port A,
# CS PC0, A0 PC1, RD PC2, WR PC3, RST PC4, INT PD2) and the VS1003 on the
# SPI (XRST PF0, DREQ PF1, XDCS PF2, XCS PF3) is generated and built with
# samples/mp3_harness, which plays "/SONG01.MP3" through main.c's mp3_play.
# The CH375 model serves a FAT16 disk image made here holding that song;
# the VS1003 model records what arrives on SDI, which must be the song.
set -euo pipefail

[ $# -eq 6 ] || [ $# -eq 8 ] || { echo "usage: mp3_case.sh GEN RUNNER CHIP WORK MKFS_FAT MCOPY [FOSC HZ]" >&2; exit 2; }
gen=$1 runner=$2 chip=$3 work=$4 mkfs=$5 mcopy=$6 fosc=${7:-10} hz=${8:-7372800}
case $chip in
  atmega64) mcu=5 ;; atmega128) mcu=6 ;;
  *) echo "mp3_case.sh: the demo reads its keys on port E: atmega64 or atmega128" >&2; exit 2 ;;
esac
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$work"
mkdir -p "$work/exe"
"$gen" --exe-dir "$work/exe" -o "$work/project" --set MCU.mcutype=$mcu --set MCU.Fosc=$fosc \
  --set SPI.Spi_use=1 --set SPI.Spi_en=1 --set SPI.Spi_master=1 \
  --set USB.Usb_use=1 --set USB.Data_io=0 --set USB.Text1=PC4 --set USB.Text2=PC3 \
  --set USB.Text3=PC2 --set USB.Text4=PC0 --set USB.Text5=PC1 --set USB.Text6=PD2 \
  --set "Other APP.MP3_use=1" --set "Other APP.Text1=PF0" --set "Other APP.Text2=PF1" \
  --set "Other APP.Text3=PF2" --set "Other APP.Text4=PF3" >"$work/gen.log" 2>&1 || {
  echo "FAILED: tamberlo-gen"; cat "$work/gen.log"; exit 1; }
cp "$here/samples/mp3_harness/harness.c" "$work/project/"
# The harness (main and the LCD stand-ins) joins the project's own sources.
sed -i 's/^\(SRC = [^\r]*\)/\1 harness.c/' "$work/project/Makefile"
"$here/build_project.sh" "$chip" "$work/project" "$work/build" -Dmain=mp3_demo_main

# A song of 5000 bytes (three 2 KiB clusters on this 16 MiB disk, the last
# one partly used), from a fixed pseudo-random sequence.
python3 -c '
import sys
x, out = 7, bytearray()
for i in range(5000):
    x = (x * 1103515245 + 12345) % 2147483648
    out.append((x >> 16) & 255)
sys.stdout.buffer.write(out)' >"$work/song.mp3"
"$mkfs" -C -F 16 -s 4 -n TAMBERLO "$work/disk.img" 16384 >/dev/null
"$mcopy" -i "$work/disk.img" "$work/song.mp3" ::/SONG01.MP3

# Keys on port E read high (released).
"$runner" -m "$chip" -f "$hz" -c 60000000 -i E:0xFF \
  -u "A:C0:C1:C2:C3:C4:D2:$work/disk.img" -3 "F0:F1:F2:F3:$work/sdi.bin" \
  "$work/build/firmware.elf" >"$work/run.txt" 2>"$work/run.err" || {
  echo "FAILED: the simulation ended badly"; cat "$work/run.txt" "$work/run.err"; exit 1; }
grep -a "^ch375 \|^vs1003 \|^state " "$work/run.txt"
status=0
grep -q "^ch375 .* faults=0$" "$work/run.txt" || { echo "FAILED: CH375 bus faults"; cat "$work/run.err"; status=1; }
grep -q "^vs1003 mode=0x0800 clockf=0x9800 vol=0x2020 .* faults=0$" "$work/run.txt" || {
  echo "FAILED: the VS1003 was not set up as the datasheet asks, or saw faults"; cat "$work/run.err"; status=1; }
if ! cmp "$work/song.mp3" "$work/sdi.bin"; then
  echo "FAILED: the bytes on SDI are not the song"
  status=1
fi
exit $status
