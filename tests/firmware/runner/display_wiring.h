/* What the display models share: a port pin, the "NAME=C0,..." wiring
 * texts that name them, and the simulator's line of a pin. */
#ifndef DISPLAY_WIRING_H
#define DISPLAY_WIRING_H

#include <stdint.h>
#include <stdio.h>

#include <simavr/sim_avr.h>
#include <simavr/sim_irq.h>

struct pin {
  char port; /* 'A'..'G', 0 when not given */
  int bit;   /* 0..7, -1 for a whole port ("D=A") */
};

/* Reads "NAME=C0" items up to the end or a ':' into pins[i] for names[i];
 * returns 0, or -1 for an unknown name or a bad pin. */
int parse_wiring(const char *text, const char *names[], struct pin pins[], int count);

avr_irq_t *pin_irq(avr_t *avr, struct pin p);

/* Connects pins[i] to notify, which sees i as its irq number; -1 when a pin
 * is missing or names a whole port. */
int wire_signals(avr_t *avr, const struct pin pins[], int count, const char *names[],
                 avr_irq_notify_t notify, void *param);

/* A model's eight-bit data bus on a whole port: `value` follows what the MCU
 * drives; bus_drive puts the model's answer on the pins without taking it
 * for the MCU's. */
struct data_bus {
  avr_irq_t *pin[8]; /* NULL until wired */
  int value, driving;
};
void wire_data_bus(avr_t *avr, char port, struct data_bus *bus);
void bus_drive(struct data_bus *bus, int value);

/* Writes dots (one byte a dot, 1 lit, row by row) as the rows of a plain
 * PBM after its header. */
void write_dots(FILE *f, const uint8_t *dots, int width, int height);

#endif
