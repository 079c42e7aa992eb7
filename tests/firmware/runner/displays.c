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
 * drive 64 columns each, chip 4 the last 48. */

enum { KS_E, KS_RW, KS_DI, KS_RST, KS_CS1 };
#define KS_SIGNALS 8

struct ks_chip {
  uint8_t ram[8][64];
  int page, col, start, on, out;
};

struct ks0108 {
  avr_t *avr;
  struct ks_chip chip[4];
  int chips, width, level[KS_SIGNALS], data, driving;
  avr_irq_t *data_irq[8];
  avr_cycle_count_t busy_until;
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
  if (!d->level[KS_DI]) d->zero_run = 0; /* an instruction ends a run of zeros */
  for (int k = 0; k < d->chips; k++) {
    if (!ks_selected(d, k)) continue;
    struct ks_chip *c = &d->chip[k];
    uint8_t b = (uint8_t)d->data;
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
      v = c->out;
      c->out = c->ram[c->page][c->col];
      c->col = (c->col + 1) & 63;
    }
    d->driving = 1;
    for (int i = 0; i < 8; i++) avr_raise_irq(d->data_irq[i], (v >> i) & 1);
    d->driving = 0;
    return; /* one chip drives the bus */
  }
}

static void ks_pin(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct ks0108 *d = param;
  int which = (int)(irq->irq & 15);
  int was = d->level[which];
  d->level[which] = value != 0;
  if (which == KS_RST && !value) {
    for (int k = 0; k < d->chips; k++) d->chip[k].on = 0, d->chip[k].start = 0;
  } else if (which == KS_E && value && !was && d->level[KS_RW] && d->level[KS_RST]) {
    ks_read(d);
  } else if (which == KS_E && !value && was && !d->level[KS_RW] && d->level[KS_RST]) {
    ks_write(d);
  }
}

static void ks_data(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct ks0108 *d = param;
  if (d->driving) return;
  int bit = (int)(irq->irq & 7);
  d->data = (d->data & ~(1 << bit)) | ((value != 0) << bit);
}

static int attach_ks0108(avr_t *avr, const char *spec, struct ks0108 *d) {
  static const char *names[] = {"D", "E", "RW", "DI", "RST", "CS1", "CS2", "CS3", "CS4"};
  static const char *irq_names[] = {"<ks.e", "<ks.rw", "<ks.di", "<ks.rst", "<ks.cs1", "<ks.cs2", "<ks.cs3", "<ks.cs4"};
  static const char *data_names[] = {"<ks.d0", "<ks.d1", "<ks.d2", "<ks.d3", "<ks.d4", "<ks.d5", "<ks.d6", "<ks.d7"};
  struct pin pins[9];
  if (parse_wiring(spec, names, pins, 9) < 0 || !pins[0].port) return -1;
  const char *file = strchr(spec, ':');
  if (!file) return -1;
  d->file = file + 1;
  d->avr = avr;
  d->chips = pins[7].port ? 4 : 2;
  d->width = d->chips == 4 ? 240 : 128;
  avr_irq_t *in = avr_alloc_irq(&avr->irq_pool, 0, KS_SIGNALS, irq_names);
  for (int i = 0; i < 4 + d->chips; i++) {
    if (!pins[i + 1].port || pins[i + 1].bit < 0) return -1;
    d->level[i] = 1;
    in[i].irq = (uint32_t)i;
    avr_connect_irq(pin_irq(avr, pins[i + 1]), in + i);
    avr_irq_register_notify(in + i, ks_pin, d);
  }
  for (int i = 4 + d->chips; i < KS_SIGNALS; i++) d->level[i] = 1;
  avr_irq_t *data = avr_alloc_irq(&avr->irq_pool, 0, 8, data_names);
  for (int i = 0; i < 8; i++) {
    struct pin p = {pins[0].port, i};
    d->data_irq[i] = pin_irq(avr, p);
    data[i].irq = (uint32_t)i;
    avr_connect_irq(d->data_irq[i], data + i);
    avr_irq_register_notify(data + i, ks_data, d);
  }
  return 0;
}

static int report_ks0108(const struct ks0108 *d) {
  FILE *f = fopen(d->file, "w");
  if (!f) return -1;
  fprintf(f, "P1\n# ks0108 %s\n%d 64\n", d->frozen ? "first picture" : "at the end", d->width);
  for (int y = 0; y < 64; y++) {
    for (int x = 0; x < d->width; x++) {
      int k = x / 64;
      const struct ks_chip *c = &d->chip[k];
      int row = (y + c->start) & 63;
      const uint8_t(*ram)[64] = d->frozen ? d->first[k] : c->ram;
      fputs(c->on && ((ram[row / 8][x % 64] >> (row % 8)) & 1) ? "1" : "0", f);
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
  struct ks0108 ks;
} displays[MAX_DISPLAYS];
static int display_count;

int display_attach(avr_t *avr, const char *spec) {
  if (display_count == MAX_DISPLAYS) return fprintf(stderr, "too many displays\n"), -1;
  int r = -1;
  if (!strncmp(spec, "hd44780:", 8)) {
    displays[display_count].kind = 'h';
    r = attach_hd44780(avr, spec + 8, &displays[display_count].character);
  } else if (!strncmp(spec, "ks0108:", 7)) {
    displays[display_count].kind = 'k';
    r = attach_ks0108(avr, spec + 7, &displays[display_count].ks);
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
    int r = displays[i].kind == 'h'   ? report_hd44780(&displays[i].character)
            : displays[i].kind == 'k' ? report_ks0108(&displays[i].ks)
                                      : report_pcd8544(&displays[i].pcd);
    if (r != 0) return -1;
  }
  return 0;
}
