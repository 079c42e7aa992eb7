#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# check_run.sh RUNNER ELF CHIP HZ CYCLES WORK_DIR [check]...
# Runs the firmware in the simulator and checks what it did. Checks:
#   send U BYTE CYCLE      feed BYTE into UART U at CYCLE (in cycle order)
#   expect U TEXT          UART U sent exactly TEXT (printf %b escapes, \r\n)
#   expect-gbk U TEXT      the same, TEXT converted from UTF-8 to GBK first
#   silent U               UART U sent nothing
#   append U TEXT          UART U then sent TEXT (printf %b escapes, raw bytes)
#   baud U RATE            UBRR and U2X give RATE within 2 %, and bytes sent
#                          back to back are one frame apart at that rate
#   ucsrc U 0xNN           the frame format register holds 0xNN
#   pin P:B DDR LEVEL N    port pin PB ends with this direction and level and
#                          went high N times (an RS485 direction pin: once at
#                          init, then once per byte sent)
#   display SPEC TEXT      a virtual display (uart_runner -d SPEC, without the
#                          file) shows TEXT, its rows joined by \n
#   picture SPEC KIND      a graphic display's picture passes check_picture.py
#                          KIND (which also writes it as a PNG)
#   ds18b20 P:B RAW        a DS18B20 on pin PB measuring RAW; fails on any
#                          1-Wire timing fault the model saw (RAW:WAIT:PULSE
#                          also sets its presence pulse, in us)
#   storm U BYTE PERIOD    BYTE arrives on UART U every PERIOD cycles (its
#                          receive interrupt firing during the firmware's work)
#   eeprom ADDR:LEN BYTES  an AT24C32 on the TWI ends holding BYTES ("99 22")
#                          from ADDR
#   ds1307 REGS            a DS1307 on the TWI, its registers 0x00..0x07 set
#                          to REGS (hex, SS:MM:HH:WD:DD:MO:YY:CC)
#   texts AT ARG TEXTS     the texts the firmware builds (uart_runner -t with
#                          the functions AT and ARG of the ELF): the distinct
#                          ones in order, joined by "|", are TEXTS, and the
#                          last came (count - 1) simulated seconds after the
#                          first, give or take one second (a clock's texts)
# A mismatch of the sent bytes fails with a hex diff of expected and got.
set -euo pipefail

[ $# -ge 6 ] || { echo "usage: check_run.sh RUNNER ELF CHIP HZ CYCLES WORK_DIR [check]..." >&2; exit 2; }
runner=$1 elf=$2 chip=$3 hz=$4 cycles=$5 work=$6
shift 6
mkdir -p "$work"

run_args=(-m "$chip" -f "$hz" -c "$cycles")
declare -A expected=() bauds=() frames=() pins=() screens=()
while [ $# -gt 0 ]; do
  case $1 in
    send) run_args+=(-s "$2:$3@$4"); shift 4 ;;
    expect) printf '%b' "$3" >"$work/expect$2.bin"; expected[$2]=1; shift 3 ;;
    expect-gbk) printf '%b' "$3" | iconv -f UTF-8 -t GBK >"$work/expect$2.bin"; expected[$2]=1; shift 3 ;;
    silent) : >"$work/expect$2.bin"; expected[$2]=1; shift 2 ;;
    append) printf '%b' "$3" >>"$work/expect$2.bin"; shift 3 ;;
    eeprom) run_args+=(-e "$2"); eeprom=$3; shift 3 ;;
    ds1307) run_args+=(-r "$2"); shift 2 ;;
    texts)
      at=$(avr-nm "$elf" | awk -v f="$2" '$3 == f { print "0x" $1 }')
      arg=$(avr-nm "$elf" | awk -v f="$3" '$3 == f { print "0x" $1 }')
      [ -n "$at" ] && [ -n "$arg" ] || { echo "check_run.sh: no $2 or $3 in $elf" >&2; exit 2; }
      run_args+=(-t "$at:$arg"); texts=$4; shift 4 ;;
    baud) bauds[$2]=$3; shift 3 ;;
    ucsrc) frames[$2]=$3; shift 3 ;;
    ds18b20) run_args+=(-1 "$2:$3"); sensor=1; shift 3 ;;
    storm) run_args+=(-I "$2:$3:$4"); shift 4 ;;
    pin) pins[$2]="ddr=$3 level=$4 rises=$5"; run_args+=(-w "$2"); shift 5 ;;
    display)
      n=${#screens[@]}
      printf '%b\n' "$3" >"$work/expect-display$n.txt"
      screens[$n]=text; run_args+=(-d "$2:$work/display$n.txt"); shift 3 ;;
    picture)
      n=${#screens[@]}
      screens[$n]=$3; run_args+=(-d "$2:$work/display$n.pbm"); shift 3 ;;
    *) echo "check_run.sh: unknown check $1" >&2; exit 2 ;;
  esac
done
for u in 0 1; do
  [ -n "${expected[$u]:-}${bauds[$u]:-}${frames[$u]:-}" ] && run_args+=(-o "$u:$work/got$u.bin")
