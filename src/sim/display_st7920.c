// SPDX-License-Identifier: GPL-3.0-or-later
/* ST7920 character/graphic LCD controller with its Chinese font ROM,
 * modelled from the datasheet. See displays.h for the wiring text.
 *
 * Bus: PSB high selects the 8-bit parallel bus (RS, R/W, E: a write is
 * latched at the falling edge of E, a read drives the bus while E is high),
 * PSB low the serial bus on the same pins (CS = RS, SID = R/W, SCLK = E):
 * while CS is high SID is shifted in, MSB first, at each rising SCLK edge;
 * a transfer is the sync byte 11111 RW RS 0, then the upper nibble and the
 * lower nibble, each followed by four zeros. The serial bus cannot read.
 * The chip is busy 72 us after an instruction or data byte and 1.6 ms
 * after a clear; what arrives while busy is lost, and fails the run.
 * Bus timing at VDD 4.5-5.5 V, parallel: E cycle >= 1200 ns, E high and low
 * >= 140 ns, RS and R/W set-up >= 10 ns, write data set-up >= 40 ns before
 * E falls, read data valid at most 100 ns after E rises (earlier the
 * pull-ups). Serial: SCLK cycle >= 400 ns, high and low >= 200 ns each, SID
 * set-up and hold >= 40 ns around the rising edge, CS set-up >= 60 ns.
 * Every broken timing fails the run.
 *
 * Basic instructions (RE=0): 0x01 clear, 0x02 home, 0x04|I/D|S entry,
 * 0x08|D<<2|C<<1|B display, 0x10.. shift, 0x20|DL<<4|RE<<2 function set,
 * 0x40|a CGRAM, 0x80|a DDRAM address. Extended (RE=1): 0x01 standby,
 * 0x04|R reverse text line R (toggles), 0x20|DL<<4|RE<<2|G<<1 function
 * set (G: graphic display), 0x80|a GDRAM address: the vertical address
 * (0-31) first, then the horizontal one (0-15).
 * The display is 256x32 dots: text lines at DDRAM 0x00 and 0x10 (16 words
 * of 16 dots each); a word with a first byte 0xA1 or above is one 16x16
 * GB2312 character, otherwise two 8x16 half-width ones. GDRAM row v,
 * word h covers dots h*16..h*16+15 of row v. A 128x64 panel shows display
 * columns 128-255 as its rows 32-63. Text and graphics are combined when
 * the graphic display is on.
 *
 * The character ROM is approximated by GNU Unifont (8x16 and 16x16
 * glyphs), GB2312 codes converted to Unicode with iconv. */
#include "display_st7920.h"

#include <iconv.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <simavr/avr_ioport.h>

#include "display_wiring.h"

#define UNIFONT "/usr/share/unifont/unifont.hex"

enum { ST_RS, ST_RW, ST_E, ST_PSB, ST_RST, ST_SIGNALS };

enum { T_CYC, T_EH, T_EL, T_ASU, T_DSU, T_DDR, T_SCYC, T_SHW, T_SLW, T_SDS, T_SDH, T_CSS, T_BUSY, T_RULES };
static const struct timing_rule st_rules[T_RULES] = {
    {"tC", 1200, 0, 0, 0, 0},  {"PWEH", 140, 0, 0, 0, 0}, {"PWEL", 140, 0, 0, 0, 0},
    {"tAS", 10, 0, 0, 0, 0},   {"tDSW", 40, 0, 0, 0, 0},  {"tDDR", 0, 0, 0, 0, 0},
    {"tSCYC", 400, 0, 0, 0, 0}, {"tSHW", 200, 0, 0, 0, 0}, {"tSLW", 200, 0, 0, 0, 0},
    {"tSDS", 40, 0, 0, 0, 0},  {"tSDH", 40, 0, 0, 0, 0},  {"tCSS", 60, 0, 0, 0, 0},
    {"busy", 0, 0, 0, 0, 0},
};
#define ST_TDDR_NS 100

struct st_state {
  uint8_t ddram[64][2];
  uint8_t gdram[32][32];
  int on, graphic, reverse[4];
};

struct st7920 {
  avr_t *avr;
  int width, height, level[ST_SIGNALS];
  struct data_bus bus;
  struct st_state s, first;
  int frozen, lit;
  int re, ac, half, gd_v, gd_h, gd_step, gd_mode, out;
  unsigned shift, bits;
  avr_cycle_count_t busy_until;
  long lost, serial_bytes;
  const char *file;
  struct timing_rule rules[T_RULES];
  int64_t changed[ST_SIGNALS], rise, fall;
  int seen_rise, seen_fall;
};

