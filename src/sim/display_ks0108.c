// SPDX-License-Identifier: GPL-3.0-or-later
/* KS0108 64x64 graphic controllers, two or four to a module, modelled from
 * the datasheet. See displays.h for the wiring text. */
#include "display_ks0108.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <simavr/avr_ioport.h>

#include "display_wiring.h"

/* ---- KS0108: 64x64 dots per chip, parallel, read and write ------------- */
/* Datasheet: a chip takes part while its /CS is low. D/I low selects
 * instructions and status, high display data; R/W high reads. Writes are
 * latched at the falling edge of E; on a read the chip drives the bus while
 * E is high. Instructions: 0x3E|on display on/off, 0x40|Y column,
 * 0xB8|X page, 0xC0|Z start line. Status: bit 7 busy, bit 5 off, bit 4
 * reset. A data read outputs the output register and then loads it from the
 * RAM at the address, which advances, as a write does: the first read after
 * setting an address is a dummy. The chip is busy for about 1 us after an
 * instruction or write and while /RST is low. Picture row r shows RAM row
 * (r + Z) mod 64. Modules with four chips have 240 columns: chips 1 to 3
 * drive 64 columns each, chip 4 the last 48.
 * Bus timing (KS0108B, VDD 4.5-5.5 V): E cycle >= 1000 ns, E high >= 450 ns,
 * E low >= 450 ns, address (D/I, R/W, /CS) set-up >= 140 ns before E rises
 * and held >= 10 ns after it falls, write data set-up >= 200 ns before E
 * falls, read data valid at most 320 ns after E rises (a read before that
 * gets the bus's pull-ups). Accessing the RAM or writing an instruction while
 * the busy flag is set is a fault; the status may be read at any time. /RST
 * low >= 1 us. Every fault fails the run. */

enum { KS_E, KS_RW, KS_DI, KS_RST, KS_CS1 };
#define KS_SIGNALS 8

enum { T_CYCLE, T_EH, T_EL, T_ASU, T_AH, T_DSU, T_DDR, T_BUSY, T_RST, T_RULES };
static const struct timing_rule ks_rules[T_RULES] = {
    {"tCYC", 1000, 0, 0, 0, 0}, {"PWEH", 450, 0, 0, 0, 0}, {"PWEL", 450, 0, 0, 0, 0},
    {"tASU", 140, 0, 0, 0, 0},  {"tAH", 10, 0, 0, 0, 0},   {"tDSU", 200, 0, 0, 0, 0},
    {"tDDR", 0, 0, 0, 0, 0},    {"busy", 0, 0, 0, 0, 0},   {"tRST", 1000, 0, 0, 0, 0},
};
#define KS_TDDR_NS 320

struct ks_chip {
  uint8_t ram[8][64];
  int page, col, start, on, out;
};

struct ks0108 {
  avr_t *avr;
  struct ks_chip chip[4];
  int chips, width, level[KS_SIGNALS];
  struct data_bus bus;
  avr_cycle_count_t busy_until;
  struct timing_rule rules[T_RULES];
  int64_t e_rise, e_fall, address_at, rst_fall;
  int seen_rise, seen_fall;
  long lit, run_start_lit;
  int frozen, zero_run;
  uint8_t run_start[4][8][64], first[4][8][64];
  const char *file;
};

static int ks_selected(const struct ks0108 *d, int k) { return !d->level[KS_CS1 + k]; }

/* A clear writes zeros over whole pages without setting an address in
 * between; text and dots write a few after each address. The RAM as it was
 * when the first clear after drawing began is the first picture. */
#define KS_CLEAR_RUN 64

static void ks_put(struct ks0108 *d, struct ks_chip *c, uint8_t v) {
  if (v) {
    d->zero_run = 0;
  } else if (d->zero_run++ == 0) {
    d->run_start_lit = d->lit;
    for (int k = 0; k < d->chips; k++) memcpy(d->run_start[k], d->chip[k].ram, sizeof d->chip[k].ram);
  } else if (d->zero_run == KS_CLEAR_RUN && d->run_start_lit > 0 && !d->frozen) {
    memcpy(d->first, d->run_start, sizeof d->first);
    d->frozen = 1;
  }
  uint8_t old = c->ram[c->page][c->col];
  c->ram[c->page][c->col] = v;
  d->lit += __builtin_popcount(v) - __builtin_popcount(old);
}

static void ks_write(struct ks0108 *d) {
  if (d->avr->cycle < d->busy_until) timing_fault(d->avr, &d->rules[T_BUSY], "write while busy");
  if (!d->level[KS_DI]) d->zero_run = 0; /* an instruction ends a run of zeros */
  for (int k = 0; k < d->chips; k++) {
    if (!ks_selected(d, k)) continue;
    struct ks_chip *c = &d->chip[k];
    uint8_t b = (uint8_t)d->bus.value;
    if (d->level[KS_DI]) {
      ks_put(d, c, b);
      c->col = (c->col + 1) & 63;
    } else if ((b & 0xFE) == 0x3E) {
      c->on = b & 1;
    } else if ((b & 0xC0) == 0x40) {
      c->col = b & 63;
    } else if ((b & 0xF8) == 0xB8) {
      c->page = b & 7;
    } else if ((b & 0xC0) == 0xC0) {
      c->start = b & 63;
    }
  }
  d->busy_until = d->avr->cycle + d->avr->frequency / 1000000 + 1;
}

