#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# mp3_board.sh GEN SIM WORK
# The MP3 demo on the virtual board: an ATmega128 project with the CH375
# (data port A, CS PC0, A0 PC1, RD PC2, WR PC3, RST PC4, INT PD2) and the
# VS1003 (XRST PF0, DREQ PF1, XDCS PF2, XCS PF3) is generated and built with
# samples/mp3_harness (which plays "/SONG01.MP3" through main.c's mp3_play)
# and run by tamberlo-sim wired from the project's gcc/board.txt, on its
# own disk: the VS1003's stream must be the sample song, byte for byte.
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: mp3_board.sh GEN SIM WORK" >&2; exit 2; }
gen=$1 sim=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$work"
mkdir -p "$work/exe"
"$gen" --exe-dir "$work/exe" -o "$work/project" --set MCU.mcutype=6 \
  --set SPI.Spi_use=1 --set SPI.Spi_en=1 --set SPI.Spi_master=1 \
  --set USB.Usb_use=1 --set USB.Data_io=0 --set USB.Text1=PC4 --set USB.Text2=PC3 \
  --set USB.Text3=PC2 --set USB.Text4=PC0 --set USB.Text5=PC1 --set USB.Text6=PD2 \
  --set "Other APP.MP3_use=1" --set "Other APP.Text1=PF0" --set "Other APP.Text2=PF1" \
  --set "Other APP.Text3=PF2" --set "Other APP.Text4=PF3" >"$work/gen.log" 2>&1 || {
  echo "FAILED: tamberlo-gen"; cat "$work/gen.log"; exit 1; }
grep -qx $'ch375 A:C0:C1:C2:C3:C4:D2\r' "$work/project/gcc/board.txt" || {
  echo "FAILED: the board description does not wire the CH375 as chosen"; cat "$work/project/gcc/board.txt"; exit 1; }
cp "$here/samples/mp3_harness/harness.c" "$work/project/"
sed -i 's/^\(SRC = [^\r]*\)/\1 harness.c/' "$work/project/Makefile"
"$here/build_project.sh" atmega128 "$work/project" "$work/build" -Dmain=mp3_demo_main >/dev/null

# The song of the board's own disk: 38 silent MPEG-1 layer III frames.
python3 -c '
import sys
sys.stdout.buffer.write((b"\xff\xfb\x90\x00" + bytes(413)) * 38)' >"$work/song.mp3"
size=$(stat -c %s "$work/song.mp3")

mkfifo "$work/sim.in"
exec 3<>"$work/sim.in"
(cd "$work/project" && exec "$sim" -m atmega128 -f 7372800 -b gcc/board.txt "$work/build/firmware.elf") \
  <"$work/sim.in" >"$work/sim.out" 2>"$work/sim.err" &
pid=$!
for _ in $(seq 1 300); do
  grep -qx "vs1003 $size" "$work/sim.out" && break
  sleep 0.1
done
stream=$(sed -n 's/^stream //p' "$work/sim.out")
status=0
if [ -z "$stream" ] || ! cmp "$work/song.mp3" "$stream"; then
  echo "FAILED: the VS1003's stream is not the disk's song"
  grep -v "^port \|^time " "$work/sim.out" | tail -20
  status=1
fi
echo quit >&3
wait "$pid" || { echo "FAILED: tamberlo-sim ended badly"; status=1; }
# its temporary disk and stream go with it
[ ! -e "$stream" ] || { echo "FAILED: the stream file was left behind"; status=1; }
grep "^chip \|^vs1003 " "$work/sim.out" | sort -u | tail -5
exit $status