static void st_busy(struct st7920 *d, unsigned us) {
  d->busy_until = d->avr->cycle + (avr_cycle_count_t)d->avr->frequency * us / 1000000 + 1;
}

/* The picture before the first clear or reset after something was shown
 * is the demo's start-up picture. */
static void st_freeze(struct st7920 *d) {
  if (d->lit && !d->frozen) d->first = d->s, d->frozen = 1;
}

static void st_reset(struct st7920 *d) {
  st_freeze(d);
  memset(&d->s, 0, sizeof d->s);
  memset(d->s.ddram, ' ', sizeof d->s.ddram);
  d->re = d->ac = d->half = d->gd_step = d->gd_mode = 0;
}

static void st_instruction(struct st7920 *d, uint8_t b) {
  struct st_state *s = &d->s;
  if ((b & 0xE0) == 0x20) { /* function set, either set */
    d->re = (b >> 2) & 1;
    if (d->re) s->graphic = (b >> 1) & 1;
  } else if (!d->re) {
    if (b == 0x01) {
      st_freeze(d);
      memset(s->ddram, ' ', sizeof s->ddram);
      d->ac = d->half = 0, d->gd_mode = 0;
      st_busy(d, 1600);
      return;
    }
    if ((b & 0xFE) == 0x02) d->ac = d->half = 0, d->gd_mode = 0;
    else if ((b & 0xF8) == 0x08) s->on = (b >> 2) & 1;
    else if (b & 0x80) d->ac = b & 0x3F, d->half = 0, d->gd_mode = 0;
  } else {
    if ((b & 0xFC) == 0x04) s->reverse[b & 3] ^= 1;
    else if (b & 0x80) {
      if (d->gd_step == 0) d->gd_v = b & 0x3F, d->gd_step = 1;
      else d->gd_h = b & 0x0F, d->gd_step = 0, d->half = 0, d->gd_mode = 1;
    }
  }
  st_busy(d, 72);
}

static void st_data_write(struct st7920 *d, uint8_t b) {
  d->lit = 1;
  if (d->gd_mode) {
    d->s.gdram[d->gd_v & 31][(d->gd_h * 2 + d->half) & 31] = b;
    if ((d->half ^= 1) == 0) d->gd_h = (d->gd_h + 1) & 15;
  } else {
    d->s.ddram[d->ac & 63][d->half] = b;
    if ((d->half ^= 1) == 0) d->ac = (d->ac + 1) & 63;
  }
  st_busy(d, 72);
}

static uint8_t st_data_read(struct st7920 *d) {
  uint8_t v = (uint8_t)d->out;
  if (d->gd_mode) {
    d->out = d->s.gdram[d->gd_v & 31][(d->gd_h * 2 + d->half) & 31];
    if ((d->half ^= 1) == 0) d->gd_h = (d->gd_h + 1) & 15;
  } else {
    d->out = d->s.ddram[d->ac & 63][d->half];
    if ((d->half ^= 1) == 0) d->ac = (d->ac + 1) & 63;
  }
  return v;
}

static void st_byte(struct st7920 *d, int rs, uint8_t b) {
  if (d->avr->cycle < d->busy_until) {
    d->lost++;
    timing_fault(d->avr, &d->rules[T_BUSY], "byte sent while busy");
    return;
  }
  if (rs) st_data_write(d, b);
  else st_instruction(d, b);
}

