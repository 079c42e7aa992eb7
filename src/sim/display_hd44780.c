// SPDX-License-Identifier: GPL-3.0-or-later
/* Character modules on simavr's own HD44780 part (one or two controllers).
 * See displays.h for the wiring text. */
#include "display_hd44780.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <simavr/avr_ioport.h>
#include <simavr/parts/hd44780.h>

#include "display_wiring.h"

/* ---- HD44780: simavr's part -------------------------------------------- */

struct character_lcd {
  hd44780_t lcd[2];
  int controllers, cols, rows;
  const char *file;
  /* Per controller: its display RAM as the previous bus write found it,
   * and the last picture it showed before being cleared. */
  uint8_t before[2][0x80], frame[2][0x80];
  int was_shown[2], has_frame[2];
  avr_irq_t *enable[2];
};


static int row_address(const struct character_lcd *c, int row);

/* How many cells of the rows controller k shows are not blank. */
static int shown(const struct character_lcd *c, int k) {
  int n = 0;
  for (int row = 0; row < c->rows; row++) {
    if ((c->controllers == 2) && (row >= 2) != k) continue;
    for (int x = 0; x < c->cols; x++) n += c->lcd[k].vram[row_address(c, row) + x] != ' ';
  }
  return n;
}

/* Called at each rising edge of a controller's E, before the part takes the
 * nibble (one cycle later). A write changes one cell; when more went blank
 * since the previous edge, a clear ran, and the RAM before it is a whole
 * picture (demos redraw and clear in a loop, so the end of a run may catch
 * a half drawn one). */
static void hd44780_bus_write(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct character_lcd *c = param;
  int k = irq == c->enable[1];
  if (!value) return;
  int now = shown(c, k);
  if (now + 1 < c->was_shown[k]) {
    memcpy(c->frame[k], c->before[k], 0x80);
    c->has_frame[k] = 1;
  }
  memcpy(c->before[k], c->lcd[k].vram, 0x80);
  c->was_shown[k] = now;
}

/* DDRAM address of each row as the modules wire them (rows 3 and 4 of a
 * 40x4 module are rows 1 and 2 of its second controller). */
static int row_address(const struct character_lcd *c, int row) {
  if (c->controllers == 2) row %= 2;
  static const int four16[] = {0x00, 0x40, 0x10, 0x50};
  static const int four20[] = {0x00, 0x40, 0x14, 0x54};
  if (row < 2) return row ? 0x40 : 0x00;
  return c->cols == 16 ? four16[row] : four20[row];
}

static int wire_hd44780(avr_t *avr, const char *spec, struct character_lcd *c) {
  static const char *names[] = {"D", "E", "RW", "RS", "E2"};
  struct pin pins[5];
  if (sscanf(spec, "%dx%d:", &c->cols, &c->rows) != 2 || c->cols < 8 || c->cols > 40 || c->rows < 1 ||
      c->rows > 4)
    return -1;
  const char *wiring = strchr(spec, ':');
  if (!wiring || parse_wiring(wiring + 1, names, pins, 5) < 0) return -1;
  if (!pins[0].port || !pins[1].port || !pins[2].port || !pins[3].port) return -1;
  const char *file = strchr(wiring + 1, ':');
  if (!file) return -1;
  c->file = file + 1;
  c->controllers = pins[4].port ? 2 : 1;
  for (int k = 0; k < c->controllers; k++) {
    hd44780_t *lcd = &c->lcd[k];
    hd44780_init(avr, lcd, c->cols, c->controllers == 2 ? 2 : c->rows);
    for (int i = 0; i < 4; i++) {
      struct pin d = {pins[0].port, 4 + i};
      avr_connect_irq(pin_irq(avr, d), lcd->irq + IRQ_HD44780_D4 + i);  /* AVR -> LCD */
      avr_connect_irq(lcd->irq + IRQ_HD44780_D4 + i, pin_irq(avr, d));  /* LCD -> AVR (reads) */
    }
    avr_connect_irq(pin_irq(avr, pins[k ? 4 : 1]), lcd->irq + IRQ_HD44780_E);
    avr_connect_irq(pin_irq(avr, pins[2]), lcd->irq + IRQ_HD44780_RW);
    avr_connect_irq(pin_irq(avr, pins[3]), lcd->irq + IRQ_HD44780_RS);
    c->enable[k] = pin_irq(avr, pins[k ? 4 : 1]);
    avr_irq_register_notify(c->enable[k], hd44780_bus_write, c);
  }
  return 0;
}

int report_hd44780(const struct character_lcd *c) {
  FILE *f = fopen(c->file, "w");
  if (!f) return -1;
  for (int row = 0; row < c->rows; row++) {
    int k = c->controllers == 2 && row >= 2;
    const uint8_t *vram = c->has_frame[k] ? c->frame[k] : c->lcd[k].vram;
    for (int x = 0; x < c->cols; x++) {
      int ch = vram[row_address(c, row) + x];
      fputc(ch >= 0x20 && ch < 0x7F ? ch : ' ', f);
    }
    fputc('\n', f);
  }
  return fclose(f);
}

struct character_lcd *attach_hd44780(avr_t *avr, const char *spec) {
  struct character_lcd *c = calloc(1, sizeof *c);
  if (c && wire_hd44780(avr, spec, c) == 0) return c;
  free(c);
  return NULL;
}

int live_hd44780(const struct character_lcd *c, char *out, size_t size) {
  size_t n = 0;
  for (int row = 0; row < c->rows; row++) {
    int k = c->controllers == 2 && row >= 2;
    for (int x = 0; x < c->cols; x++) {
      int ch = c->lcd[k].vram[row_address(c, row) + x];
      if (n + 1 < size) out[n++] = ch >= 0x20 && ch < 0x7F ? (char)ch : ' ';
    }
    if (row + 1 < c->rows && n + 1 < size) out[n++] = '\n';
  }
  if (size) out[n] = 0;
  return c->rows;
}
