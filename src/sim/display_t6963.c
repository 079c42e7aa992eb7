// SPDX-License-Identifier: GPL-3.0-or-later
/* T6963C graphic LCD controller, modelled from its datasheet. See
 * displays.h for the wiring text. */
#include "display_t6963.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "display_wiring.h"

/* Datasheet: the bus takes part while /CE is low. C/D high: a write is a
 * command, a read the status; C/D low: data. A write is latched at the
 * rising edge of /WR (or /CE); on a read the controller drives the bus while
 * /RD and /CE are low. Commands take their one or two parameters from the
 * data bytes written before them (low byte first).
 * Status: STA0 command execution capable, STA1 data read/write capable,
 * STA2 auto read capable, STA3 auto write capable, STA5 controller
 * operable. The datasheet asks for STA0 and STA1 before every command and
 * data byte, and STA3 (STA2) before each byte in auto write (read) mode,
 * where STA0 and STA1 are not valid. Every access made without the status
 * the datasheet asks for is counted as a violation and reported; after each
 * access the controller is busy for about 2 us.
 * Commands: 0x21 cursor, 0x22 offset, 0x24 address pointer; 0x40/0x41
 * text home/area, 0x42/0x43 graphic home/area; 0x80-0x8F mode set;
 * 0x90-0x9F display mode (D3 graphic, D2 text, D1 cursor, D0 blink);
 * 0xA0-0xA7 cursor pattern; 0xB0 auto write, 0xB1 auto read, 0xB2/0xB3
 * auto reset; 0xC0-0xC5 data write/read with the pointer +1, -1 or kept;
 * 0xE0 screen peek, 0xE8 screen copy; 0xF0-0xFF bit reset (D3=0) / set
 * (D3=1) of bit D0-D2 of the byte at the pointer. /RST low resets the
 * registers, not the display RAM, whose content at power-up is undefined
 * (the model starts it with a pattern, so a picture must be drawn or
 * cleared to be seen). Graphic dots: with 8-dot characters one byte is
 * eight dots, D7 on the left. The text layer's character generator is not
 * modelled: the picture is the graphic layer.
 * Bus timing (T6963C, VDD 5 V): C/D set-up >= 100 ns before /CE, /RD or /WR
 * (whichever falls last) falls, /CE, /RD and /WR low >= 80 ns, write data
 * set-up >= 80 ns before /WR rises, read data valid at most 150 ns (the
 * access time) after the strobe: a read before that gets the pull-ups.
 * A status violation or a broken timing fails the run. */

enum { T_CE, T_CD, T_RD, T_WR, T_RST, T_SIGNALS };
enum { MODE_NORMAL, MODE_AUTO_WR, MODE_AUTO_RD };
enum { R_CDS, R_PW, R_DS, R_ACC, R_STATUS, R_RULES };
static const struct timing_rule t_rules[R_RULES] = {
    {"tCDS", 100, 0, 0, 0, 0}, {"PW", 80, 0, 0, 0, 0}, {"tDS", 80, 0, 0, 0, 0},
    {"tACC", 0, 0, 0, 0, 0},   {"status", 0, 0, 0, 0, 0},
};
#define T_ACC_NS 150

struct t6963 {
  avr_t *avr;
  int width, height;
  int level[T_SIGNALS];
  struct data_bus bus;
  avr_cycle_count_t busy_until;
  uint8_t ram[65536];
  uint8_t param[2];
  int params, mode, display, out;
  unsigned adp, ghome, garea, thome, tarea;
  uint8_t seen; /* status bits read since the last access */
  long violations, commands, writes;
  const char *file;
  struct timing_rule rules[R_RULES];
  int64_t cd_at, strobe_at;
};

static uint8_t t_status(const struct t6963 *d) {
  if (d->mode == MODE_AUTO_WR) return 0x28;
  if (d->mode == MODE_AUTO_RD) return 0x24;
  return d->avr->cycle < d->busy_until ? 0x20 : 0x23;
}