static void st_pin(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct st7920 *d = param;
  int which = (int)(irq->irq & 7);
  int was = d->level[which];
  if (was == (value != 0)) return;
  d->level[which] = value != 0;
  int64_t now = pin_edge_time(d->avr);
  int64_t before = d->changed[which];
  d->changed[which] = now;
  if (which == ST_RST) {
    if (!value) st_reset(d);
    return;
  }
  if (!d->level[ST_RST]) return;
  struct timing_rule *r = d->rules;
  if (d->level[ST_PSB]) { /* parallel */
    if (which != ST_E || !d->bus.pin[0]) return;
    if (value) {
      timing_check(d->avr, &r[T_ASU], d->changed[ST_RS] > d->changed[ST_RW] ? d->changed[ST_RS] : d->changed[ST_RW],
                   now);
      if (d->seen_fall) timing_check(d->avr, &r[T_EL], d->fall, now);
      if (d->seen_rise) timing_check(d->avr, &r[T_CYC], d->rise, now);
      d->rise = now, d->seen_rise = 1;
    } else {
      timing_check(d->avr, &r[T_EH], d->rise, now);
      if (!d->level[ST_RW]) timing_check(d->avr, &r[T_DSU], d->bus.changed_at, now);
      d->fall = now, d->seen_fall = 1;
      d->bus.model_out = 0;
    }
    if (value && d->level[ST_RW]) {
      int busy = d->avr->cycle < d->busy_until;
      if (busy && d->level[ST_RS]) timing_fault(d->avr, &r[T_BUSY], "data read while busy");
      bus_drive(&d->bus, d->level[ST_RS] ? st_data_read(d) : (busy ? 0x80 : 0) | (d->ac & 0x7F));
      d->bus.model_out = 1;
      d->bus.valid_at = now + (int64_t)(ST_TDDR_NS * 2e-9 * (double)d->avr->frequency + 0.999);
    } else if (!value && !d->level[ST_RW]) {
      st_byte(d, d->level[ST_RS], (uint8_t)d->bus.value);
    }
    return;
  }
  /* serial: RS is CS, RW is SID, E is SCLK */
  if (which == ST_RS) {
    d->bits = 0;
    return;
  }
  if (which == ST_RW) { /* SID held after the last rising edge */
    if (d->level[ST_RS] && d->seen_rise && d->rise >= before) timing_check(d->avr, &r[T_SDH], d->rise, now);
    return;
  }
  if (which != ST_E) return;
  if (!value) {
    if (d->level[ST_RS] && d->seen_rise) timing_check(d->avr, &r[T_SHW], d->rise, now);
    d->fall = now, d->seen_fall = 1;
    return;
  }
  if (!d->level[ST_RS]) return;
  timing_check(d->avr, &r[T_CSS], d->changed[ST_RS], now);
  timing_check(d->avr, &r[T_SDS], d->changed[ST_RW], now);
  if (d->seen_fall && d->fall > d->changed[ST_RS]) timing_check(d->avr, &r[T_SLW], d->fall, now);
  if (d->seen_rise && d->rise > d->changed[ST_RS]) timing_check(d->avr, &r[T_SCYC], d->rise, now);
  d->rise = now, d->seen_rise = 1;
  d->shift = (d->shift << 1) | (unsigned)d->level[ST_RW];
  if (++d->bits < 24) return;
  d->bits = 0;
  unsigned sync = (d->shift >> 16) & 0xFF, hi = (d->shift >> 8) & 0xFF, lo = d->shift & 0xFF;
  if ((sync & 0xF9) != 0xF8 || (hi & 0x0F) || (lo & 0x0F) || (sync & 4)) {
    d->lost++;
    return;
  }
  d->serial_bytes++;
  st_byte(d, (sync >> 1) & 1, (uint8_t)(hi | lo >> 4));
}

static int wire_st7920(avr_t *avr, const char *spec, struct st7920 *d) {
  static const char *names[] = {"RS", "RW", "E", "PSB", "RST", "D", "CS", "SID", "SCLK"};
  static const char *irq_names[] = {"<st.rs", "<st.rw", "<st.e", "<st.psb", "<st.rst"};
  if (sscanf(spec, "%dx%d:", &d->width, &d->height) != 2 || d->width > 128 || (d->height != 32 && d->height != 64))
    return -1;
  spec = strchr(spec, ':') + 1;
  struct pin pins[9];
  if (parse_wiring(spec, names, pins, 9) < 0) return -1;
  for (int i = 0; i < 3; i++)
    if (pins[6 + i].port) pins[i] = pins[6 + i]; /* the serial names of pins 4-6 */
  const char *file = strchr(spec, ':');
  if (!file) return -1;
  d->file = file + 1;
  d->avr = avr;
  memcpy(d->rules, st_rules, sizeof d->rules);
  if (wire_signals(avr, pins, ST_SIGNALS, irq_names, st_pin, d) < 0) return -1;
  st_reset(d);
  if (!pins[5].port) return 0; /* serial only: no data bus */
  wire_data_bus(avr, pins[5].port, &d->bus);
  guard_data_bus(avr, pins[5].port, &d->bus, &d->rules[T_DDR]);
  return 0;
}

/* The 16 dot rows of a glyph from Unifont: 8 or 16 dots wide (bit 15 left).
 * The file is searched from its start, so the glyphs looked up are kept:
 * the virtual board draws the display many times a second. */
static int unifont_lookup(unsigned code, uint16_t rows[16]);

