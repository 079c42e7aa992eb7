// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DISPLAY_T6963_H
#define DISPLAY_T6963_H

#include <simavr/sim_avr.h>

struct t6963;

/* Wires a new display to the pins the text names; NULL on a bad text. */
struct t6963 *attach_t6963(avr_t *avr, const char *spec);
/* Writes its picture into the file the text named; 0 or -1. */
int report_t6963(const struct t6963 *d);
/* The graphic layer it shows now, one byte a dot (1 lit), row by row;
 * sets the size (up to 240x128). */
void live_t6963(const struct t6963 *d, uint8_t *dots, int *width, int *height);

#endif