/* The status an access needs, checked against what was read before it. */
static void t_require(struct t6963 *d, uint8_t need) {
  if ((d->seen & need) != need) {
    d->violations++;
    timing_fault(d->avr, &d->rules[R_STATUS], "access without its status");
  }
  d->seen = 0;
  d->busy_until = d->avr->cycle + d->avr->frequency / 500000 + 1;
}

static unsigned t_pointer(unsigned v) { return v & 0xFFFF; }

static void t_command(struct t6963 *d, uint8_t c) {
  unsigned p = d->param[0] | (unsigned)d->param[1] << 8;
  d->commands++;
  if (c == 0x24) d->adp = t_pointer(p);
  else if (c == 0x40) d->thome = p;
  else if (c == 0x41) d->tarea = d->param[0];
  else if (c == 0x42) d->ghome = p;
  else if (c == 0x43) d->garea = d->param[0];
  else if ((c & 0xF0) == 0x90) d->display = c & 0x0F;
  else if (c == 0xB0) d->mode = MODE_AUTO_WR;
  else if (c == 0xB1) d->mode = MODE_AUTO_RD;
  else if (c == 0xB2 || c == 0xB3) d->mode = MODE_NORMAL;
  else if (c >= 0xC0 && c <= 0xC5) {
    if (c & 1) {
      d->out = d->ram[d->adp];
    } else {
      d->ram[d->adp] = d->param[0];
      d->writes++;
    }
    int step = c < 0xC2 ? 1 : c < 0xC4 ? -1 : 0;
    d->adp = t_pointer(d->adp + (unsigned)step);
  } else if (c == 0xE0) {
    d->out = d->ram[d->adp];
  } else if ((c & 0xF0) == 0xF0) {
    uint8_t bit = (uint8_t)(1 << (c & 7));
    d->ram[d->adp] = (c & 8) ? d->ram[d->adp] | bit : d->ram[d->adp] & (uint8_t)~bit;
    d->writes++;
  }
  /* 0x21, 0x22, mode set, cursor pattern and screen copy change nothing
   * the picture shows. */
  d->params = 0;
}

static void t_write(struct t6963 *d) {
  uint8_t b = (uint8_t)d->bus.value;
  if (d->level[T_CD]) {
    /* Only auto reset is taken in auto mode. */
    t_require(d, d->mode == MODE_AUTO_WR ? 0x08 : d->mode == MODE_AUTO_RD ? 0x04 : 0x03);
    if (d->mode == MODE_NORMAL || (b & 0xFE) == 0xB2) t_command(d, b);
  } else if (d->mode == MODE_AUTO_WR) {
    t_require(d, 0x08);
    d->ram[d->adp] = b;
    d->adp = t_pointer(d->adp + 1);
    d->writes++;
  } else {
    t_require(d, 0x03);
    if (d->params < 2) d->param[d->params++] = b;
    else d->param[0] = d->param[1], d->param[1] = b;
  }
}

static void t_read(struct t6963 *d) {
  int v;
  if (d->level[T_CD]) {
    v = t_status(d);
    d->seen = (uint8_t)v;
  } else if (d->mode == MODE_AUTO_RD) {
    t_require(d, 0x04);
    v = d->ram[d->adp];
    d->adp = t_pointer(d->adp + 1);
  } else {
    t_require(d, 0x03);
    v = d->out;
  }
  bus_drive(&d->bus, v);
  d->bus.model_out = 1;
  d->bus.valid_at = d->strobe_at + (int64_t)(T_ACC_NS * 2e-9 * (double)d->avr->frequency + 0.999);
}

