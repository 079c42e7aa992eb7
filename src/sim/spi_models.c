// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * The board's SPI slaves; see spi_models.h.
 *
 * Mend of simavr 1.6's SPI master (ATmega16 datasheet, "SPCR", "SPSR"): it
 * takes the same long time for every byte whatever the clock rate; here a
 * byte takes 8 SCK periods of the rate SPR1:0 and SPI2X select, as on the
 * chip, so loops that count bytes take their real time.
 *
 * DS1302 (datasheet, "Command Byte", "Clock Burst Mode", "Write-Protect
 * Bit", "AC Electrical Characteristics"): CE high starts a transfer; the
 * first byte is the command (bit 7 must be set, bit 6 RAM/clock, bits 5..1
 * address, bit 0 read), then one register or a burst (address 31: the
 * eight clock registers, or the 31 RAM bytes). Data travel LSB first on
 * SPI mode 0: a master set to MSB first (DORD clear) is heard mirrored. A
 * clock burst write takes effect only when all eight registers were
 * written before CE falls. While WP (bit 7 of the control register) is set
 * only the control register takes writes. SCLK runs at 2 MHz at most
 * (5 V) and its first edge comes at least 1 us after CE rises (tCC at
 * 5 V). Each rule broken counts as a fault. The clock counts seconds while
 * CH (bit 7 of the seconds) is clear, in 24 or 12 hour mode (bit 7 of the
 * hours; bit 5 PM), with the months' lengths and leap years (2000-2099).
 *
 * SD card (the SD Association's physical layer document, SPI mode): 6-byte
 * commands (0x40 | index, argument, CRC), answered after one byte (NCR)
 * with R1 (bit 0 idle, bit 2 illegal command, bit 3 CRC error, bit 5
 * address error). CMD0 needs its CRC 0x95 and CMD8 its 0x87 (the card
 * checks both in SPI mode); CMD8 answers R7 with the voltage and check
 * pattern; ACMD41 (after CMD55) with HCS leaves the idle state; while idle
 * any other command is refused (R1 0x05); CMD58 gives the OCR with CCS
 * (sector addresses); CMD17 reads a sector (token 0xFE, 512 bytes, CRC);
 * CMD24 writes one (token 0xFE, 512 bytes, CRC; data response 0xE5), after
 * which the card holds DO low while it programs.
 */
#include "spi_models.h"

#include <simavr/avr_ioport.h>
#include <simavr/avr_spi.h>
#include <simavr/sim_cycle_timers.h>
#include <simavr/sim_irq.h>
#include <stdio.h>
#include <string.h>

static avr_t* avr;
static avr_spi_t* spi;
static avr_irq_t* spi_in;
static avr_io_write_t spdr_next;
static void* spdr_param;
static int ss_high;
static avr_cycle_count_t ss_rose;

static int rtc_on, rtc_index, rtc_ticking, burst_count;
static uint8_t rtc_command, burst[8];
static uint8_t rtc_clock[9], rtc_ram[31];
static unsigned long rtc_faults;

static FILE* image;
static uint8_t cmd[6], out[600], block[514];
static int cmd_len, out_len, out_pos, idle = 1, app, writing, got;
static unsigned long write_sector, card_writes, card_refused;
static avr_cycle_count_t busy_until, busy_cycles;

static int spi_divider(void) {
  static const int dividers[4] = {4, 16, 64, 128};
  uint8_t spcr = avr->data[spi->r_spcr];
  return dividers[spcr & 3] / ((avr->data[spi->r_spsr] & 1) ? 2 : 1);
}

static void spdr_write(avr_t* a, avr_io_addr_t addr, uint8_t v, void* param) {
  (void)param;
  spdr_next(a, addr, v, spdr_param);
  avr_cycle_timer_t done = NULL;
  for (avr_cycle_timer_slot_t* t = a->cycle_timers.timer; t; t = t->next)
    if (t->param == spi) done = t->timer;
  if (!done) return; /* not a master transfer */
  avr_cycle_timer_cancel(a, done, spi);
  avr_cycle_timer_register(a, (avr_cycle_count_t)(8 * spi_divider()), done, spi);
}

static uint8_t mirror(uint8_t v) {
  uint8_t r = 0;
  for (int i = 0; i < 8; i++, v >>= 1) r = (uint8_t)((r << 1) | (v & 1));
  return r;
}

/* ------------------------------------------------------------ DS1302 -- */

static int from_bcd(uint8_t v) {
  return (v >> 4) * 10 + (v & 0x0F);
}
static uint8_t to_bcd(int v) {
  return (uint8_t)((v / 10) << 4 | v % 10);
}

/* One second on: the registers carry into each other as the chip's do. */
static void rtc_second(void) {
  uint8_t* c = rtc_clock;
  int s = from_bcd(c[0] & 0x7F) + 1;
  c[0] = to_bcd(s % 60);
  if (s < 60) return;
  int m = from_bcd(c[1]) + 1;
  c[1] = to_bcd(m % 60);
  if (m < 60) return;
  int twelve = c[2] & 0x80, day_over;
  if (twelve) {
    int h = from_bcd(c[2] & 0x1F), pm = c[2] & 0x20;
    /* 11 -> 12 turns AM/PM; 12 -> 1 */
    if (h == 11) pm ^= 0x20;
    day_over = h == 11 && !pm;
    h = h == 12 ? 1 : h + 1;
    c[2] = (uint8_t)(0x80 | pm | to_bcd(h));
  } else {
    int h = from_bcd(c[2] & 0x3F) + 1;
    day_over = h == 24;
    c[2] = to_bcd(h % 24);
  }
  if (!day_over) return;
  c[5] = (uint8_t)(c[5] % 7 + 1);
  static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  int d = from_bcd(c[3]) + 1, mo = from_bcd(c[4]), y = from_bcd(c[6]);
  int len = mo >= 1 && mo <= 12 ? days[mo - 1] + (mo == 2 && y % 4 == 0) : 31;
  if (d <= len) {
    c[3] = to_bcd(d);
    return;
  }
  c[3] = 0x01;
  if (++mo <= 12) {
    c[4] = to_bcd(mo);
    return;
  }
  c[4] = 0x01;
  c[6] = to_bcd((y + 1) % 100);
}

static avr_cycle_count_t rtc_tick(avr_t* a, avr_cycle_count_t when, void* param) {
  (void)a, (void)param;
  if (!(rtc_clock[0] & 0x80)) rtc_second();
  return when + avr->frequency;
}

static uint8_t* rtc_register(int i) {
  int address = (rtc_command >> 1) & 0x1F;
  if (address == 0x1F)
    return (rtc_command & 0x40) ? (i < 31 ? &rtc_ram[i] : NULL) : (i < 8 ? &rtc_clock[i] : NULL);
  if (i) return NULL;
  if (rtc_command & 0x40) return address < 31 ? &rtc_ram[address] : NULL;
  return address <= 8 ? &rtc_clock[address] : NULL;
}

static int clock_burst(void) {
  return (rtc_command & 0xFE) == 0xBE;
}

static uint8_t rtc_exchange(uint8_t in) {
  uint8_t spcr = avr->data[spi->r_spcr];
  if (!(spcr & 0x20)) in = mirror(in); /* DORD clear: MSB first on the wire */
  if (spcr & 0x0C) rtc_faults++;       /* CPOL or CPHA: not mode 0 */
  if (avr->frequency / (unsigned)spi_divider() > 2000000u) rtc_faults++;
  uint8_t reply = 0xFF;
  if (rtc_index++ == 0) {
    if (avr->cycle - ss_rose < avr->frequency / 1000000u) rtc_faults++; /* tCC */
    rtc_command = in;
    burst_count = 0;
    if (!(in & 0x80)) rtc_faults++;
  } else if (rtc_command & 0x80) {
    uint8_t* reg = rtc_register(rtc_index - 2);
    if (rtc_command & 0x01) {
      reply = reg ? *reg : 0xFF;
    } else if (reg && (rtc_clock[7] & 0x80) && reg != &rtc_clock[7]) {
      rtc_faults++; /* write-protected */
    } else if (reg && clock_burst()) {
      burst[burst_count++] = in; /* taken when all eight came */
    } else if (reg) {
      *reg = in;
    }
  }
  return (spcr & 0x20) ? reply : mirror(reply);
}

static void rtc_end(void) {
  if (clock_burst() && !(rtc_command & 1) && burst_count == 8) memcpy(rtc_clock, burst, 8);
  burst_count = 0;
}

/* ----------------------------------------------------------- SD card -- */

static void queue(uint8_t b) {
  if (out_len < (int)sizeof out) out[out_len++] = b;
}

static void card_command(void) {
  int index = cmd[0] & 0x3F, was_app = app;
  unsigned long arg =
      ((unsigned long)cmd[1] << 24) | ((unsigned long)cmd[2] << 16) | ((unsigned long)cmd[3] << 8) | cmd[4];
  app = 0;
  queue(0xFF); /* NCR */
  if ((index == 0 && cmd[5] != 0x95) || (index == 8 && cmd[5] != 0x87)) {
    card_refused++;
    queue((uint8_t)(idle | 0x08)); /* CRC error */
  } else if (index == 0) {
    idle = 1;
    queue(0x01);
  } else if (index == 8) {
    queue((uint8_t)idle), queue(0x00), queue(0x00), queue(cmd[3] & 0x0F), queue(cmd[4]);
  } else if (index == 55) {
    app = 1;
    queue((uint8_t)idle);
  } else if (index == 41 && was_app) {
    if (arg & 0x40000000UL) idle = 0;
    queue((uint8_t)idle);
  } else if (idle) {
    card_refused++;
    queue(0x05);
  } else if (index == 58) {
    queue(0x00), queue(0xC0), queue(0xFF), queue(0x80), queue(0x00);
  } else if (index == 17) {
    uint8_t sector[512];
    if (fseek(image, (long)(arg * 512), SEEK_SET) || fread(sector, 1, 512, image) != 512) {
      queue(0x20); /* address error */
      return;
    }
    queue(0x00), queue(0xFF), queue(0xFE);
    for (int i = 0; i < 512; i++) queue(sector[i]);
    queue(0x12), queue(0x34);
  } else if (index == 24) {
    queue(0x00);
    writing = 1;
    got = -1;
    write_sector = arg;
  } else {
    card_refused++;
    queue(0x04);
  }
}

static uint8_t card_exchange(uint8_t in) {
  uint8_t reply = 0xFF;
  if (out_pos < out_len) {
    reply = out[out_pos++];
    if (out_pos == out_len) out_pos = out_len = 0;
  } else if (avr->cycle < busy_until) {
    reply = 0x00; /* programming: DO held low */
  }
  if (writing) {
    if (got < 0) {
      if (in == 0xFE) got = 0; /* start block token */
      return reply;
    }
    block[got++] = in;
    if (got == 514) { /* data and CRC */
      writing = 0;
      card_writes++;
      if (fseek(image, (long)(write_sector * 512), SEEK_SET) == 0) {
        if (fwrite(block, 1, 512, image) == 512) fflush(image);
      }
      busy_until = avr->cycle + busy_cycles;
      queue(0xE5); /* data accepted */
    }
    return reply;
  }
  if (cmd_len || (in & 0xC0) == 0x40) {
    cmd[cmd_len++] = in;
    if (cmd_len == 6) {
      cmd_len = 0;
      card_command();
    }
  }
  return reply;
}

/* ------------------------------------------------------------- bus -- */

static void spi_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  uint8_t reply = 0xFF;
  if (rtc_on && ss_high) reply = rtc_exchange((uint8_t)value); /* CE is active high */
  if (image && !ss_high) reply = card_exchange((uint8_t)value);
  avr_raise_irq(spi_in, reply);
}

static void ss_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  if (!!value == ss_high) return;
  if (rtc_on && ss_high) rtc_end();
  ss_high = !!value;
  rtc_index = 0; /* CE moved: a new transfer */
  if (ss_high) ss_rose = avr->cycle;
}

