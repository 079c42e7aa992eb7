// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * An SD2000 real-time clock on the TWI bus, modelled from its datasheet for
 * the bus runner (see sd2000_model.c).
 */
#ifndef SD2000_MODEL_H
#define SD2000_MODEL_H
#include <simavr/sim_avr.h>
#include <stdio.h>

/* Puts the clock on the bus (the TWI master must be mended first), found
   after a power loss: its power-on flag set. 0, or -1 without a TWI. */
int sd2000_attach(avr_t* avr, int verbose);
/* The MCU is reset while the clock runs on its battery: the seconds have
   moved on to 33. */
void sd2000_battery(void);
/* One line: the time registers, the status register, the reset commands,
   the time writes and the accesses refused during a reset. */
void sd2000_report(FILE* out);
#endif
