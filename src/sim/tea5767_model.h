// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * A TEA5767 FM radio tuner at 0xC0 on the TWI bus, modelled from its
 * datasheet (see tea5767_model.c).
 */
#ifndef TEA5767_MODEL_H
#define TEA5767_MODEL_H
#include <simavr/sim_avr.h>
#include <stdio.h>

/* Puts the tuner on the bus (the TWI master must be mended first); it is
   powered up with the MCU at cycle 0. 0, or -1 when the core has no TWI. */
int tea5767_attach(avr_t* avr, int verbose);
/* The frequency it is tuned to in kHz, 0 before the first complete write
   or in standby. */
unsigned long tea5767_khz(void);
/* One line: the frequency, the writes taken and the faults. */
void tea5767_report(FILE* out);
#endif
