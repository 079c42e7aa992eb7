// SPDX-License-Identifier: GPL-3.0-or-later
/* SED1520 graphic LCD controllers, two to a 122x32 module (E1 the left
 * half, E2 the right), modelled from the datasheet in its 68-series
 * interface. See displays.h for the wiring text.
 *
 * A chip takes part while its E is high: R/W high reads (the chip drives
 * the bus while E is high), low writes (latched at the falling edge of E).
 * A0 low selects instructions and status, high display data.
 * Instructions: 0xAE|on display on/off, 0xC0|n start line (0-31),
 * 0xB8|p page (0-3), 0x00-0x4F column address, 0xA0|r ADC (segment
 * order), 0xA4|s static drive, 0xA8|d duty 1/16 or 1/32, 0xE0
 * read-modify-write (reads leave the column), 0xEE its end, 0xE2 reset
 * (start line 0, column 0, page 3). Status: bit 7 busy, bit 6 ADC, bit 5
 * off, bit 4 reset. Writes advance the column; a data read outputs the
 * output register and then loads it from the RAM at the column, so the
 * first read after setting an address is a dummy. /RES low turns the
 * display off and resets as 0xE2 does. The chip is busy about 1 us after
 * an instruction or write; what arrives then is lost (counted).
 * Each chip has 80 columns of RAM and drives 61 segments: segment s shows
 * column s, or column 79-s with the ADC reversed. Picture row r shows RAM
 * row (r + start line) mod 32.
 * Bus timing (SED1520, 68-series, VDD 5 V): system cycle tCYC6 >= 1000 ns
 * (E rise to E rise of a chip), E high PWEW >= 80 ns for a write and PWER
 * >= 100 ns for a read, address (A0, R/W) set-up tAW6 >= 20 ns before E
 * rises and held tAH6 >= 10 ns after it falls, write data set-up tDS6 >=
 * 80 ns before E falls, read data valid at most tACC6 = 90 ns after E rises
 * (a read before that gets the bus's pull-ups). A write, or a data read,
 * while the busy flag is set is a fault; the status may be read at any
 * time. /RES low tRW >= 10 us. Every fault fails the run. */
#include "display_sed1520.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <simavr/avr_ioport.h>

#include "display_wiring.h"

enum { SE_A0, SE_RW, SE_RST, SE_E1, SE_E2, SE_SIGNALS };

enum { T_CYCLE, T_EWH, T_ERH, T_ASU, T_AH, T_DSU, T_ACC, T_BUSY, T_RST, T_RULES };
static const struct timing_rule se_rules[T_RULES] = {
    {"tCYC6", 1000, 0, 0, 0, 0}, {"PWEW", 80, 0, 0, 0, 0}, {"PWER", 100, 0, 0, 0, 0},
    {"tAW6", 20, 0, 0, 0, 0},    {"tAH6", 10, 0, 0, 0, 0}, {"tDS6", 80, 0, 0, 0, 0},
    {"tACC6", 0, 0, 0, 0, 0},    {"busy", 0, 0, 0, 0, 0},  {"tRW", 10000, 0, 0, 0, 0},
};
#define SE_TACC_NS 90

struct se_chip {
  uint8_t ram[4][80];
  int page, col, start, on, adc, stat, duty32, rmw, out;
};

struct sed1520 {
  avr_t *avr;
  struct se_chip chip[2];
  int level[SE_SIGNALS];
  struct data_bus bus;
  avr_cycle_count_t busy_until[2];
  long lost;
  const char *file;
  struct timing_rule rules[T_RULES];
  int64_t e_rise[2], e_fall, address_at, rst_fall;
  int seen_rise[2], seen_fall;
};

static void se_reset(struct se_chip *c) { c->start = 0, c->col = 0, c->page = 3, c->rmw = 0; }

static void se_write(struct sed1520 *d, int k) {
  struct se_chip *c = &d->chip[k];
  uint8_t b = (uint8_t)d->bus.value;
  if (d->avr->cycle < d->busy_until[k]) {
    d->lost++;
    timing_fault(d->avr, &d->rules[T_BUSY], "write while busy");
    return;
  }
  if (d->level[SE_A0]) {
    c->ram[c->page & 3][c->col % 80] = b;
    if (c->col < 80) c->col++;
  } else if ((b & 0xFE) == 0xAE) {
    c->on = b & 1;
  } else if ((b & 0xE0) == 0xC0) {
    c->start = b & 31;
  } else if ((b & 0xFC) == 0xB8) {
    c->page = b & 3;
  } else if (b <= 0x4F) {
    c->col = b;
  } else if ((b & 0xFE) == 0xA0) {
    c->adc = b & 1;
  } else if ((b & 0xFE) == 0xA4) {
    c->stat = b & 1;
  } else if ((b & 0xFE) == 0xA8) {
    c->duty32 = b & 1;
  } else if (b == 0xE0) {
    c->rmw = 1;
  } else if (b == 0xEE) {
    c->rmw = 0;
  } else if (b == 0xE2) {
    se_reset(c);
  }
  d->busy_until[k] = d->avr->cycle + d->avr->frequency / 1000000 + 1;
}

