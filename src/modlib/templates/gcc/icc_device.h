/* Shared part of the ICC-style device headers: the Makefile builds the
 * project with avr-gcc, so the registers come from avr-libc for the chip
 * given with -mmcu. The iv_ constants keep ICC's numbering (reset is 1);
 * the interrupt glue (icc_glue.c) binds iv_X to avr-libc's
 * __vector_(iv_X - 1). ICC builds never read this folder. */
#ifndef ICC_DEVICE_H
#define ICC_DEVICE_H

#include <avr/io.h>
#include <stdint.h>

/* ICC allows the handler pragma; gcc ignores it and the glue binds it. */
#define ICC_VECTOR(n) ICC_VECTOR_(n)
#define ICC_VECTOR_(n) __vector_##n

#endif
