// SPDX-License-Identifier: GPL-3.0-or-later
/* PCD8544 84x48 serial graphic controller, modelled from the datasheet.
 * See displays.h for the wiring text. */
#include "display_pcd8544.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <simavr/avr_ioport.h>

#include "display_wiring.h"

/* ---- PCD8544: 84x48, serial, write only --------------------------------- */
/* Datasheet: with SCE low, SDIN is sampled on each rising SCLK edge, MSB
 * first; D/C is read with the eighth bit. Instructions: 0x20|PD<<2|V<<1|H
 * function set; with H=0: 0x08|D<<2|E display control, 0x40|Y, 0x80|X;
 * with H=1: temperature, bias and Vop (no effect on the picture). Data goes
 * to RAM[Y][X], then X (V=0) or Y (V=1) advances, wrapping. /RES low clears
 * the registers and blanks the display.
 * Checked, each fault failing the run: a /RES pulse (>= 100 ns) before the
 * first byte, as the power-on sequence asks; after it the chip is powered
 * down (PD=1) until a function set clears PD, and display data written
 * powered down is a fault; Y above 5 and X above 83 are not addresses; a
 * display shown needs the bias for its 1:48 multiplex (BS 3, n = 4) and a
 * Vop giving 6.0 to 8.5 V (VLCD = 3.06 V + Vop x 0.06 V: 49..90). Serial
 * timing (VDD 2.7-3.3 V, the worst case): SCLK high and low >= 100 ns, SDIN
 * set-up and hold >= 100 ns around the rising edge, SCE set-up >= 60 ns. */

enum { PCD_RES, PCD_SCE, PCD_SDIN, PCD_SCLK, PCD_DC };
enum { R_WH, R_WL, R_SU, R_HD, R_SCE, R_RES, R_CMD, R_RULES };
static const struct timing_rule pcd_rules[R_RULES] = {
    {"tWH", 100, 0, 0, 0, 0}, {"tWL", 100, 0, 0, 0, 0},  {"tSU", 100, 0, 0, 0, 0},     {"tH", 100, 0, 0, 0, 0},
    {"tSCE", 60, 0, 0, 0, 0}, {"tRES", 100, 0, 0, 0, 0}, {"commands", 0, 0, 0, 0, 0},
};

struct pcd8544 {
  avr_t *avr;
  uint8_t ram[6][84];
  int x, y, h, v, mode; /* mode: D<<1|E, 2 = normal */
  int pd, vop, bias, was_reset;
  int bits, shift, level[5];
  const char *file;
  unsigned long bytes;
  struct timing_rule rules[R_RULES];
  int64_t changed[5], rise, fall;
};

static void pcd_byte(struct pcd8544 *d, uint8_t b) {
  d->bytes++;
  struct timing_rule *c = &d->rules[R_CMD];
  if (!d->was_reset) timing_fault(d->avr, c, "byte before any /RES pulse");
  if (d->level[PCD_DC] && d->pd) timing_fault(d->avr, c, "display data written powered down");
  if (d->level[PCD_DC]) {
    d->ram[d->y][d->x] = b;
    if (d->v) {
      if (++d->y == 6) d->y = 0, d->x = (d->x + 1) % 84;
    } else if (++d->x == 84) {
      d->x = 0, d->y = (d->y + 1) % 6;
    }
  } else if ((b & 0xF8) == 0x20) {
    d->h = b & 1;
    d->v = (b >> 1) & 1;
    d->pd = (b >> 2) & 1;
  } else if (d->h && (b & 0x80)) {
    d->vop = b & 0x7F;
  } else if (d->h && (b & 0xF8) == 0x10) {
    d->bias = b & 7;
  } else if (!d->h && (b & 0xF8) == 0x40) {
    if ((b & 7) < 6) d->y = b & 7;
    else timing_fault(d->avr, c, "page address above 5");
  } else if (!d->h && (b & 0x80)) {
    if ((b & 0x7F) < 84) d->x = b & 0x7F;
    else timing_fault(d->avr, c, "column address above 83");
  } else if (!d->h && (b & 0xF8) == 0x08) {
    d->mode = ((b >> 1) & 2) | (b & 1);
  }
}