static void se_read(struct sed1520 *d, int k) {
  struct se_chip *c = &d->chip[k];
  int v;
  if (!d->level[SE_A0]) {
    int reset = !d->level[SE_RST];
    v = ((reset || d->avr->cycle < d->busy_until[k]) ? 0x80 : 0) | (c->adc ? 0x40 : 0) | (c->on ? 0 : 0x20) |
        (reset ? 0x10 : 0);
  } else {
    if (d->avr->cycle < d->busy_until[k]) timing_fault(d->avr, &d->rules[T_BUSY], "data read while busy");
    v = c->out;
    c->out = c->ram[c->page & 3][c->col % 80];
    if (!c->rmw && c->col < 80) c->col++;
  }
  bus_drive(&d->bus, v);
  d->bus.model_out = 1;
  d->bus.valid_at = d->e_rise[k] + (int64_t)(SE_TACC_NS * 2e-9 * (double)d->avr->frequency + 0.999);
}

static void se_pin(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct sed1520 *d = param;
  int which = (int)(irq->irq & 7);
  int was = d->level[which];
  if (was == (value != 0)) return;
  int64_t now = pin_edge_time(d->avr);
  d->level[which] = value != 0;
  int enabled = d->level[SE_E1] || d->level[SE_E2];
  if (which == SE_RST) {
    if (!value) {
      d->rst_fall = now;
      for (int k = 0; k < 2; k++) se_reset(&d->chip[k]), d->chip[k].on = 0;
    } else {
      timing_check(d->avr, &d->rules[T_RST], d->rst_fall, now);
    }
  } else if (which == SE_A0 || which == SE_RW) {
    if (enabled) timing_fault(d->avr, &d->rules[T_AH], "address changed while E high");
    else if (d->seen_fall) timing_check(d->avr, &d->rules[T_AH], d->e_fall, now);
    d->address_at = now;
  } else if (d->level[SE_RST]) {
    int k = which - SE_E1;
    if (value) {
      timing_check(d->avr, &d->rules[T_ASU], d->address_at, now);
      if (d->seen_rise[k]) timing_check(d->avr, &d->rules[T_CYCLE], d->e_rise[k], now);
      d->e_rise[k] = now, d->seen_rise[k] = 1;
      if (d->level[SE_RW]) se_read(d, k);
    } else {
      timing_check(d->avr, &d->rules[d->level[SE_RW] ? T_ERH : T_EWH], d->e_rise[k], now);
      d->e_fall = now, d->seen_fall = 1;
      d->bus.model_out = 0;
      if (!d->level[SE_RW]) {
        timing_check(d->avr, &d->rules[T_DSU], d->bus.changed_at, now);
        se_write(d, k);
      }
    }
  }
}

static int wire_sed1520(avr_t *avr, const char *spec, struct sed1520 *d) {
  static const char *names[] = {"D", "A0", "RW", "RST", "E1", "E2"};
  static const char *irq_names[] = {"<se.a0", "<se.rw", "<se.rst", "<se.e1", "<se.e2"};
  struct pin pins[6];
  if (parse_wiring(spec, names, pins, 6) < 0 || !pins[0].port) return -1;
  const char *file = strchr(spec, ':');
  if (!file) return -1;
  d->file = file + 1;
  d->avr = avr;
  if (wire_signals(avr, pins + 1, SE_SIGNALS, irq_names, se_pin, d) < 0) return -1;
  d->level[SE_RST] = 1;
  for (int k = 0; k < 2; k++) se_reset(&d->chip[k]);
  wire_data_bus(avr, pins[0].port, &d->bus);
  memcpy(d->rules, se_rules, sizeof d->rules);
  guard_data_bus(avr, pins[0].port, &d->bus, &d->rules[T_ACC]);
  return 0;
}

void live_sed1520(const struct sed1520 *d, uint8_t *dots) {
  for (int y = 0; y < 32; y++) {
    for (int x = 0; x < 122; x++) {
      const struct se_chip *c = &d->chip[x / 61];
      int s = x % 61, col = c->adc ? 79 - s : s, row = (y + c->start) & 31;
      int dot = c->stat || ((c->ram[row / 8][col] >> (row % 8)) & 1);
      dots[y * 122 + x] = c->on && (c->duty32 || y < 16) && dot;
    }
  }
}

int report_sed1520(const struct sed1520 *d) {
  FILE *f = fopen(d->file, "w");
  if (!f) return -1;
  fprintf(f, "P1\n# sed1520 lost=%ld\n122 32\n", d->lost);
  uint8_t dots[122 * 32];
  live_sed1520(d, dots);
  write_dots(f, dots, 122, 32);
  long faults = timing_report("sed1520", (struct timing_rule *)d->rules, T_RULES);
  return fclose(f) != 0 || faults ? -1 : 0;
}

struct sed1520 *attach_sed1520(avr_t *avr, const char *spec) {
  struct sed1520 *d = calloc(1, sizeof *d);
  if (d && wire_sed1520(avr, spec, d) == 0) return d;
  free(d);
  return NULL;
}
