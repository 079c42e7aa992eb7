/* ATmega32 in the ICC dialect, mapped onto avr-libc. */
#ifndef ICC_IOM32V_H
#define ICC_IOM32V_H
#ifndef __AVR_ATmega32__
#error "iom32v.h is the ATmega32 header: build with -mmcu=atmega32"
#endif
#include "icc_device.h"

#define iv_RESET        1
#define iv_INT0         2
#define iv_INT1         3
#define iv_INT2         4
#define iv_TIMER2_COMP  5
#define iv_TIMER2_OVF   6
#define iv_TIMER1_CAPT  7
#define iv_TIMER1_COMPA 8
#define iv_TIMER1_COMPB 9
#define iv_TIMER1_OVF   10
#define iv_TIMER0_COMP  11
#define iv_TIMER0_OVF   12
#define iv_SPI_STC      13
#define iv_USART_RX     14
#define iv_USART_RXC    14
#define iv_USART_UDRE   15
#define iv_USART_TX     16
#define iv_USART_TXC    16
#define iv_ADC          17
#define iv_EE_RDY       18
#define iv_EE_READY     18
#define iv_ANA_COMP     19
#define iv_ANALOG_COMP  19
#define iv_TWI          20
#define iv_TWSI         20
#define iv_SPM_RDY      21
#define iv_SPM_READY    21

#endif
