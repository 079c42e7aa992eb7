// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * The SPI slaves of the board, from their datasheets (see spi_models.c): a
 * DS1302 real-time clock with its CE on SS (active high) and an SD card in
 * SPI mode with its CS on SS (active low), and the mend of simavr 1.6's SPI
 * master they need.
 */
#ifndef SPI_MODELS_H
#define SPI_MODELS_H
#include <simavr/sim_avr.h>
#include <stdint.h>

/* Mends the SPI master and hooks SS (port B, `ss_bit`); 0, or -1 when the
   core has no SPI. Called by the attach functions, once. */
int spi_bus_attach(avr_t* avr, int ss_bit);
/* After an MCU reset: SS is low again. */
void spi_bus_reset(void);

/* The DS1302 on the bus: clock registers 0x80..0x90 (seconds .. trickle
   charger) from `clock` (9 bytes) and its 31 RAM bytes from `ram`. With
   `ticking`, the clock counts simulated seconds while CH is clear. */
int ds1302_attach(avr_t* avr, int ss_bit, const uint8_t clock[9], const uint8_t ram[31], int ticking);
/* Its clock registers (9) and RAM (31), live. */
uint8_t* ds1302_clock(void);
uint8_t* ds1302_ram(void);
/* Accesses refused: a write while WP is set, a command byte without bit 7. */
unsigned long ds1302_faults(void);

/* An SD card (version 2, high capacity: sector addresses) holding the
   sectors of the file `path` (kept open, written by CMD24), busy for
   `busy_ms` after a block write. 0, or -1 when the file cannot be opened
   or the core has no SPI. */
int sdcard_attach(avr_t* avr, int ss_bit, const char* path, unsigned long busy_ms);
unsigned long sdcard_writes(void);
/* Commands refused: any but CMD0, CMD8, CMD55 and ACMD41 while the card is
   idle, and unknown ones. */
unsigned long sdcard_refused(void);
void sdcard_close(void);
#endif
