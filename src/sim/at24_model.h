// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * An AT24C32 at 0xA0 on the TWI bus: simavr's i2c_eeprom part, mended where
 * it departs from the AT24C32 datasheet, and simavr 1.6's TWI master mended
 * where it departs from the ATmega16 datasheet (see at24_model.c).
 */
#ifndef AT24_MODEL_H
#define AT24_MODEL_H
#include <simavr/sim_avr.h>
#include <stdint.h>

/* Mends the core's TWI master; 0, or -1 when the core has no TWI. */
int twi_master_mend(avr_t* avr, int verbose);
/* Mends the TWI master and puts the AT24C32 on the bus; 0, or -1 as above. */
int at24_attach(avr_t* avr, int verbose);
/* Address polls refused while a write cycle ran. */
unsigned long at24_refused(void);
/* The byte the EEPROM holds at ADDR (0..4095). */
uint8_t at24_byte(unsigned addr);
#endif
