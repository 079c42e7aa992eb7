// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * A DS1307 at 0xD0 on the TWI bus: simavr's ds1338_virt part (the DS1338 is
 * register-compatible), mended where it departs from the DS1307 datasheet
 * (see ds1307_model.c).
 */
#ifndef DS1307_MODEL_H
#define DS1307_MODEL_H
#include <simavr/sim_avr.h>
#include <stdint.h>
#include <stdio.h>

/* Mends the TWI master and puts the clock on the bus, its registers
 * 0x00..0x07 set from REGS (NULL: the datasheet's first power-up, 00-01-01
 * 00:00:00 with the oscillator halted); 0, or -1 when the core has no TWI. */
int ds1307_attach(avr_t* avr, const uint8_t regs[8], int verbose);
/* "ds1307 regs=SS MM HH WD DD MO YY CC seconds=N": the registers at the
 * end and how many seconds the clock counted. */
void ds1307_report(FILE* out);
/* Its registers 0x00..0x07 as they are now. */
void ds1307_regs(uint8_t regs[8]);
/* Sets registers 0x00..0x06 (seconds .. year), as a clock set by hand;
   the second starts over. */
void ds1307_set(const uint8_t regs[7]);
#endif
