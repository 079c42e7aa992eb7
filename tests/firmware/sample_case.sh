#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# sample_case.sh KIT RUNNER CHIP SAMPLE_DIR WORK [-- HZ CYCLES [check]...]
# Builds a hand-written sample for CHIP (its sources include DEVICE_HEADER,
# set here to the chip's ICC header): a copy of it gets the avr-gcc build of
# a generated project from KIT (gcc_kit), then its Makefile builds it. After
# "--" the firmware runs and is checked.
set -euo pipefail

[ $# -ge 5 ] || { echo "usage: sample_case.sh KIT RUNNER CHIP SAMPLE_DIR WORK [-- HZ CYCLES [check]...]" >&2; exit 2; }
kit=$1 runner=$2 chip=$3 sample=$4 work=$5
shift 5
here=$(cd "$(dirname "$0")" && pwd)

case $chip in
  atmega8) mcu=ATMega8 ;; atmega8515) mcu=ATMega8515 ;; atmega8535) mcu=ATMega8535 ;;
  atmega16) mcu=ATMega16 ;; atmega32) mcu=ATMega32 ;; atmega64) mcu=ATMega64 ;;
  atmega128) mcu=ATMega128 ;;
  *) echo "sample_case.sh: unknown chip $chip" >&2; exit 2 ;;
esac
mhz=7.3728
[ "${1:-}" = "--" ] && [ $# -ge 2 ] && mhz=$(awk -v hz="$2" 'BEGIN { printf "%.4f", hz / 1e6 }')

rm -rf "$work"
mkdir -p "$work"
cp -r "$sample" "$work/src"
"$kit" "$mcu" "$mhz" "$work/src"
"$here/build_project.sh" "$chip" "$work/src" "$work/build" "-DDEVICE_HEADER=<iom${chip#atmega}v.h>"

[ $# -gt 0 ] || exit 0
[ "$1" = "--" ] || { echo "sample_case.sh: expected -- before the run" >&2; exit 2; }
shift
hz=$1 cycles=$2
shift 2
exec "$here/check_run.sh" "$runner" "$work/build/firmware.elf" "$chip" "$hz" "$cycles" "$work/run" "$@"
