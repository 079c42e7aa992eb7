// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DISPLAY_SED1335_H
#define DISPLAY_SED1335_H

#include <simavr/sim_avr.h>

struct sed1335;

/* Wires a new display to the pins the text names; NULL on a bad text. */
struct sed1335 *attach_sed1335(avr_t *avr, const char *spec);
/* Writes its picture into the file the text named; 0 or -1. */
int report_sed1335(const struct sed1335 *d);
/* The graphic layer it shows now, 320x240, one byte a dot (1 lit), row by
 * row (the text layer's characters are not drawn). */
void live_sed1335(const struct sed1335 *d, uint8_t *dots);

#endif