int spi_bus_attach(avr_t* a, int ss_bit) {
  if (spi) return 0; /* once */
  avr = a;
  for (avr_io_t* io = avr->io_port; io; io = io->next)
    if (io->kind && !strcmp(io->kind, "spi")) spi = (avr_spi_t*)io;
  spi_in = avr_io_getirq(avr, AVR_IOCTL_SPI_GETIRQ(0), SPI_IRQ_INPUT);
  avr_irq_t* spi_out = avr_io_getirq(avr, AVR_IOCTL_SPI_GETIRQ(0), SPI_IRQ_OUTPUT);
  avr_irq_t* ss = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('B'), ss_bit);
  if (!spi || !spi_in || !spi_out || !ss) {
    spi = NULL;
    return -1;
  }
  avr_irq_register_notify(spi_out, spi_hook, NULL);
  avr_irq_register_notify(ss, ss_hook, NULL);
  avr_io_addr_t spdr = AVR_DATA_TO_IO(spi->r_spdr);
  spdr_next = avr->io[spdr].w.c;
  spdr_param = avr->io[spdr].w.param;
  avr->io[spdr].w.c = spdr_write;
  return 0;
}

void spi_bus_reset(void) {
  ss_high = 0;
  rtc_index = 0;
}

int ds1302_attach(avr_t* a, int ss_bit, const uint8_t clock[9], const uint8_t ram[31], int ticking) {
  if (spi_bus_attach(a, ss_bit) != 0) return -1;
  memcpy(rtc_clock, clock, sizeof rtc_clock);
  memcpy(rtc_ram, ram, sizeof rtc_ram);
  rtc_on = 1;
  rtc_ticking = ticking;
  if (ticking) avr_cycle_timer_register(avr, avr->frequency, rtc_tick, NULL);
  return 0;
}

uint8_t* ds1302_clock(void) {
  return rtc_clock;
}
uint8_t* ds1302_ram(void) {
  return rtc_ram;
}
unsigned long ds1302_faults(void) {
  return rtc_faults;
}

int sdcard_attach(avr_t* a, int ss_bit, const char* path, unsigned long busy_ms) {
  image = fopen(path, "r+b");
  if (!image) return -1;
  if (spi_bus_attach(a, ss_bit) != 0) {
    sdcard_close();
    return -1;
  }
  ss_high = 0; /* SS is low after a reset */
  busy_cycles = (avr_cycle_count_t)avr->frequency / 1000 * busy_ms;
  return 0;
}

unsigned long sdcard_writes(void) {
  return card_writes;
}
unsigned long sdcard_refused(void) {
  return card_refused;
}
void sdcard_close(void) {
  if (image) fclose(image);
  image = NULL;
}
