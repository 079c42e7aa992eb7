// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DISPLAY_ST7920_H
#define DISPLAY_ST7920_H

#include <simavr/sim_avr.h>

struct st7920;

/* Wires a new display to the pins the text names; NULL on a bad text. */
struct st7920 *attach_st7920(avr_t *avr, const char *spec);
/* Writes its picture into the file the text named; 0 or -1. */
int report_st7920(const struct st7920 *d);
/* The picture it shows now, one byte a dot (1 lit), row by row; sets the
 * size (128x64 or 122x32). */
void live_st7920(const struct st7920 *d, uint8_t *dots, int *width, int *height);

#endif
