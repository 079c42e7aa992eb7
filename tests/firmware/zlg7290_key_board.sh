#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# zlg7290_key_board.sh SIM WORK
# A ZLG7290 key pressed on the virtual board reaches the firmware: a small
# firmware (zlg7290_key_board.c) reads the Key register and shows it on port
# B; tamberlo-sim, wired from a board description holding the ZLG7290, is
# told "zlg7290 key 13" once the chip's power-up is over.
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: zlg7290_key_board.sh SIM WORK" >&2; exit 2; }
sim=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
avr-gcc -mmcu=atmega16 -DF_CPU=8000000UL -Os -Wall -Werror -o "$work/key.elf" "$here/zlg7290_key_board.c"
printf 'mcu ATMega16\r\ncrystal 8\r\nzlg7290\r\n' >"$work/board.txt"
mkfifo "$work/sim.in"
exec 3<>"$work/sim.in"
"$sim" -m atmega16 -f 8000000 -b "$work/board.txt" "$work/key.elf" <"$work/sim.in" >"$work/sim.out" 2>"$work/sim.err" &
pid=$!
wait_for() {
  for _ in $(seq 1 100); do
    grep -q "$1" "$work/sim.out" && return 0
    sleep 0.1
  done
  return 1
}
status=0
wait_for '^time [0-9]\{7,\}' || { echo "FAILED: the board did not run"; status=1; }
sleep 0.5 # past the 300 ms power-up at any pace
echo "zlg7290 key 13" >&3
wait_for '^port B ddr=0xFF out=0x0D' || { echo "FAILED: the key did not reach the firmware"; status=1; }
echo quit >&3
wait "$pid" || { echo "FAILED: tamberlo-sim ended badly"; status=1; }
grep "^chip \|^port B" "$work/sim.out" | tail -3
exit $status
