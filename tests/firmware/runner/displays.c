/* Virtual displays for the firmware runner; see displays.h. */
#include "displays.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <simavr/avr_ioport.h>
#include <simavr/parts/hd44780.h>
#include <simavr/sim_irq.h>

#define MAX_DISPLAYS 4
#define MAX_SIGNALS 8

struct pin {
  char port;
  int bit;
};

/* "NAME=C0" items of a wiring text; returns the number found, -1 on error. */
static int parse_wiring(const char *text, const char *names[], struct pin pins[], int count) {
  for (int i = 0; i < count; i++) pins[i].port = 0;
  const char *p = text;
  while (*p && *p != ':') {
    const char *eq = strchr(p, '=');
    if (!eq) return -1;
    int found = -1;
    for (int i = 0; i < count; i++)
      if (strlen(names[i]) == (size_t)(eq - p) && !strncmp(p, names[i], (size_t)(eq - p))) found = i;
    if (found < 0 || eq[1] < 'A' || eq[1] > 'G') return -1;
    pins[found].port = eq[1];
    pins[found].bit = (eq[2] >= '0' && eq[2] <= '7') ? eq[2] - '0' : -1;
    p = eq + 2 + (pins[found].bit >= 0);
    if (*p == ',') p++;
  }
  return 0;
}

static avr_irq_t *pin_irq(avr_t *avr, struct pin p) {
  return avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(p.port), p.bit);
}

/* ---- HD44780: simavr's part -------------------------------------------- */

struct character {
  hd44780_t lcd[2];
  int controllers, cols, rows;
  const char *file;
  /* Per controller: its display RAM as the previous bus write found it,
   * and the last picture it showed before being cleared. */
  uint8_t before[2][0x80], frame[2][0x80];
  int was_shown[2], has_frame[2];
  avr_irq_t *enable[2];
};


static int row_address(const struct character *c, int row);

/* How many cells of the rows controller k shows are not blank. */
static int shown(const struct character *c, int k) {
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
  struct character *c = param;
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
static int row_address(const struct character *c, int row) {
  if (c->controllers == 2) row %= 2;
  static const int four16[] = {0x00, 0x40, 0x10, 0x50};
  static const int four20[] = {0x00, 0x40, 0x14, 0x54};
  if (row < 2) return row ? 0x40 : 0x00;
  return c->cols == 16 ? four16[row] : four20[row];
}

static int attach_hd44780(avr_t *avr, const char *spec, struct character *c) {
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

static int report_hd44780(const struct character *c) {
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

/* ---- PCD8544: 84x48, serial, write only --------------------------------- */
/* Datasheet: with SCE low, SDIN is sampled on each rising SCLK edge, MSB
 * first; D/C is read with the eighth bit. Instructions: 0x20|PD<<2|V<<1|H
 * function set; with H=0: 0x08|D<<2|E display control, 0x40|Y, 0x80|X;
 * with H=1: temperature, bias and Vop (no effect on the picture). Data goes
 * to RAM[Y][X], then X (V=0) or Y (V=1) advances, wrapping. /RES low clears
 * the registers and blanks the display. */

enum { PCD_RES, PCD_SCE, PCD_SDIN, PCD_SCLK, PCD_DC };

struct pcd8544 {
  uint8_t ram[6][84];
  int x, y, h, v, mode; /* mode: D<<1|E, 2 = normal */
  int bits, shift, level[5];
  const char *file;
  unsigned long bytes;
};

static void pcd_byte(struct pcd8544 *d, uint8_t b) {
  d->bytes++;
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
  } else if (!d->h && (b & 0xF8) == 0x40) {
    if ((b & 7) < 6) d->y = b & 7;
  } else if (!d->h && (b & 0x80)) {
    if ((b & 0x7F) < 84) d->x = b & 0x7F;
  } else if (!d->h && (b & 0xF8) == 0x08) {
    d->mode = ((b >> 1) & 2) | (b & 1);
  }
}

static void pcd_pin(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct pcd8544 *d = param;
  int which = (int)(irq->irq & 7);
  int was = d->level[which];
  d->level[which] = value != 0;
  if (which == PCD_RES && !value) {
    d->x = d->y = d->h = d->v = d->mode = 0, d->bits = 0;
  } else if (which == PCD_SCE && value) {
    d->bits = 0; /* a byte cut short by SCE is dropped */
  } else if (which == PCD_SCLK && value && !was && !d->level[PCD_SCE] && d->level[PCD_RES]) {
    d->shift = (d->shift << 1) | d->level[PCD_SDIN];
    if (++d->bits == 8) pcd_byte(d, (uint8_t)d->shift), d->bits = 0;
  }
}

static int attach_pcd8544(avr_t *avr, const char *spec, struct pcd8544 *d) {
  static const char *names[] = {"RES", "SCE", "SDIN", "SCLK", "DC"};
  static const char *irq_names[] = {"<pcd.res", "<pcd.sce", "<pcd.sdin", "<pcd.sclk", "<pcd.dc"};
  struct pin pins[5];
  if (parse_wiring(spec, names, pins, 5) < 0) return -1;
  const char *file = strchr(spec, ':');
  if (!file) return -1;
  d->file = file + 1;
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

static int report_pcd8544(const struct pcd8544 *d) {
  FILE *f = fopen(d->file, "w");
  if (!f) return -1;
  fprintf(f, "P1\n# pcd8544 mode=%d bytes=%lu\n84 48\n", d->mode, d->bytes);
  for (int y = 0; y < 48; y++) {
    for (int x = 0; x < 84; x++) {
      int on = (d->ram[y / 8][x] >> (y % 8)) & 1;
      if (d->mode == 0) on = 0;
      if (d->mode == 1) on = 1;
      if (d->mode == 3) on = !on;
      fputs(on ? "1" : "0", f);
    }
    fputc('\n', f);
  }
  return fclose(f);
}

/* ---- the list ---------------------------------------------------------- */

static struct {
  char kind;
  struct character character;
  struct pcd8544 pcd;
} displays[MAX_DISPLAYS];
static int display_count;

int display_attach(avr_t *avr, const char *spec) {
  if (display_count == MAX_DISPLAYS) return fprintf(stderr, "too many displays\n"), -1;
  int r = -1;
  if (!strncmp(spec, "hd44780:", 8)) {
    displays[display_count].kind = 'h';
    r = attach_hd44780(avr, spec + 8, &displays[display_count].character);
  } else if (!strncmp(spec, "pcd8544:", 8)) {
    displays[display_count].kind = 'p';
    r = attach_pcd8544(avr, spec + 8, &displays[display_count].pcd);
  }
  if (r < 0) return fprintf(stderr, "bad display description: %s\n", spec), -1;
  display_count++;
  return 0;
}

int display_report(void) {
  for (int i = 0; i < display_count; i++) {
    int r = displays[i].kind == 'h' ? report_hd44780(&displays[i].character) : report_pcd8544(&displays[i].pcd);
    if (r != 0) return -1;
  }
  return 0;
}
