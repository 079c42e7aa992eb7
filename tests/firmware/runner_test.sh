#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# runner_test.sh KIT RUNNER WORK
# Bad command lines and files: the runner stops with exit code 2 and a
# message naming what is wrong, never a crash or a hang.
set -uo pipefail

[ $# -eq 3 ] || { echo "usage: runner_test.sh KIT RUNNER WORK" >&2; exit 2; }
kit=$1 runner=$2 work=$3
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
"$here/sample_case.sh" "$kit" "$runner" atmega16 "$here/samples/uart_polled" "$work/sample" || exit 1
elf=$work/sample/build/firmware.elf
echo "not an ELF file" >"$work/junk.elf"
failures=0

# case MESSAGE_PART ARG...
case_() {
  local want=$1
  shift
  "$runner" "$@" >"$work/out" 2>"$work/err"
  local rc=$?
  if [ $rc != 2 ] || ! grep -qF -- "$want" "$work/err"; then
    echo "FAILED: uart_runner $*: exit $rc, expected 2 and \"$want\"; it said:"
    cat "$work/err"
    failures=$((failures + 1))
  fi
}

ok=(-m atmega16 -f 7372800 -c 1000)
case_ "usage: uart_runner" 
case_ "usage: uart_runner" -m atmega16 "$elf"
case_ "unknown chip: atmega9" -m atmega9 -f 7372800 -c 1000 "$elf"
case_ "cannot read the ELF file: $work/none.elf" "${ok[@]}" "$work/none.elf"
case_ "cannot read the ELF file: $work/junk.elf" "${ok[@]}" "$work/junk.elf"
case_ "not a number: -f" -m atmega16 -f 7.3728 -c 1000 "$elf"
case_ "-s needs U:BYTE@CYCLE: 0x0F" "${ok[@]}" -s 0x0F "$elf"
case_ "-s uart or byte out of range: 0:0x1FF@5" "${ok[@]}" -s 0:0x1FF@5 "$elf"
case_ "-s options must be in cycle order: 0:1@5" "${ok[@]}" -s 0:1@9 -s 0:1@5 "$elf"
case_ "the core has no such uart for -o: atmega16" "${ok[@]}" -o 1:"$work/x" "$elf"
case_ "the core has no such uart for -s: atmega16" "${ok[@]}" -s 1:0x0F@0 "$elf"
case_ "-w needs PORT:BIT, e.g. D:4: D:8" "${ok[@]}" -w D:8 "$elf"
case_ "the core has no such port for -w: atmega16" "${ok[@]}" -w G:1 "$elf"
case_ "cannot write: $work/no/such/dir" "${ok[@]}" -o 0:"$work/no/such/dir" "$elf"
case_ "unknown or incomplete option: -q" "${ok[@]}" -q "$elf"
case_ "-r needs on or 8 hex bytes, SS:MM:HH:WD:DD:MO:YY:CC: 00:00:00:01:01:01:00" "${ok[@]}" -r 00:00:00:01:01:01:00 "$elf"
case_ "-r needs on or 8 hex bytes, SS:MM:HH:WD:DD:MO:YY:CC: 100:00:00:01:01:01:00:00" "${ok[@]}" -r 100:00:00:01:01:01:00:00 "$elf"
case_ "-t needs AT:ARG, e.g. 0x2F4:0x51A: 0x3B0" "${ok[@]}" -t 0x3B0 "$elf"
case_ "not a number: -t" "${ok[@]}" -t 0x3B0:strcpy "$elf"

[ $failures -eq 0 ] && echo "every bad input is refused with its reason"
exit $((failures > 0))
