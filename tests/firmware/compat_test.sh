#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# compat_test.sh CHIP WORK
# Checks the ICC device header of CHIP against avr-libc: every vector
# avr-libc numbers must exist as iv_NAME with ICC's number (one higher),
# the vector names the generated drivers use must exist, and BIT(), the
# interrupt macros and the ICC argument order of itoa must compile.
set -euo pipefail

[ $# -eq 2 ] || { echo "usage: compat_test.sh CHIP WORK" >&2; exit 2; }
chip=$1 work=$2
here=$(cd "$(dirname "$0")" && pwd)
header="iom${chip#atmega}v.h"
mkdir -p "$work"

case $chip in
  atmega64 | atmega128) used="USART0_RX USART0_TX USART0_UDRE USART1_RX USART1_TX USART1_UDRE TWI SPI_STC ADC ANA_COMP" ;;
  atmega8515) used="USART_RX USART_TX USART_UDRE SPI_STC ANA_COMP" ;;
  *) used="USART_RX USART_TX USART_UDRE TWI SPI_STC ADC ANA_COMP" ;;
esac

names=$(echo "#include <avr/io.h>" | avr-gcc -mmcu="$chip" -dM -E -x c - |
  sed -n 's/^#define \([A-Z0-9_]*\)_vect_num .*/\1/p' | sort)
[ -n "$names" ] || { echo "FAILED: avr-libc lists no vectors for $chip"; exit 1; }

{
  echo "#include <$header>"
  echo "#include <macros.h>"
  echo "#include <stdlib.h>"
  for n in $names; do
    echo "#ifndef iv_$n"
    echo "#error \"$header lacks iv_$n\""
    echo "#endif"
    echo "_Static_assert(iv_$n == ${n}_vect_num + 1, \"iv_$n is not vector ${n} of avr-libc\");"
  done
  for n in $used; do
    echo "#ifndef iv_$n"
    echo "#error \"$header lacks iv_$n, which the UART, SPI, TWI and analog drivers use\""
    echo "#endif"
  done
  cat <<'C'
char *icc_order(char *buf, int v) { return itoa(buf, v, 10); }
unsigned char bits(void) { CLI(); SEI(); NOP(); WDR(); return BIT(3) | BIT(0); }
_Static_assert(BIT(7) == 0x80, "BIT(7) is not 0x80");
C
} >"$work/check_$chip.c"

avr-gcc -mmcu="$chip" -I"$here/../../src/modlib/templates/gcc" -std=gnu99 -Wall -Werror -fsyntax-only "$work/check_$chip.c"
echo "$header: $(wc -w <<<"$names") vectors agree with avr-libc"