static void t_pin(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct t6963 *d = param;
  int which = (int)(irq->irq & 7);
  if (d->level[which] == (value != 0)) return;
  int64_t now = pin_edge_time(d->avr);
  int wrote = !d->level[T_CE] && !d->level[T_WR];
  int read = !d->level[T_CE] && !d->level[T_RD];
  d->level[which] = value != 0;
  if (which == T_RST && !value) {
    d->mode = MODE_NORMAL, d->display = 0, d->params = 0;
    return;
  }
  if (which == T_CD) d->cd_at = now;
  if (!d->level[T_RST]) return;
  int writing = !d->level[T_CE] && !d->level[T_WR];
  int reading = !d->level[T_CE] && !d->level[T_RD];
  if ((writing && !wrote) || (reading && !read)) {
    d->strobe_at = now;
    timing_check(d->avr, &d->rules[R_CDS], d->cd_at, now);
  }
  if ((wrote && !writing) || (read && !reading)) {
    timing_check(d->avr, &d->rules[R_PW], d->strobe_at, now);
    d->bus.model_out = 0;
  }
  if (wrote && !writing) {
    timing_check(d->avr, &d->rules[R_DS], d->bus.changed_at, now);
    t_write(d);
  }
  if (!read && reading) t_read(d);
}

static int wire_t6963(avr_t *avr, const char *spec, struct t6963 *d) {
  static const char *names[] = {"D", "CE", "CD", "RD", "WR", "RST"};
  static const char *irq_names[] = {"<t6963.ce", "<t6963.cd", "<t6963.rd", "<t6963.wr", "<t6963.rst"};
  int n = 0;
  if (sscanf(spec, "%dx%d:%n", &d->width, &d->height, &n) != 2 || n == 0) return -1;
  if (d->width < 8 || d->width > 240 || d->height < 8 || d->height > 128) return -1;
  spec += n;
  struct pin pins[6];
  if (parse_wiring(spec, names, pins, 6) < 0 || !pins[0].port) return -1;
  const char *file = strchr(spec, ':');
  if (!file) return -1;
  d->file = file + 1;
  d->avr = avr;
  unsigned seed = 12345;
  for (size_t i = 0; i < sizeof d->ram; i++) {
    seed = seed * 1103515245u + 12345u;
    d->ram[i] = (uint8_t)(seed >> 16);
  }
  for (int i = 0; i < T_SIGNALS; i++) d->level[i] = 1;
  if (wire_signals(avr, pins + 1, T_SIGNALS, irq_names, t_pin, d) < 0) return -1;
  wire_data_bus(avr, pins[0].port, &d->bus);
  memcpy(d->rules, t_rules, sizeof d->rules);
  guard_data_bus(avr, pins[0].port, &d->bus, &d->rules[R_ACC]);
  return 0;
}

int report_t6963(const struct t6963 *d) {
  FILE *f = fopen(d->file, "w");
  if (!f) return -1;
  int graphic = (d->display & 8) != 0;
  fprintf(f, "P1\n# t6963 graphic %s text %s violations %ld commands %ld writes %ld\n%d %d\n",
          graphic ? "on" : "off", d->display & 4 ? "on" : "off", d->violations, d->commands, d->writes,
          d->width, d->height);
  uint8_t dots[240 * 128];
  int w, h;
  live_t6963(d, dots, &w, &h);
  write_dots(f, dots, w, h);
  long faults = timing_report("t6963", (struct timing_rule *)d->rules, R_RULES);
  return fclose(f) != 0 || faults ? -1 : 0;
}

void live_t6963(const struct t6963 *d, uint8_t *dots, int *width, int *height) {
  int graphic = (d->display & 8) != 0;
  for (int y = 0; y < d->height; y++) {
    for (int x = 0; x < d->width; x++) {
      uint8_t b = d->ram[t_pointer(d->ghome + (unsigned)y * d->garea + (unsigned)x / 8)];
      dots[y * d->width + x] = graphic && ((b >> (7 - x % 8)) & 1);
    }
  }
  *width = d->width, *height = d->height;
}

struct t6963 *attach_t6963(avr_t *avr, const char *spec) {
  struct t6963 *d = calloc(1, sizeof *d);
  if (d && wire_t6963(avr, spec, d) == 0) return d;
  free(d);
  return NULL;
}
