// SPDX-License-Identifier: GPL-3.0-or-later
/* SED1335 graphic LCD controller on a 320x240 module, modelled from its
 * datasheet. See displays.h for the wiring text. */
#include "display_sed1335.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "display_wiring.h"

/* Datasheet (8080 bus): the bus takes part while /CS is low; a write is
 * latched at the rising edge of /WR, a read is driven while /RD is low.
 * Write with A0 high: a command; A0 low: a parameter of the last command or,
 * after MWRITE, display data. Read with A0 low: the status flag; A0 high:
 * display data after MREAD, the cursor address (low, high) after CSRR.
 * Commands: 0x40 SYSTEM SET (P1-P8: mode, FX, FY, C/R, TC/R, L/F, AP low
 * and high), 0x53 SLEEP IN, 0x58/0x59 DISP OFF/ON (P1 attributes: FC cursor
 * D0-D1, FP block 1 D2-D3, block 2 D4-D5, block 3 D6-D7; 00 off), 0x44
 * SCROLL (SAD1 low, high, SL1, SAD2 low, high, SL2, SAD3, SAD4), 0x5D
 * CSRFORM (2), 0x50 CGRAM ADR (2), 0x4C-0x4F CSRDIR (cursor moves +1, -1,
 * -AP, +AP after each data byte), 0x5A HDOT SCR (1), 0x5B OVLAY (1; MX
 * D0-D1: OR, XOR, AND, priority OR; DM1 D2, DM2 D3: graphics in blocks 1
 * and 3; OV D4: three layers), 0x46 CSRW (cursor low, high), 0x47 CSRR,
 * 0x42 MWRITE, 0x43 MREAD. After a reset the controller takes only SYSTEM
 * SET; any other command before it, a data read with no MREAD or CSRR
 * before it, and display data with no MWRITE before it are counted as
 * violations, as is a SYSTEM SET whose values do not fit the 320x240 panel
 * (see s_apply). The display RAM's content at power-up is undefined (the model
 * starts it with a pattern). Block 1 is the text layer, 8x8 cells of the
 * internal character ROM (the model writes its character codes to a text
 * file; the checker draws them); block 2 is the graphic layer, one byte
 * eight dots, D7 on the left.
 * Bus timing (S1D13305/SED1335, 8080 family, VDD 4.5-5.5 V): address (A0,
 * /CS) set-up tAW8 >= 0 ns before the strobe (/RD or /WR with /CS low)
 * starts and held tAH8 >= 10 ns after it ends; strobe low tCC >= 120 ns;
 * write data set-up tDS8 >= 120 ns before /WR rises; read data valid at most
 * tACC8 = 50 ns after /RD falls (a read before that gets the bus's
 * pull-ups); system cycle tCYC8 >= 4 tC + tCC + 30 ns from one strobe to the
 * next, tC the period of the module's oscillator (10 MHz here, the most the
 * controller takes at 5 V: 550 ns). /RES low >= 200 us; after /RES rises the
 * oscillator has to start before the first access: the model asks for
 * 1 ms (the datasheet gives the start-up as a few milliseconds at most).
 * The status flag (D6) reports the display's own
 * memory reads, not a state that refuses commands, so it is read as 0.
 * Every fault fails the run. */

enum { S_CS, S_A0, S_RD, S_WR, S_RST, S_SIGNALS };
enum { W = 320, H = 240 };

enum { T_AW, T_AH, T_CC, T_DS, T_ACC, T_CYC, T_RST, T_WAKE, T_RULES };
static const struct timing_rule s_rules[T_RULES] = {
    {"tAW8", 0, 0, 0, 0, 0},   {"tAH8", 10, 0, 0, 0, 0},    {"tCC", 120, 0, 0, 0, 0},
    {"tDS8", 120, 0, 0, 0, 0}, {"tACC8", 0, 0, 0, 0, 0},    {"tCYC8", 550, 0, 0, 0, 0},
    {"tRES", 200000, 0, 0, 0, 0}, {"oscillator", 1000000, 0, 0, 0, 0},
};
#define S_TACC_NS 50

struct sed1335 {
  avr_t *avr;
  int level[S_SIGNALS];
  struct data_bus bus;
  uint8_t ram[65536];
  uint8_t param[16];
  int cmd, nparam, reads, sysset, on, attr, ovlay;
  unsigned cursor, sad1, sad2, ap, cr, lf, fy;
  int step; /* cursor direction */
  long violations, writes;
  const char *file;
  struct timing_rule rules[T_RULES];
  int64_t address_at, strobe_at, strobe_end, rst_fall, rst_rise;
  int seen_strobe, seen_end, seen_rst, wake_checked;
};