done

"$runner" "${run_args[@]}" "$elf" >"$work/run.txt" 2>"$work/run.err" || {
  echo "FAILED: the simulation ended badly"; cat "$work/run.txt" "$work/run.err"; exit 1; }
grep -a "^core \|^uart[0-9] \|^ds18b20 \|^eeprom \|^ds1307 \|^state " "$work/run.txt"

status=0
for n in "${!screens[@]}"; do
  if [ "${screens[$n]}" = text ]; then
    diff -u --label expected --label shown "$work/expect-display$n.txt" "$work/display$n.txt" ||
      { echo "FAILED: the display shows other text"; status=1; }
  else
    python3 "$(dirname "$0")/check_picture.py" "${screens[$n]}" "$work/display$n.pbm" ||
      { echo "FAILED: the picture in $work/display$n.pbm"; status=1; }
  fi
done
line_of() { grep -a "^uart$1 " "$work/run.txt" || true; }
field() { sed -n "s/.* $2=\([^ ]*\).*/\1/p" <<<"$1"; }

for u in "${!expected[@]}"; do
  if ! cmp -s "$work/expect$u.bin" "$work/got$u.bin"; then
    echo "FAILED: UART$u sent other bytes than expected (- expected, + got):"
    diff -u --label expected --label got <(od -An -tx1 -c -w16 -v "$work/expect$u.bin") \
      <(od -An -tx1 -c -w16 -v "$work/got$u.bin") || true
    status=1
  fi
done

for u in "${!bauds[@]}"; do
  l=$(line_of "$u")
  [ -n "$l" ] || { echo "FAILED: no UART$u in the simulated chip"; status=1; continue; }
  want=${bauds[$u]}
  got=$(field "$l" baud)
  if ! awk -v g="$got" -v w="$want" 'BEGIN { d = (g - w) / w; exit !(d < 0.02 && d > -0.02) }'; then
    echo "FAILED: UART$u runs at $got bit/s by its UBRR and U2X, not $want"
    status=1
  fi
  # Frame: start, data, parity, stop bits, from the frame format register.
  c=$(( $(field "$l" ucsrc) ))
  size=$(( (c >> 1) & 3 ))
  bits=$(( 1 + 5 + size + ((c >> 4) & 3 ? 1 : 0) + 1 + ((c >> 3) & 1) ))
  gap=$(field "$l" byte_cycles)
  if [ "$gap" != 0 ] && ! awk -v g="$gap" -v b="$bits" -v hz="$hz" -v w="$want" \
      'BEGIN { f = b * hz / w; exit !(g >= f * 0.98 && g <= f * 1.2) }'; then
    echo "FAILED: UART$u bytes are $gap cycles apart; $bits-bit frames at $want bit/s need $(( bits * hz / want ))"
    status=1
  fi
done

for u in "${!frames[@]}"; do
  l=$(line_of "$u")
  got=$(field "$l" ucsrc)
  if [ "$(( got ))" != "$(( ${frames[$u]} ))" ]; then
    echo "FAILED: UART$u frame format register is $got, not ${frames[$u]}"
    status=1
  fi
done
for p in "${!pins[@]}"; do
  got=$(grep -a "^pinP${p/:/} " "$work/run.txt" | cut -d' ' -f2-)
  if [ "$got" != "${pins[$p]}" ]; then
    echo "FAILED: pin P${p/:/} ends with ${got:-nothing}, expected ${pins[$p]}"
    status=1
  fi
done
if [ -n "${sensor:-}" ] && ! grep -q "^ds18b20 .* faults=0 " "$work/run.txt"; then
  echo "FAILED: the DS18B20 model saw 1-Wire timing faults:"
  cat "$work/run.err"
  status=1
fi
if [ -n "${eeprom:-}" ]; then
  got=$(sed -n 's/^eeprom refused=[0-9]* //p' "$work/run.txt")
  [ "$got" = "$eeprom" ] || { echo "FAILED: the AT24C32 holds ${got:-nothing}, not $eeprom"; status=1; }
fi
if [ -n "${texts:-}" ]; then
  # the first appearance of each text, in order: "CYCLE TEXT"
  sed -n 's/^text //p' "$work/run.txt" | awk '{ c = $1; sub(/^[0-9]+ /, "") } $0 != last { print c, $0; last = $0 }' \
    >"$work/texts.txt"
  got=$(cut -d' ' -f2- "$work/texts.txt" | paste -sd'|')
  if [ "$got" != "$texts" ]; then
    echo "FAILED: the texts were"
    cut -d' ' -f2- "$work/texts.txt"
    echo "expected"
    tr '|' '\n' <<<"$texts"
    status=1
  elif ! awk -v hz="$hz" 'NR == 1 { first = $1 } { last = $1; n = NR }
      END { d = (last - first) / hz - (n - 1); exit !(d <= 1 && d >= -1) }' "$work/texts.txt"; then
    echo "FAILED: the texts did not change once a second:"
    cat "$work/texts.txt"
    status=1
  fi
fi
exit $status
