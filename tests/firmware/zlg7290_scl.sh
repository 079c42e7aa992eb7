#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# zlg7290_scl.sh GEN RUNNER CHIP WORK HZ...
# The ZLG7290 case of bus_case.sh at every crystal of the list (HZ..., in
# the order of MCU.Fosc): the driver's start-up, display writes and pauses
# must hold at each, and the TWI bit rate it sets must keep SCL at or below
# the chip's 32 kHz, yet above 25 kHz so that the bus is not slowed for
# nothing. SCL comes from TWBR and TWSR as the driver left them (simavr
# times a TWI bit as 1 us whatever the bit rate, so the bus itself cannot
# show it). The shortest pause the chip saw between two accesses is listed
# with it.
set -euo pipefail

[ $# -ge 5 ] || { echo "usage: zlg7290_scl.sh GEN RUNNER CHIP WORK HZ..." >&2; exit 2; }
gen=$1 runner=$2 chip=$3 work=$4
shift 4
here=$(cd "$(dirname "$0")" && pwd)

rm -rf "$work"
mkdir -p "$work"
fosc=0 failed=0
printf '%10s %5s %5s %7s %9s\n' crystal twbr twps scl pause/us
for hz in "$@"; do
  if ! out=$("$here/bus_case.sh" "$gen" "$runner" "$chip" "$work/$fosc" zlg7290 $fosc "$hz" 2>&1); then
    echo "$out"
    echo "FAILED at crystal $fosc ($hz Hz)"
    exit 1
  fi
  [[ $out =~ twi\ twbr=([0-9]+)\ twps=([0-9]+)\ scl=([0-9]+) ]] ||
    { echo "$out"; echo "FAILED: no bit rate at $hz Hz"; exit 1; }
  twbr=${BASH_REMATCH[1]} twps=${BASH_REMATCH[2]} scl=${BASH_REMATCH[3]}
  pause=$(sed -n 's/^zlg7290 shortest pause \([0-9]*\) us$/\1/p' <<<"$out")
  note=""
  if [ "$scl" -gt 32000 ] || [ "$scl" -lt 25000 ]; then note="  out of 25000..32000"; failed=1; fi
  if [ "$twbr" -lt 10 ]; then note="$note  TWBR below 10"; failed=1; fi
  printf '%10s %5s %5s %7s %9s%s\n' "$hz" "$twbr" "$twps" "$scl" "$pause" "$note"
  rm -rf "${work:?}/$fosc"
  fosc=$((fosc + 1))
done
[ $failed -eq 0 ] || { echo "FAILED: SCL out of range"; exit 1; }
