/* The ICC <macros.h> helpers, written for avr-gcc. */
#ifndef ICC_MACROS_H
#define ICC_MACROS_H

#include <avr/interrupt.h>

#define BIT(x) (1 << (x))

#define SEI() __asm__ __volatile__("sei" ::: "memory")
#define CLI() __asm__ __volatile__("cli" ::: "memory")
#define NOP() __asm__ __volatile__("nop")
#define WDR() __asm__ __volatile__("wdr")
#define SLEEP() __asm__ __volatile__("sleep")
#define _SEI() SEI()
#define _CLI() CLI()
#define _NOP() NOP()
#define _WDR() WDR()
#define _SLEEP() SLEEP()

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#endif