static void s_apply(struct sed1335 *d) {
  const uint8_t *p = d->param;
  switch (d->cmd) {
    case 0x40:
      if (d->nparam == 8) {
        /* SYSTEM SET for this 320x240 single panel: P1 0 0 IV 1 W/S M2 M1
         * M0 with W/S 0 (one panel); FX (P2) and FY (P3) at most 8 and 16
         * dots; C/R (P4) one byte less than the 320 dots' bytes in a row of
         * FX+1-dot characters; TC/R (P5) at least C/R + 4; L/F (P6) 239 for
         * 240 lines; AP (P7, P8) no less than C/R + 1. */
        unsigned fx = (p[1] & 0x0F) + 1u, want_cr = (W + fx - 1) / fx - 1u;
        const char *bad = (p[0] & 0xD8) != 0x10            ? "P1 (D4 set, D7, D6 and W/S clear)"
                          : (p[1] & 0x0F) > 7 || (p[2] & 0x0F) > 15 ? "FX or FY"
                          : p[3] != want_cr                 ? "C/R for 320 dots"
                          : p[4] < p[3] + 4                 ? "TC/R below C/R + 4"
                          : p[5] != H - 1                   ? "L/F for 240 lines"
                          : (p[6] | (unsigned)p[7] << 8) < p[3] + 1u ? "AP below C/R + 1"
                                                            : NULL;
        if (bad) {
          d->violations++;
          fprintf(stderr, "sed1335: SYSTEM SET with a bad %s: %02X %02X %02X %02X %02X %02X %02X %02X\n", bad, p[0],
                  p[1], p[2], p[3], p[4], p[5], p[6], p[7]);
        }
      }
      if (d->nparam >= 8) {
        d->fy = (p[2] & 0x0F) + 1u;
        d->cr = p[3] + 1u;
        d->lf = p[5] + 1u;
        d->ap = p[6] | (unsigned)p[7] << 8;
        d->sysset = 1;
      }
      break;
    case 0x44:
      if (d->nparam >= 2) d->sad1 = p[0] | (unsigned)p[1] << 8;
      if (d->nparam >= 5) d->sad2 = p[3] | (unsigned)p[4] << 8;
      break;
    case 0x58: case 0x59:
      if (d->nparam >= 1) d->attr = p[0];
      break;
    case 0x5B:
      if (d->nparam >= 1) d->ovlay = p[0];
      break;
    case 0x46:
      if (d->nparam == 1) d->cursor = (d->cursor & 0xFF00) | p[0];
      if (d->nparam == 2) d->cursor = (d->cursor & 0x00FF) | (unsigned)p[1] << 8;
      break;
  }
}

static void s_write(struct sed1335 *d) {
  uint8_t b = (uint8_t)d->bus.value;
  if (d->level[S_A0]) {
    if (!d->sysset && b != 0x40) {
      d->violations++;
      return;
    }
    d->cmd = b, d->nparam = 0, d->reads = 0;
    if (b == 0x58 || b == 0x59) d->on = b & 1;
    else if (b >= 0x4C && b <= 0x4F) {
      int steps[] = {1, -1, -(int)d->ap, (int)d->ap};
      d->step = steps[b - 0x4C];
    }
    return;
  }
  if (d->cmd == 0x42) {
    d->ram[d->cursor & 0xFFFF] = b;
    d->cursor = (d->cursor + (unsigned)d->step) & 0xFFFF;
    d->writes++;
  } else if (d->cmd < 0) {
    d->violations++;
  } else if (d->nparam < (int)sizeof d->param) {
    d->param[d->nparam++] = b;
    s_apply(d);
  }
}

static void s_read(struct sed1335 *d) {
  int v = 0;
  if (!d->level[S_A0]) {
    v = 0x00; /* status flag: not busy */
  } else if (d->cmd == 0x43) {
    v = d->ram[d->cursor & 0xFFFF];
    d->cursor = (d->cursor + (unsigned)d->step) & 0xFFFF;
  } else if (d->cmd == 0x47) {
    v = d->reads++ & 1 ? (int)(d->cursor >> 8) : (int)(d->cursor & 0xFF);
  } else {
    d->violations++;
  }
  bus_drive(&d->bus, v);
  d->bus.model_out = 1;
  d->bus.valid_at = d->strobe_at + (int64_t)(S_TACC_NS * 2e-9 * (double)d->avr->frequency + 0.999);
}

