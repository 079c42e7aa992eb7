// SPDX-License-Identifier: GPL-3.0-or-later
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
  int64_t changed_at; /* pin time the MCU last changed a data line */
  int64_t valid_at;   /* pin time the model's output becomes valid */
  int model_out;      /* the model drives the bus (a read strobe is on) */
  avr_t *avr;
  struct timing_rule *rule;
  avr_io_read_t chained_read;
  void *chained_param;
};
void wire_data_bus(avr_t *avr, char port, struct data_bus *bus);
/* From now on a read of the bus port's input register before the model's
 * data is valid (bus->valid_at, a pin time) gets the pull-ups, 0xFF, as on
 * a real board, and counts against `rule` (which may be NULL: no check). */
struct timing_rule;
void guard_data_bus(avr_t *avr, char port, struct data_bus *bus, struct timing_rule *rule);
void bus_drive(struct data_bus *bus, int value);

/* Writes dots (one byte a dot, 1 lit, row by row) as the rows of a plain
 * PBM after its header. */
void write_dots(FILE *f, const uint8_t *dots, int width, int height);

/* ---- timing against the datasheets --------------------------------------
 * Pin times count half cycles of the MCU clock. A port write changes the pin
 * at the end of its instruction (OUT one cycle, SBI, CBI and STS two); a port
 * read samples the pins half a cycle before its instruction starts (the
 * input synchroniser), so a value must have settled by then. */
int64_t pin_edge_time(avr_t *avr);   /* while a port write executes */
int64_t pin_sample_time(avr_t *avr); /* while a port read executes */
double pin_ns(avr_t *avr, int64_t half_cycles);

/* One timing of a datasheet: at least min_ns, at most max_ns (0: no upper
 * bound). Each check records the least slack seen; a broken rule counts a
 * fault, and the first few are printed with the cycle they happened at. */
struct timing_rule {
  const char *name;
  double min_ns, max_ns;
  double slack_ns;
  long checks, faults;
};
/* Checks the time from `from` to `to` (pin times); returns 1 when met. */
int timing_check(avr_t *avr, struct timing_rule *r, int64_t from, int64_t to);
/* Counts a fault that is not a time (a write while busy, a bad value). */
void timing_fault(avr_t *avr, struct timing_rule *r, const char *what);
/* Prints "timing MODEL RULE min=.. max=.. slack=..ns checks=N faults=M" for
 * each rule that was checked; returns the number of faults. */
long timing_report(const char *model, struct timing_rule *rules, int count);

#endif
