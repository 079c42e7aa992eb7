// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * An STA013 MPEG audio decoder's control port on the TWI bus, from the
 * STA013 datasheet (see sta013_model.c).
 */
#ifndef STA013_MODEL_H
#define STA013_MODEL_H
#include <simavr/sim_avr.h>
#include <stdio.h>

/* Puts the STA013 at 0x86/0x87 on the bus (the TWI master must be mended
 * first, twi_master_mend); 0, or -1 when the core has no TWI. */
int sta013_attach(avr_t* avr, int verbose);
/* Prints two lines: every register write in order, then the state:
 *   sta013 writes RR=VV RR=VV ...
 *   sta013 ident=N play=P mute=M run=R dla=XX dra=XX resets=S faults=F */
void sta013_report(FILE* out);
#endif
