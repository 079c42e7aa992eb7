// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DISPLAY_HD44780_H
#define DISPLAY_HD44780_H

#include <stddef.h>

#include <simavr/sim_avr.h>

struct character_lcd;

/* Wires a new display to the pins the text names; NULL on a bad text. */
struct character_lcd *attach_hd44780(avr_t *avr, const char *spec);
/* Writes its picture into the file the text named; 0 or -1. */
int report_hd44780(const struct character_lcd *d);

/* The text it shows now, rows joined by '\n' (non-printing cells as
 * blanks), into out; returns the number of rows. */
int live_hd44780(const struct character_lcd *d, char *out, size_t size);

#endif
