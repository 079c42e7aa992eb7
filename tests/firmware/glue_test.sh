#!/usr/bin/env bash
# glue_test.sh WORK
# Cases for make_glue.sh: each writes sources, runs it and compares the glue
# or the error with what is expected.
set -uo pipefail

[ $# -eq 1 ] || { echo "usage: glue_test.sh WORK" >&2; exit 2; }
work=$1
here=$(cd "$(dirname "$0")" && pwd)
rm -rf "$work"
mkdir -p "$work"
failures=0

# case NAME CHIP SOURCE_TEXT EXPECTED_EXIT EXPECTED_TEXT
# EXPECTED_TEXT is the ISR lines of the glue (exit 0) or a part of the error.
case_() {
  local name=$1 chip=$2 source=$3 want_exit=$4 want=$5
  printf '%b' "$source" >"$work/$name.c"
  "$here/make_glue.sh" "$chip" "$work/$name.glue.c" "$work/$name.c" 2>"$work/$name.err"
  local got_exit=$?
  if [ "$got_exit" != "$want_exit" ]; then
    echo "FAILED $name: exit $got_exit, expected $want_exit"; cat "$work/$name.err"
    failures=$((failures + 1)); return
  fi
  if [ "$want_exit" = 0 ]; then
    local got
    got=$(grep -v '^/\* Interrupt glue\|^#include\|^$' "$work/$name.glue.c")
    if [ "$got" != "$(printf '%b' "$want")" ]; then
      echo "FAILED $name: glue differs"
      diff -u --label expected --label got <(printf '%b\n' "$want") <(echo "$got")
      failures=$((failures + 1))
    fi
  elif ! grep -qF "$want" "$work/$name.err"; then
    echo "FAILED $name: error does not say \"$want\":"; cat "$work/$name.err"
    failures=$((failures + 1))
  fi
}

case_ no_pragma atmega16 'void f(void) {}\n' 0 ''
case_ single_uart atmega16 '#pragma interrupt_handler Uart_Rx_Isr:iv_USART_RX\r\nvoid Uart_Rx_Isr(void) {}\r\n' 0 \
  'extern void Uart_Rx_Isr(void);\nISR(__vector_11) { Uart_Rx_Isr(); }  /* iv_USART_RX */'
case_ same_name_other_chip atmega32 '#pragma interrupt_handler Uart_Rx_Isr:iv_USART_RX\n' 0 \
  'extern void Uart_Rx_Isr(void);\nISR(__vector_13) { Uart_Rx_Isr(); }  /* iv_USART_RX */'
case_ two_pairs_one_pragma atmega128 '#pragma interrupt_handler a:iv_USART1_RX b:iv_TWI // note\n' 0 \
  'extern void a(void);\nISR(__vector_30) { a(); }  /* iv_USART1_RX */\nextern void b(void);\nISR(__vector_33) { b(); }  /* iv_TWI */'
case_ unknown_vector atmega8515 '#pragma interrupt_handler t:iv_TWI\n' 1 'iom8515v.h has no vector iv_TWI'
case_ vector_bound_twice atmega16 '#pragma interrupt_handler a:iv_ADC\n#pragma interrupt_handler b:iv_ADC\n' 1 \
  'vector already bound to a'
case_ broken_pair atmega16 '#pragma interrupt_handler Isr_only\n' 1 'cannot read handler pair "Isr_only"'
case_ same_pair_twice atmega16 '#pragma interrupt_handler a:iv_ADC\n#pragma interrupt_handler a:iv_ADC\n' 0 \
  'extern void a(void);\nISR(__vector_14) { a(); }  /* iv_ADC */'
ICC_GLUE_BOUND="3 17" case_ bound_by_project atmega16 '#pragma interrupt_handler t:iv_TWI u:iv_USART_RX\n' 0 \
  '/* t:iv_TWI: the project binds __vector_17 itself */\nextern void u(void);\nISR(__vector_11) { u(); }  /* iv_USART_RX */'

[ $failures -eq 0 ] && echo "all glue cases pass"
exit $((failures > 0))
