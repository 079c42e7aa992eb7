// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * A VS1003 MP3 decoder on the SPI, modelled from its datasheet as a
 * recorder. XCS low: SCI, 0x02 address high low writes a register, 0x03
 * address reads one (answered on the following two bytes). XDCS low: SDI,
 * every byte goes into a 2048-byte FIFO that the decoder drains at 4 KB/s;
 * DREQ is high while at least 32 bytes are free. XRST low resets the chip
 * (DREQ low until it is ready again), as does SM_RESET in SCI_MODE. Faults:
 * an SDI byte with the FIFO full, an SCI access while DREQ is low, XCS and
 * XDCS low together, an SPI clock above CLKI/7 for an SCI read or CLKI/4
 * for an SCI write or SDI (CLKI: 12.288 MHz times CLOCKF's SC_MULT); the
 * least slack of the SCK period is reported.
 */
#ifndef VS1003_MODEL_H
#define VS1003_MODEL_H

#include <simavr/sim_avr.h>
#include <stdio.h>

struct vs1003;

/* `wiring` is "XRST:DREQ:XDCS:XCS:FILE", e.g. "B0:B1:B2:B3:sdi.bin"; the
   SDI bytes are written to FILE. */
struct vs1003* vs1003_attach(avr_t* avr, const char* wiring);
void vs1003_step(struct vs1003* v);
/* The SDI bytes received so far, all of them in FILE once this returns. */
unsigned long vs1003_bytes(struct vs1003* v);
/* The SCI registers last written and the counts; closes FILE. */
void vs1003_report(struct vs1003* v, FILE* out);

#endif
