/* Shared part of the ICC-style device headers: they are read by avr-gcc
 * builds of generated projects, so the registers come from avr-libc for
 * the chip given with -mmcu. The iv_ constants keep ICC's numbering (reset
 * is 1); the interrupt glue turns iv_X into avr-libc's __vector_(iv_X - 1).
 * This set belongs to the tests; generated projects never carry it. */
#ifndef ICC_DEVICE_H
#define ICC_DEVICE_H

#include <avr/io.h>
#include <stdint.h>

/* ICC allows the handler pragma; gcc ignores it and the glue binds it. */
#define ICC_VECTOR(n) ICC_VECTOR_(n)
#define ICC_VECTOR_(n) __vector_##n

#endif
