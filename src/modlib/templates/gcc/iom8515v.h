/* ATmega8515 in the ICC dialect, mapped onto avr-libc. */
#ifndef ICC_IOM8515V_H
#define ICC_IOM8515V_H
#ifndef __AVR_ATmega8515__
#error "iom8515v.h is the ATmega8515 header: build with -mmcu=atmega8515"
#endif
#include "icc_device.h"

#define iv_RESET        1
#define iv_INT0         2
#define iv_INT1         3
#define iv_TIMER1_CAPT  4
#define iv_TIMER1_COMPA 5
#define iv_TIMER1_COMPB 6
#define iv_TIMER1_OVF   7
#define iv_TIMER0_OVF   8
#define iv_SPI_STC      9
#define iv_USART_RX     10
#define iv_USART_RXC    10
#define iv_USART_UDRE   11
#define iv_USART_TX     12
#define iv_USART_TXC    12
#define iv_ANA_COMP     13
#define iv_ANALOG_COMP  13
#define iv_INT2         14
#define iv_TIMER0_COMP  15
#define iv_EE_RDY       16
#define iv_EE_READY     16
#define iv_SPM_RDY      17
#define iv_SPM_READY    17

#endif
