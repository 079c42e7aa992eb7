// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * Pins of the chip models: a port letter and bit, read from the MCU's port
 * registers and driven into its PIN register. Each model follows the pins
 * after every simulated step, so timing is exact to the instruction.
 */
#ifndef PIN_MODELS_H
#define PIN_MODELS_H

#include <simavr/sim_avr.h>
#include <stdint.h>

struct model_pin {
  uint16_t port, ddr, pin; /* data addresses */
  uint8_t mask;
};

/* "C3" -> port C bit 3; 0 on success, -1 when the core lacks the port. */
int model_pin_find(avr_t* avr, const char* text, struct model_pin* p);
/* The level the MCU drives: its PORT bit, or high (a pull-up) while the pin is an input. */
int model_pin_out(avr_t* avr, const struct model_pin* p);
/* The level the MCU reads from the pin while it is an input. */
void model_pin_drive(avr_t* avr, const struct model_pin* p, int level);

#endif