static void pcd_pin(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct pcd8544 *d = param;
  int which = (int)(irq->irq & 7);
  int was = d->level[which];
  if (was == (value != 0)) return;
  d->level[which] = value != 0;
  int64_t now = pin_edge_time(d->avr), before = d->changed[which];
  d->changed[which] = now;
  struct timing_rule *r = d->rules;
  if (which == PCD_RES) {
    if (!value) {
      d->x = d->y = d->h = d->v = d->mode = 0, d->bits = 0, d->pd = 1;
    } else {
      timing_check(d->avr, &r[R_RES], before, now);
      d->was_reset = 1;
    }
  } else if (which == PCD_SCE && value) {
    d->bits = 0; /* a byte cut short by SCE is dropped */
  } else if (which == PCD_SDIN && !d->level[PCD_SCE] && d->rise > d->changed[PCD_SCE] && d->rise >= before) {
    timing_check(d->avr, &r[R_HD], d->rise, now);
  } else if (which == PCD_SCLK && !d->level[PCD_SCE] && d->level[PCD_RES]) {
    if (value) {
      timing_check(d->avr, &r[R_SCE], d->changed[PCD_SCE], now);
      timing_check(d->avr, &r[R_SU], d->changed[PCD_SDIN], now);
      if (d->fall > d->changed[PCD_SCE]) timing_check(d->avr, &r[R_WL], d->fall, now);
      d->rise = now;
      d->shift = (d->shift << 1) | d->level[PCD_SDIN];
      if (++d->bits == 8) pcd_byte(d, (uint8_t)d->shift), d->bits = 0;
    } else {
      if (d->rise > d->changed[PCD_SCE]) timing_check(d->avr, &r[R_WH], d->rise, now);
      d->fall = now;
    }
  }
}

static int wire_pcd8544(avr_t *avr, const char *spec, struct pcd8544 *d) {
  static const char *names[] = {"RES", "SCE", "SDIN", "SCLK", "DC"};
  static const char *irq_names[] = {"<pcd.res", "<pcd.sce", "<pcd.sdin", "<pcd.sclk", "<pcd.dc"};
  struct pin pins[5];
  if (parse_wiring(spec, names, pins, 5) < 0) return -1;
  const char *file = strchr(spec, ':');
  if (!file) return -1;
  d->file = file + 1;
  d->avr = avr;
  d->pd = 1;
  memcpy(d->rules, pcd_rules, sizeof d->rules);
  avr_irq_t *in = avr_alloc_irq(&avr->irq_pool, 0, 5, irq_names);
  for (int i = 0; i < 5; i++) {
    if (!pins[i].port || pins[i].bit < 0) return -1;
    d->level[i] = 1;
    in[i].irq = (uint32_t)i;
    avr_connect_irq(pin_irq(avr, pins[i]), in + i);
    avr_irq_register_notify(in + i, pcd_pin, d);
  }
  return 0;
}

void live_pcd8544(const struct pcd8544 *d, uint8_t *dots) {
  for (int y = 0; y < 48; y++) {
    for (int x = 0; x < 84; x++) {
      int on = (d->ram[y / 8][x] >> (y % 8)) & 1;
      if (d->mode == 0) on = 0;
      if (d->mode == 1) on = 1;
      if (d->mode == 3) on = !on;
      dots[y * 84 + x] = (uint8_t)on;
    }
  }
}

int report_pcd8544(const struct pcd8544 *d) {
  FILE *f = fopen(d->file, "w");
  if (!f) return -1;
  fprintf(f, "P1\n# pcd8544 mode=%d bytes=%lu\n84 48\n", d->mode, d->bytes);
  uint8_t dots[84 * 48];
  live_pcd8544(d, dots);
  write_dots(f, dots, 84, 48);
  struct pcd8544 *m = (struct pcd8544 *)d;
  if (d->mode && !d->pd && d->bytes) {
    if (d->bias != 3) timing_fault(m->avr, &m->rules[R_CMD], "bias not n=4 (BS 3) for the 1:48 multiplex");
    if (d->vop < 49 || d->vop > 90) timing_fault(m->avr, &m->rules[R_CMD], "Vop outside 6.0..8.5 V");
  } else if (d->bytes) {
    timing_fault(m->avr, &m->rules[R_CMD], "display left off or powered down");
  }
  fprintf(stdout, "pcd8544 vop=%d bias=%d pd=%d\n", d->vop, d->bias, d->pd);
  long faults = timing_report("pcd8544", m->rules, R_RULES);
  return fclose(f) != 0 || faults ? -1 : 0;
}

struct pcd8544 *attach_pcd8544(avr_t *avr, const char *spec) {
  struct pcd8544 *d = calloc(1, sizeof *d);
  if (d && wire_pcd8544(avr, spec, d) == 0) return d;
  free(d);
  return NULL;
}
