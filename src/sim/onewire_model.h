// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * A DS18B20 on one port pin, modelled from its datasheet for the runner.
 * The bus is open drain with a pull-up: the line is low while the MCU drives
 * it low (DDR 1, PORT 0) or the sensor pulls it low. The sensor answers a
 * reset of >= 480 us with a presence pulse, takes Skip ROM (0xCC), Convert
 * T (0x44, 750 ms) and Read Scratchpad (0xBE), and checks the time slots:
 * write-0 low 60..120 us, write-1 low 1..15 us, slots >= 60 us apart, the
 * MCU reading a bit within 15 us of the slot's falling edge, and the MCU
 * never driving the line high while the sensor pulls it low.
 */
#ifndef ONEWIRE_MODEL_H
#define ONEWIRE_MODEL_H

#include <simavr/sim_avr.h>
#include <stdint.h>
#include <stdio.h>

struct ds18b20;

/* Puts a sensor on PORT:BIT that measures `raw` (1/16 degree, e.g. 0x0191
   for 25.0625 degrees). */
struct ds18b20* ds18b20_attach(avr_t* avr, char port, int bit, int16_t raw);
/* Times of its presence pulse: its wait after the reset (15..60 us by the
   datasheet, 30 unless set) and its length (60..240 us, 120 unless set). */
void ds18b20_presence(struct ds18b20* s, double wait_us, double pulse_us);
/* What it measures from its next conversion on (1/16 degree). */
void ds18b20_set(struct ds18b20* s, int16_t raw);
/* Follows the line; call after every simulated step. */
void ds18b20_step(struct ds18b20* s);
/* One line: resets, presences, the commands seen, the shortest and longest
   times of each kind in microseconds and the count of timing faults. */
void ds18b20_report(struct ds18b20* s, FILE* out);

#endif
