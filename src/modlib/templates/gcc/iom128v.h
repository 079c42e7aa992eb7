/* ATmega128 in the ICC dialect, mapped onto avr-libc. */
#ifndef ICC_IOM128V_H
#define ICC_IOM128V_H
#ifndef __AVR_ATmega128__
#error "iom128v.h is the ATmega128 header: build with -mmcu=atmega128"
#endif
#include "icc_device.h"

#define iv_RESET         1
#define iv_INT0          2
#define iv_INT1          3
#define iv_INT2          4
#define iv_INT3          5
#define iv_INT4          6
#define iv_INT5          7
#define iv_INT6          8
#define iv_INT7          9
#define iv_TIMER2_COMP   10
#define iv_TIMER2_OVF    11
#define iv_TIMER1_CAPT   12
#define iv_TIMER1_COMPA  13
#define iv_TIMER1_COMPB  14
#define iv_TIMER1_OVF    15
#define iv_TIMER0_COMP   16
#define iv_TIMER0_OVF    17
#define iv_SPI_STC       18
#define iv_USART0_RX     19
#define iv_USART0_RXC    19
#define iv_USART0_UDRE   20
#define iv_USART0_TX     21
#define iv_USART0_TXC    21
#define iv_ADC           22
#define iv_EE_RDY        23
#define iv_EE_READY      23
#define iv_ANA_COMP      24
#define iv_ANALOG_COMP   24
#define iv_TIMER1_COMPC  25
#define iv_TIMER3_CAPT   26
#define iv_TIMER3_COMPA  27
#define iv_TIMER3_COMPB  28
#define iv_TIMER3_COMPC  29
#define iv_TIMER3_OVF    30
#define iv_USART1_RX     31
#define iv_USART1_RXC    31
#define iv_USART1_UDRE   32
#define iv_USART1_TX     33
#define iv_USART1_TXC    33
#define iv_TWI           34
#define iv_TWSI          34
#define iv_SPM_RDY       35
#define iv_SPM_READY     35

#endif
