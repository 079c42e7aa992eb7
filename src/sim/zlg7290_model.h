// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * A ZLG7290 LED display and keyboard controller at 0x70 on the TWI bus,
 * modelled from its datasheet for the bus runner (see zlg7290_model.c).
 */
#ifndef ZLG7290_MODEL_H
#define ZLG7290_MODEL_H
#include <simavr/sim_avr.h>
#include <stdio.h>

/* Puts the chip on the bus (the TWI master must be mended first); it is
   powered up with the MCU at cycle 0. 0, or -1 when the core has no TWI. */
int zlg7290_attach(avr_t* avr, int verbose);
/* One line: the display RAM, scan and flash registers, the commands run,
   the accesses refused for coming too early and the shortest pause seen
   between two accesses, in microseconds. */
void zlg7290_report(FILE* out);
/* DpRam0..7: the segments each digit lights (a in bit 7 .. dp in bit 0). */
void zlg7290_digits(uint8_t segments[8]);
/* A key of its 8x8 keypad pressed and let go: its code (1..64) waits in the
   Key register until read, and SystemReg's KeyAvi bit (0) is set. */
void zlg7290_key(int code);
#endif
