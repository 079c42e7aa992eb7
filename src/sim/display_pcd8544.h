// SPDX-License-Identifier: GPL-3.0-or-later
#ifndef DISPLAY_PCD8544_H
#define DISPLAY_PCD8544_H

#include <simavr/sim_avr.h>

struct pcd8544;

/* Wires a new display to the pins the text names; NULL on a bad text. */
struct pcd8544 *attach_pcd8544(avr_t *avr, const char *spec);
/* Writes its picture into the file the text named; 0 or -1. */
int report_pcd8544(const struct pcd8544 *d);
/* The picture it shows now, 84x48, one byte a dot (1 lit), row by row. */
void live_pcd8544(const struct pcd8544 *d, uint8_t *dots);

#endif
