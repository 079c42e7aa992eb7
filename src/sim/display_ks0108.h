// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DISPLAY_KS0108_H
#define DISPLAY_KS0108_H

#include <simavr/sim_avr.h>

struct ks0108;

/* Wires a new display to the pins the text names; NULL on a bad text. */
struct ks0108 *attach_ks0108(avr_t *avr, const char *spec);
/* Writes its picture into the file the text named; 0 or -1. */
int report_ks0108(const struct ks0108 *d);
/* The picture it shows now, one byte a dot (1 lit), row by row; sets the
 * size (128x64 or 240x64). */
void live_ks0108(const struct ks0108 *d, uint8_t *dots, int *width, int *height);

#endif
