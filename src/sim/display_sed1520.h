// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DISPLAY_SED1520_H
#define DISPLAY_SED1520_H

#include <simavr/sim_avr.h>

struct sed1520;

/* Wires a new display to the pins the text names; NULL on a bad text. */
struct sed1520 *attach_sed1520(avr_t *avr, const char *spec);
/* Writes its picture into the file the text named; 0 or -1. */
int report_sed1520(const struct sed1520 *d);
/* The picture it shows now, 122x32, one byte a dot (1 lit), row by row. */
void live_sed1520(const struct sed1520 *d, uint8_t *dots);

#endif
