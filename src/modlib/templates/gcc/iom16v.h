/* ATmega16 in the ICC dialect, mapped onto avr-libc. */
#ifndef ICC_IOM16V_H
#define ICC_IOM16V_H
#ifndef __AVR_ATmega16__
#error "iom16v.h is the ATmega16 header: build with -mmcu=atmega16"
#endif
#include "icc_device.h"

#define iv_RESET        1
#define iv_INT0         2
#define iv_INT1         3
#define iv_TIMER2_COMP  4
#define iv_TIMER2_OVF   5
#define iv_TIMER1_CAPT  6
#define iv_TIMER1_COMPA 7
#define iv_TIMER1_COMPB 8
#define iv_TIMER1_OVF   9
#define iv_TIMER0_OVF   10
#define iv_SPI_STC      11
#define iv_USART_RX     12
#define iv_USART_RXC    12
#define iv_USART_UDRE   13
#define iv_USART_TX     14
#define iv_USART_TXC    14
#define iv_ADC          15
#define iv_EE_RDY       16
#define iv_EE_READY     16
#define iv_ANA_COMP     17
#define iv_ANALOG_COMP  17
#define iv_TWI          18
#define iv_TWSI         18
#define iv_INT2         19
#define iv_TIMER0_COMP  20
#define iv_SPM_RDY      21
#define iv_SPM_READY    21

#endif