static void s_pin(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct sed1335 *d = param;
  int which = (int)(irq->irq & 7);
  if (d->level[which] == (value != 0)) return;
  int64_t now = pin_edge_time(d->avr);
  int wrote = !d->level[S_CS] && !d->level[S_WR];
  int read = !d->level[S_CS] && !d->level[S_RD];
  d->level[which] = value != 0;
  if (which == S_RST) {
    if (!value) {
      d->sysset = 0, d->on = 0, d->cmd = -1, d->step = 1;
      d->rst_fall = now, d->seen_rst = 1;
    } else {
      if (d->seen_rst) timing_check(d->avr, &d->rules[T_RST], d->rst_fall, now);
      d->rst_rise = now, d->wake_checked = 0;
    }
    return;
  }
  if (!d->level[S_RST]) return;
  int writing = !d->level[S_CS] && !d->level[S_WR];
  int reading = !d->level[S_CS] && !d->level[S_RD];
  if (which == S_A0) {
    if (wrote || read) timing_fault(d->avr, &d->rules[T_AH], "A0 changed during the strobe");
    else if (d->seen_end) timing_check(d->avr, &d->rules[T_AH], d->strobe_end, now);
    d->address_at = now;
  }
  if ((writing && !wrote) || (reading && !read)) {
    timing_check(d->avr, &d->rules[T_AW], d->address_at, now);
    if (d->seen_strobe) timing_check(d->avr, &d->rules[T_CYC], d->strobe_at, now);
    if (!d->wake_checked && d->seen_rst) {
      timing_check(d->avr, &d->rules[T_WAKE], d->rst_rise, now);
      d->wake_checked = 1;
    }
    d->strobe_at = now, d->seen_strobe = 1;
  }
  if ((wrote && !writing) || (read && !reading)) {
    timing_check(d->avr, &d->rules[T_CC], d->strobe_at, now);
    d->strobe_end = now, d->seen_end = 1;
    d->bus.model_out = 0;
  }
  if (wrote && !writing) {
    timing_check(d->avr, &d->rules[T_DS], d->bus.changed_at, now);
    s_write(d);
  }
  if (!read && reading) s_read(d);
}

static int wire_sed1335(avr_t *avr, const char *spec, struct sed1335 *d) {
  static const char *names[] = {"D", "CS", "A0", "RD", "WR", "RST"};
  static const char *irq_names[] = {"<sed.cs", "<sed.a0", "<sed.rd", "<sed.wr", "<sed.rst"};
  struct pin pins[6];
  if (parse_wiring(spec, names, pins, 6) < 0 || !pins[0].port) return -1;
  const char *file = strchr(spec, ':');
  if (!file) return -1;
  d->file = file + 1;
  d->avr = avr;
  d->cmd = -1, d->step = 1;
  unsigned seed = 4242;
  for (size_t i = 0; i < sizeof d->ram; i++) {
    seed = seed * 1103515245u + 12345u;
    d->ram[i] = (uint8_t)(seed >> 16);
  }
  for (int i = 0; i < S_SIGNALS; i++) d->level[i] = 1;
  if (wire_signals(avr, pins + 1, S_SIGNALS, irq_names, s_pin, d) < 0) return -1;
  wire_data_bus(avr, pins[0].port, &d->bus);
  memcpy(d->rules, s_rules, sizeof d->rules);
  guard_data_bus(avr, pins[0].port, &d->bus, &d->rules[T_ACC]);
  return 0;
}

void live_sed1335(const struct sed1335 *d, uint8_t *dots) {
  int graphic_on = d->on && d->sysset && (d->attr & 0x30);
  for (int y = 0; y < H; y++) {
    for (int x = 0; x < W; x++) {
      uint8_t b = d->ram[(d->sad2 + (unsigned)y * d->ap + (unsigned)x / 8) & 0xFFFF];
      dots[y * W + x] = graphic_on && ((b >> (7 - x % 8)) & 1);
    }
  }
}

/* FILE: the graphic layer as a PBM; FILE.txt: the text layer, one line per
 * row of character cells, codes outside 0x20-0x7E as '?'. A layer that is
 * switched off shows nothing. */
int report_sed1335(const struct sed1335 *d) {
  int text_on = d->on && d->sysset && (d->attr & 0x0C);
  int graphic_on = d->on && d->sysset && (d->attr & 0x30);
  FILE *f = fopen(d->file, "w");
  if (!f) return -1;
  fprintf(f, "P1\n# sed1335 display %s text %s graphic %s ovlay %d cr %u lf %u ap %u violations %ld writes %ld\n%d %d\n",
          d->on ? "on" : "off", text_on ? "on" : "off", graphic_on ? "on" : "off", d->ovlay, d->cr, d->lf, d->ap,
          d->violations, d->writes, W, H);
  static uint8_t dots[W * H];
  live_sed1335(d, dots);
  write_dots(f, dots, W, H);
  if (fclose(f) != 0) return -1;
  char path[4096];
  snprintf(path, sizeof path, "%s.txt", d->file);
  f = fopen(path, "w");
  if (!f) return -1;
  unsigned rows = d->fy ? d->lf / d->fy : 0;
  for (unsigned r = 0; r < rows; r++) {
    for (unsigned c = 0; c < d->cr; c++) {
      uint8_t ch = d->ram[(d->sad1 + r * d->ap + c) & 0xFFFF];
      fputc(!text_on ? ' ' : ch >= 0x20 && ch < 0x7F ? ch : '?', f);
    }
    fputc('\n', f);
  }
  long faults = timing_report("sed1335", (struct timing_rule *)d->rules, T_RULES);
  return fclose(f) != 0 || faults ? -1 : 0;
}

struct sed1335 *attach_sed1335(avr_t *avr, const char *spec) {
  struct sed1335 *d = calloc(1, sizeof *d);
  if (d && wire_sed1335(avr, spec, d) == 0) return d;
  free(d);
  return NULL;
}