static int unifont_glyph(unsigned code, uint16_t rows[16]) {
  static struct {
    unsigned code; /* code + 1, 0 for an empty slot */
    int found;
    uint16_t rows[16];
  } kept[512];
  unsigned slot = code % 512;
  if (kept[slot].code != code + 1) {
    kept[slot].found = unifont_lookup(code, kept[slot].rows);
    kept[slot].code = code + 1;
  }
  memcpy(rows, kept[slot].rows, sizeof kept[slot].rows);
  return kept[slot].found;
}

static int unifont_lookup(unsigned code, uint16_t rows[16]) {
  static FILE *font;
  memset(rows, 0, 16 * sizeof rows[0]);
  if (!font && !(font = fopen(UNIFONT, "r"))) return 0;
  rewind(font);
  char line[160];
  while (fgets(line, sizeof line, font)) {
    unsigned c;
    char hex[80];
    if (sscanf(line, "%x:%79s", &c, hex) != 2 || c != code) continue;
    int wide = strlen(hex) == 64;
    for (int y = 0; y < 16; y++) {
      char part[5] = {0};
      memcpy(part, hex + y * (wide ? 4 : 2), wide ? 4 : 2);
      unsigned v = (unsigned)strtoul(part, NULL, 16);
      rows[y] = (uint16_t)(wide ? v : v << 8);
    }
    return 1;
  }
  return 0;
}

static unsigned gb_to_unicode(uint8_t hi, uint8_t lo) {
  static iconv_t cd = (iconv_t)-1;
  if (cd == (iconv_t)-1) cd = iconv_open("UCS-4LE", "GBK");
  char in[2] = {(char)hi, (char)lo}, out[4] = {0};
  char *ip = in, *op = out;
  size_t il = 2, ol = 4;
  if (cd == (iconv_t)-1 || iconv(cd, &ip, &il, &op, &ol) == (size_t)-1) return 0;
  return (unsigned)(uint8_t)out[0] | (unsigned)(uint8_t)out[1] << 8 | (unsigned)(uint8_t)out[2] << 16;
}

/* Dot (x, y) of the 256x32 display. */
static int st_dot(const struct st_state *s, uint16_t text[32][16], int x, int y) {
  int on = (text[y][x / 16] >> (15 - x % 16)) & 1;
  if (s->reverse[y / 16]) on ^= 1;
  if (s->graphic) on |= (s->gdram[y][x / 8] >> (7 - x % 8)) & 1;
  return s->on && on;
}

static void st_picture(const struct st7920 *d, const struct st_state *s, uint8_t *dots) {
  uint16_t text[32][16];
  memset(text, 0, sizeof text);
  for (int line = 0; line < 2; line++) {
    for (int w = 0; w < 16; w++) {
      const uint8_t *word = s->ddram[line * 16 + w];
      uint16_t rows[16] = {0}, right[16] = {0};
      if (word[0] >= 0xA1 && word[1] >= 0xA1) {
        unifont_glyph(gb_to_unicode(word[0], word[1]), rows);
      } else {
        if (word[0] >= 0x20 && word[0] < 0x7F) unifont_glyph(word[0], rows);
        if (word[1] >= 0x20 && word[1] < 0x7F) unifont_glyph(word[1], right);
        for (int y = 0; y < 16; y++) rows[y] = (uint16_t)((rows[y] & 0xFF00) | right[y] >> 8);
      }
      for (int y = 0; y < 16; y++) text[line * 16 + y][w] = rows[y];
    }
  }
  for (int y = 0; y < d->height; y++)
    for (int x = 0; x < d->width; x++)
      dots[y * d->width + x] = (uint8_t)st_dot(s, text, x + (y >= 32 ? 128 : 0), y % 32);
}

void live_st7920(const struct st7920 *d, uint8_t *dots, int *width, int *height) {
  st_picture(d, &d->s, dots);
  *width = d->width, *height = d->height;
}

int report_st7920(const struct st7920 *d) {
  FILE *f = fopen(d->file, "w");
  if (!f) return -1;
  fprintf(f, "P1\n# st7920 %s lost=%ld\n%d %d\n", d->frozen ? "first picture" : "at the end", d->lost, d->width,
          d->height);
  uint8_t dots[128 * 64];
  st_picture(d, d->frozen ? &d->first : &d->s, dots);
  write_dots(f, dots, d->width, d->height);
  long faults = timing_report("st7920", (struct timing_rule *)d->rules, T_RULES);
  return fclose(f) != 0 || faults ? -1 : 0;
}

struct st7920 *attach_st7920(avr_t *avr, const char *spec) {
  struct st7920 *d = calloc(1, sizeof *d);
  if (d && wire_st7920(avr, spec, d) == 0) return d;
  free(d);
  return NULL;
}