static void ks_read(struct ks0108 *d) {
  for (int k = 0; k < d->chips; k++) {
    if (!ks_selected(d, k)) continue;
    struct ks_chip *c = &d->chip[k];
    int v;
    if (!d->level[KS_DI]) {
      int reset = !d->level[KS_RST];
      v = ((reset || d->avr->cycle < d->busy_until) ? 0x80 : 0) | (c->on ? 0 : 0x20) | (reset ? 0x10 : 0);
    } else {
      if (d->avr->cycle < d->busy_until) timing_fault(d->avr, &d->rules[T_BUSY], "data read while busy");
      v = c->out;
      c->out = c->ram[c->page][c->col];
      c->col = (c->col + 1) & 63;
    }
    bus_drive(&d->bus, v);
    d->bus.model_out = 1;
    d->bus.valid_at = d->e_rise + (int64_t)(KS_TDDR_NS * 2e-9 * (double)d->avr->frequency + 0.999);
    return; /* one chip drives the bus */
  }
}

static int ks_any_selected(const struct ks0108 *d) {
  for (int k = 0; k < d->chips; k++)
    if (ks_selected(d, k)) return 1;
  return 0;
}

static void ks_pin(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct ks0108 *d = param;
  int which = (int)(irq->irq & 15);
  int was = d->level[which];
  if (was == (value != 0)) return;
  int64_t now = pin_edge_time(d->avr);
  int active = d->level[KS_RST] && (ks_any_selected(d) || (which >= KS_CS1 && !value));
  d->level[which] = value != 0;
  if (which == KS_RST) {
    if (!value) {
      d->rst_fall = now;
      for (int k = 0; k < d->chips; k++) d->chip[k].on = 0, d->chip[k].start = 0;
    } else {
      timing_check(d->avr, &d->rules[T_RST], d->rst_fall, now);
    }
  } else if (which != KS_E) {
    /* D/I, R/W or a /CS: the address of the next access */
    if (active && d->level[KS_E]) timing_fault(d->avr, &d->rules[T_AH], "address changed while E high");
    else if (active && d->seen_fall) timing_check(d->avr, &d->rules[T_AH], d->e_fall, now);
    d->address_at = now;
  } else if (value) {
    if (active) {
      timing_check(d->avr, &d->rules[T_ASU], d->address_at, now);
      if (d->seen_fall) timing_check(d->avr, &d->rules[T_EL], d->e_fall, now);
      if (d->seen_rise) timing_check(d->avr, &d->rules[T_CYCLE], d->e_rise, now);
    }
    d->e_rise = now, d->seen_rise = 1;
    if (d->level[KS_RW] && d->level[KS_RST]) ks_read(d);
  } else {
    if (active) {
      timing_check(d->avr, &d->rules[T_EH], d->e_rise, now);
      if (!d->level[KS_RW]) timing_check(d->avr, &d->rules[T_DSU], d->bus.changed_at, now);
    }
    d->e_fall = now, d->seen_fall = 1;
    d->bus.model_out = 0;
    if (!d->level[KS_RW] && d->level[KS_RST]) ks_write(d);
  }
}

static int wire_ks0108(avr_t *avr, const char *spec, struct ks0108 *d) {
  static const char *names[] = {"D", "E", "RW", "DI", "RST", "CS1", "CS2", "CS3", "CS4"};
  static const char *irq_names[] = {"<ks.e",   "<ks.rw",  "<ks.di",  "<ks.rst",
                                    "<ks.cs1", "<ks.cs2", "<ks.cs3", "<ks.cs4"};
  struct pin pins[9];
  if (parse_wiring(spec, names, pins, 9) < 0 || !pins[0].port) return -1;
  const char *file = strchr(spec, ':');
  if (!file) return -1;
  d->file = file + 1;
  d->avr = avr;
  d->chips = pins[7].port ? 4 : 2;
  d->width = d->chips == 4 ? 240 : 128;
  for (int i = 0; i < KS_SIGNALS; i++) d->level[i] = 1;
  if (wire_signals(avr, pins + 1, 4 + d->chips, irq_names, ks_pin, d) < 0) return -1;
  wire_data_bus(avr, pins[0].port, &d->bus);
  memcpy(d->rules, ks_rules, sizeof d->rules);
  guard_data_bus(avr, pins[0].port, &d->bus, &d->rules[T_DDR]);
  return 0;
}

/* The picture of the RAM now, or of the first picture kept. */
static void ks_picture(const struct ks0108 *d, int first, uint8_t *dots) {
  for (int y = 0; y < 64; y++) {
    for (int x = 0; x < d->width; x++) {
      int k = x / 64;
      const struct ks_chip *c = &d->chip[k];
      int row = (y + c->start) & 63;
      const uint8_t(*ram)[64] = first ? d->first[k] : c->ram;
      dots[y * d->width + x] = c->on && ((ram[row / 8][x % 64] >> (row % 8)) & 1);
    }
  }
}

void live_ks0108(const struct ks0108 *d, uint8_t *dots, int *width, int *height) {
  ks_picture(d, 0, dots);
  *width = d->width, *height = 64;
}

int report_ks0108(const struct ks0108 *d) {
  FILE *f = fopen(d->file, "w");
  if (!f) return -1;
  fprintf(f, "P1\n# ks0108 %s\n%d 64\n", d->frozen ? "first picture" : "at the end", d->width);
  uint8_t dots[240 * 64];
  ks_picture(d, d->frozen, dots);
  write_dots(f, dots, d->width, 64);
  long faults = timing_report("ks0108", (struct timing_rule *)d->rules, T_RULES);
  return fclose(f) != 0 || faults ? -1 : 0;
}

struct ks0108 *attach_ks0108(avr_t *avr, const char *spec) {
  struct ks0108 *d = calloc(1, sizeof *d);
  if (d && wire_ks0108(avr, spec, d) == 0) return d;
  free(d);
  return NULL;
}
