#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# delay_test.sh GEN RUNNER WORK
# delay.c counts empty loop passes and is not scaled to the crystal; its
# Makefile builds it without optimisation so that the loops stay. For the
# lowest and the highest crystal this generates an ATmega16 project that
# needs delay.c (RS485 on), builds probe/delay_probe.c with it through the
# project's Makefile, runs it in the simulator and prints what
# delay_nus(480) and delay_nms(10) really last. Fails if a loop is gone.
set -euo pipefail

[ $# -eq 3 ] || { echo "usage: delay_test.sh GEN RUNNER WORK" >&2; exit 2; }
gen=$1 runner=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
status=0

# Crystal list indexes: 0 is 1.0000 MHz, 18 is 16.0000 MHz.
for pair in "0 1000000" "18 16000000"; do
  read -r fosc hz <<<"$pair"
  dir=$work/fosc$fosc
  mkdir -p "$dir/exe"
  "$gen" --exe-dir "$dir/exe" -o "$dir/project" --set MCU.mcutype=3 --set MCU.Fosc="$fosc" \
    --set UART0.Uart0_use=1 --set UART0.Rx_en=1 --set UART0.Tx_en=1 --set UART0.Rs485_use=1 \
    >"$dir/gen.log" 2>&1 || { echo "FAILED: tamberlo-gen"; cat "$dir/gen.log"; exit 1; }
  [ -f "$dir/project/delay.c" ] || { echo "FAILED: no delay.c with RS485 on"; exit 1; }
  cp "$here/probe/delay_probe.c" "$dir/project/"
  env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -C "$dir/project" TARGET=probe \
    SRC="delay_probe.c delay.c" >"$dir/make.log" 2>&1 ||
    { echo "FAILED: make"; cat "$dir/make.log"; exit 1; }
  "$runner" -m atmega16 -f "$hz" -c 3000000 -o "0:$dir/uart.txt" "$dir/project/probe.elf" \
    >"$dir/run.txt" 2>&1 || { echo "FAILED: simulation"; cat "$dir/run.txt"; exit 1; }
  line=$(tr -d '\r' <"$dir/uart.txt")
  nus=$(sed -n 's/^nus480=\([0-9]*\) nms10=[0-9]*$/\1/p' <<<"$line")
  nms=$(sed -n 's/^nus480=[0-9]* nms10=\([0-9]*\)$/\1/p' <<<"$line")
  [ -n "$nus" ] && [ -n "$nms" ] || { echo "FAILED: the probe said \"$line\""; exit 1; }
  awk -v hz="$hz" -v nus="$nus" -v nms="$nms" 'BEGIN {
    printf "%5.2f MHz: delay_nus(480) %7d cycles = %9.1f us; delay_nms(10) %8d cycles = %8.2f ms\n",
      hz / 1e6, nus, nus * 1e6 / hz, nms, nms * 1e3 / hz }'
  # A kept loop costs several cycles a pass; an optimised-away one costs none.
  if [ "$nus" -lt $((480 * 8)) ] || [ "$nms" -lt $((10 * 1000 * 8)) ]; then
    echo "FAILED: the delay loops are gone (fewer than 8 cycles a pass)"
    status=1
  fi
done
exit $status
