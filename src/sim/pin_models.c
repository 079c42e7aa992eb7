// SPDX-License-Identifier: GPL-3.0-or-later
#include "pin_models.h"

#include <simavr/avr_ioport.h>
#include <string.h>

int model_pin_find(avr_t* avr, const char* text, struct model_pin* p) {
  if (text[0] < 'A' || text[0] > 'G' || text[1] < '0' || text[1] > '7') return -1;
  for (avr_io_t* io = avr->io_port; io; io = io->next) {
    if (!io->kind || strcmp(io->kind, "port") || ((avr_ioport_t*)io)->name != text[0]) continue;
    avr_ioport_t* port = (avr_ioport_t*)io;
    p->port = port->r_port;
    p->ddr = port->r_ddr;
    p->pin = port->r_pin;
    p->mask = (uint8_t)(1u << (text[1] - '0'));
    return 0;
  }
  return -1;
}

int model_pin_out(avr_t* avr, const struct model_pin* p) {
  /* A pin the MCU does not drive is held high by the board's pull-up. */
  if (!(avr->data[p->ddr] & p->mask)) return 1;
  return (avr->data[p->port] & p->mask) != 0;
}

void model_pin_drive(avr_t* avr, const struct model_pin* p, int level) {
  if (level)
    avr->data[p->pin] |= p->mask;
  else
    avr->data[p->pin] &= (uint8_t)~p->mask;
}
