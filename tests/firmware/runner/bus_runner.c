// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * bus_runner: runs an AVR ELF in simavr with chips on its TWI and SPI buses
 * and prints what the firmware left in a block of its RAM.
 *
 *   bus_runner -m CHIP -f HZ -c CYCLES -d ADDR:LEN [-e] [-s] [-k CLOCKS] [-t]
 *              [-i IMAGE [-b MS]] [-z] [-r] ELF
 *
 * -e  an AT24C32 at 0xA0: simavr's i2c_eeprom part, mended where it departs
 *     from the AT24C32 datasheet (below).
 * -k  a slave holds SDA low from the start until it has seen CLOCKS falling
 *     edges of SCL (a slave left in the middle of a byte by an MCU reset),
 *     as the pins show them while the TWI is off.
 * -t  a DS1302 on SPI, CE on SS, found halted (CH set), RAM byte 30 0x3C;
 *     the firmware runs twice: after the first run the clock has moved on
 *     to 33 s, the trickle charger is on (0xA5) and the MCU is reset, the
 *     DS1302 keeping its registers; RAM is printed after each run.
 * -s  an STA013 MP3 decoder at 0x86 (sta013_model.c); its writes and state
 *     are printed.
 * -i  an SD card (version 2, high capacity: sector addresses) holding the
 *     sectors of IMAGE; -b is how long it stays busy after a block write.
 * -z  a ZLG7290 at 0x70 (zlg7290_model.c), powered up with the MCU.
 * -r  an SD2000 at 0x60..0x6B (sd2000_model.c), found after a power loss;
 *     the firmware runs twice: after the first run the clock has moved on
 *     to 33 s on its battery and the MCU is reset; RAM is printed after
 *     each run.
 * The run ends after CYCLES or when the firmware sleeps with interrupts
 * off. Printed on stdout, one line each:
 *   ram XX XX ...                     (LEN bytes from data address ADDR)
 *   eeprom refused=R                  (polls refused while it was writing)
 *   bus clocks=C stop=S held_start=H  (clocks while SDA was held; STOPs made
 *                                      by hand; STARTs tried while held)
 *   ds1302 ram30=XX tc=XX wp=XX       (RAM byte 30, trickle charger, control)
 *   card writes=W
 *   zlg7290 dpram XX... scan=N flash=XX commands=C downloads=D unknown=U
 *           early=E                   (and the shortest pause between two
 *                                      accesses, as a second line)
 *   sd2000 time XX... status=XX resets=R time_writes=W early=E
 *   twi twbr=N twps=P scl=HZ          (the bit rate registers at the end)
 *   state running|sleeping|done|crashed cycles=N
 *
 * The AT24C32 model and the TWI master mends are in at24_model.c.
 * Mend of simavr 1.6's SPI master (ATmega16 datasheet, "SPCR", "SPSR"): it
 * takes the same long time for every byte whatever the clock rate; here a
 * byte takes 8 SCK periods of the rate SPR1:0 and SPI2X select, as on the
 * chip, so loops that count bytes take their real time.
 */
#include <errno.h>
#include <inttypes.h>
#include <simavr/avr_ioport.h>
#include <simavr/avr_spi.h>
#include <simavr/avr_twi.h>
#include <simavr/sim_avr.h>
#include <simavr/sim_cycle_timers.h>
#include <simavr/sim_elf.h>
#include <simavr/sim_irq.h>
#include <simavr/sim_regbit.h>
#include <stddef.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "at24_model.h"
#include "chip_mends.h"
#include "sd2000_model.h"
#include "zlg7290_model.h"
#include "sta013_model.h"

struct chip_pins {
  const char* chip;
  const char* core;
  char twi_port;       /* the port of SCL and SDA */
  int scl_bit, sda_bit; /* from the chips' datasheets */
  int ss_bit;           /* SS on port B */
};

static const struct chip_pins kChips[] = {
    {"atmega8", "atmega8", 'C', 5, 4, 2},
    {"atmega16", "atmega16", 'C', 0, 1, 4},
    {"atmega32", "atmega32", 'C', 0, 1, 4},
    {"atmega128", "atmega128", 'D', 0, 1, 0},
};

static avr_t* avr;
static int verbose;

static void die(const char* msg, const char* what) {
  fprintf(stderr, "bus_runner: %s%s%s\n", msg, what ? ": " : "", what ? what : "");
  exit(2);
}

static unsigned long number(const char* text, const char* what) {
  char* end = NULL;
  errno = 0;
  unsigned long v = strtoul(text, &end, 0);
  if (errno || end == text || *end) die("not a number", what);
  return v;
}

/* ------------------------------------------------- stuck SDA, by pins -- */

static int held_clocks = -1; /* falling SCL edges still to come; -1: not held */
static int scl_level = 1, sda_level = 1;
static unsigned long bus_clocks, bus_stops, held_starts;
static avr_irq_t* sda_pin;
static avr_io_addr_t sda_pin_reg; /* PINx of the TWI port */
static int sda_mask;

static void scl_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  if (scl_level && !value && held_clocks > 0) {
    bus_clocks++;
    if (--held_clocks == 0) {
      held_clocks = -1;
      sda_level = 1; /* the slave lets SDA go */
    }
  }
  scl_level = value != 0;
}

/* simavr reads back what the firmware writes to a port; while the slave
 * holds SDA the line reads low whatever the firmware writes. */
static avr_io_read_t pin_read_next;
static void* pin_read_param;

static uint8_t pin_read(avr_t* a, avr_io_addr_t addr, void* param) {
  (void)param;
  uint8_t v = pin_read_next ? pin_read_next(a, addr, pin_read_param) : a->data[addr];
  return held_clocks > 0 ? (uint8_t)(v & ~sda_mask) : v;
}

static void sda_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  if (held_clocks > 0) value = 0;
  if (!sda_level && value && scl_level && held_clocks < 0) bus_stops++;
  sda_level = value != 0;
}

static void start_watch(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  avr_twi_msg_irq_t m;
  m.u.v = value;
  if ((m.u.twi.msg & TWI_COND_START) && held_clocks > 0) held_starts++;
}

static void hold_sda(char port, int scl_bit, int sda_bit, int clocks) {
  uint32_t ioctl = AVR_IOCTL_IOPORT_GETIRQ(port);
  avr_irq_t* scl = avr_io_getirq(avr, ioctl, scl_bit);
  sda_pin = avr_io_getirq(avr, ioctl, sda_bit);
  sda_mask = 1 << sda_bit;
  if (!scl || !sda_pin) die("no TWI pins", NULL);
  avr_irq_register_notify(scl, scl_hook, NULL);
  avr_irq_register_notify(sda_pin, sda_hook, NULL);
  for (avr_io_t* io = avr->io_port; io; io = io->next)
    if (io->kind && !strcmp(io->kind, "port") && ((avr_ioport_t*)io)->name == port)
      sda_pin_reg = ((avr_ioport_t*)io)->r_pin;
  if (!sda_pin_reg) die("no TWI port", NULL);
  avr_io_addr_t io = AVR_DATA_TO_IO(sda_pin_reg);
  pin_read_next = avr->io[io].r.c;
  pin_read_param = avr->io[io].r.param;
  avr->io[io].r.c = pin_read;
  held_clocks = clocks;
  avr_raise_irq(sda_pin, 0);
  avr_irq_t* twi_out = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_OUTPUT);
  if (twi_out) avr_irq_register_notify(twi_out, start_watch, NULL);
}

/* ----------------------------------------------------------- SD card -- */

static FILE* image;
static int cs_low = 1; /* SS is low after a reset */
static avr_irq_t* spi_in;
static uint8_t cmd[6], out[600], block[514];
static int cmd_len, out_len, out_pos, idle = 1, app, writing = 0, got;
static unsigned long write_sector, card_writes;
static avr_cycle_count_t busy_until, busy_cycles;

static void queue(uint8_t b) {
  if (out_len < (int)sizeof out) out[out_len++] = b;
}

static void card_command(void) {
  int index = cmd[0] & 0x3F, was_app = app;
  unsigned long arg =
      ((unsigned long)cmd[1] << 24) | ((unsigned long)cmd[2] << 16) | ((unsigned long)cmd[3] << 8) | cmd[4];
  app = 0;
  queue(0xFF); /* NCR */
  if (index == 0) {
    idle = 1;
    queue(0x01);
  } else if (index == 8) {
    queue(0x01), queue(0x00), queue(0x00), queue(0x01), queue(0xAA);
  } else if (index == 55) {
    app = 1;
    queue(idle);
  } else if (index == 41 && was_app) {
    if (arg & 0x40000000UL) idle = 0;
    queue(idle);
  } else if (idle) {
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
      if (fseek(image, (long)(write_sector * 512), SEEK_SET) == 0) fwrite(block, 1, 512, image);
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

static avr_spi_t* spi;
static avr_io_write_t spdr_next;
static void* spdr_param;

static void spdr_write(avr_t* a, avr_io_addr_t addr, uint8_t v, void* param) {
  (void)param;
  spdr_next(a, addr, v, spdr_param);
  avr_cycle_timer_t done = NULL;
  for (avr_cycle_timer_slot_t* t = a->cycle_timers.timer; t; t = t->next)
    if (t->param == spi) done = t->timer;
  if (!done) return; /* not a master transfer */
  static const int dividers[4] = {4, 16, 64, 128};
  uint8_t spcr = a->data[spi->r_spcr];
  int divider = dividers[spcr & 3] / ((a->data[spi->r_spsr] & 1) ? 2 : 1);
  avr_cycle_timer_cancel(a, done, spi);
  avr_cycle_timer_register(a, (avr_cycle_count_t)(8 * divider), done, spi);
}

static void mend_spi(void) {
  for (avr_io_t* io = avr->io_port; io; io = io->next)
    if (io->kind && !strcmp(io->kind, "spi")) spi = (avr_spi_t*)io;
  if (!spi) die("the core has no SPI", NULL);
  avr_io_addr_t spdr = AVR_DATA_TO_IO(spi->r_spdr);
  spdr_next = avr->io[spdr].w.c;
  spdr_param = avr->io[spdr].w.param;
  avr->io[spdr].w.c = spdr_write;
}

/* ------------------------------------------------------------ DS1302 -- */

/* DS1302 datasheet, "Command Byte", "Clock Burst Mode", "Write-Protect Bit":
 * CE (on SS) high starts a transfer; the first byte is the command (bit 7
 * set, bit 6 RAM/clock, bits 5..1 address, bit 0 read), then one register
 * or a burst; while WP is set only the control register takes writes. The
 * clock does not tick here: the runner moves it between two boots. */
static int rtc_on, rtc_index;
static uint8_t rtc_command;
static uint8_t rtc_clock[9] = {0x80 | 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x80, 0xA5};
static uint8_t rtc_ram[31] = {[30] = 0x3C};

static uint8_t* rtc_register(int i) {
  int address = (rtc_command >> 1) & 0x1F;
  if (address == 0x1F)
    return (rtc_command & 0x40) ? (i < 31 ? &rtc_ram[i] : NULL) : (i < 8 ? &rtc_clock[i] : NULL);
  if (i) return NULL;
  if (rtc_command & 0x40) return address < 31 ? &rtc_ram[address] : NULL;
  return address <= 8 ? &rtc_clock[address] : NULL;
}

static uint8_t rtc_exchange(uint8_t in) {
  if (rtc_index++ == 0) {
    rtc_command = in;
    return 0xFF;
  }
  uint8_t* reg = (rtc_command & 0x80) ? rtc_register(rtc_index - 2) : NULL;
  if (rtc_command & 0x01) return reg ? *reg : 0xFF;
  if (reg && (!(rtc_clock[7] & 0x80) || reg == &rtc_clock[7])) *reg = in;
  return 0xFF;
}

/* ---------------------------------------------------------- SPI slave -- */

static void spi_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  uint8_t reply = 0xFF;
  if (rtc_on && !cs_low) reply = rtc_exchange((uint8_t)value); /* CE is active high */
  if (image && cs_low) reply = card_exchange((uint8_t)value);
  avr_raise_irq(spi_in, reply);
}

static void cs_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  if ((value == 0) != cs_low) rtc_index = 0; /* CE moved: a new transfer */
  cs_low = !value;
}

static void attach_spi(int ss_bit) {
  spi_in = avr_io_getirq(avr, AVR_IOCTL_SPI_GETIRQ(0), SPI_IRQ_INPUT);
  avr_irq_t* spi_out = avr_io_getirq(avr, AVR_IOCTL_SPI_GETIRQ(0), SPI_IRQ_OUTPUT);
  avr_irq_t* ss = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ('B'), ss_bit);
  if (!spi_in || !spi_out || !ss) die("the core has no SPI", NULL);
  avr_irq_register_notify(spi_out, spi_hook, NULL);
  avr_irq_register_notify(ss, cs_hook, NULL);
  mend_spi();
}

static void attach_card(const char* path, int ss_bit, unsigned long busy_ms) {
  image = fopen(path, "r+b");
  if (!image) die("cannot open the card image", path);
  busy_cycles = (avr_cycle_count_t)avr->frequency / 1000 * busy_ms;
  attach_spi(ss_bit);
}

/* ------------------------------------------------------------------- */

static void no_sleep(avr_t* a, avr_cycle_count_t how_long) {
  (void)a, (void)how_long;
}

/* SCL from the bit rate registers (ATmega16 datasheet, "Bit Rate Generator
 * Unit"): CPU clock / (16 + 2 * TWBR * 4^TWPS) */
static void print_bit_rate(void) {
  for (avr_io_t* io = avr->io_port; io; io = io->next) {
    if (!io->kind || strcmp(io->kind, "twi")) continue;
    avr_twi_t* t = (avr_twi_t*)io;
    unsigned twbr = avr->data[t->r_twbr], twps = avr_regbit_get(avr, t->twps);
    unsigned long divider = 16UL + 2UL * twbr * (1UL << (2 * twps));
    printf("twi twbr=%u twps=%u scl=%lu\n", twbr, twps, (unsigned long)(avr->frequency / divider));
  }
}

int main(int argc, char** argv) {
  const char *chip = NULL, *elf = NULL, *card = NULL;
  unsigned long freq = 0, busy_ms = 0, ram_at = 0, ram_len = 0;
  unsigned long long cycles = 0;
  int eeprom = 0, hold = -1, zlg = 0, sd2k = 0, sta013 = 0;
  for (int i = 1; i < argc; i++) {
    const char* a = argv[i];
    int more = i + 1 < argc;
    if (!strcmp(a, "-m") && more)
      chip = argv[++i];
    else if (!strcmp(a, "-f") && more)
      freq = number(argv[++i], "-f");
    else if (!strcmp(a, "-c") && more)
      cycles = number(argv[++i], "-c");
    else if (!strcmp(a, "-e"))
      eeprom = 1;
    else if (!strcmp(a, "-s"))
      sta013 = 1;
    else if (!strcmp(a, "-t"))
      rtc_on = 1;
    else if (!strcmp(a, "-z"))
      zlg = 1;
    else if (!strcmp(a, "-r"))
      sd2k = 1;
    else if (!strcmp(a, "-k") && more)
      hold = (int)number(argv[++i], "-k");
    else if (!strcmp(a, "-i") && more)
      card = argv[++i];
    else if (!strcmp(a, "-b") && more)
      busy_ms = number(argv[++i], "-b");
    else if (!strcmp(a, "-d") && more) {
      char buf[64];
      snprintf(buf, sizeof buf, "%s", argv[++i]);
      char* colon = strchr(buf, ':');
      if (!colon) die("-d needs ADDR:LEN", buf);
      *colon = 0;
      ram_at = number(buf, "-d"), ram_len = number(colon + 1, "-d");
    } else if (a[0] == '-')
      die("unknown or incomplete option", a);
    else
      elf = a;
  }
  if (!chip || !freq || !cycles || !elf || !ram_len)
    die("usage: bus_runner -m CHIP -f HZ -c CYCLES -d ADDR:LEN [-e] [-s] [-k CLOCKS] [-t] [-i IMAGE [-b MS]] [-z] "
        "[-r] ELF",
        NULL);
  const struct chip_pins* cp = NULL;
  for (size_t i = 0; i < sizeof kChips / sizeof kChips[0]; i++)
    if (!strcmp(kChips[i].chip, chip)) cp = &kChips[i];
  if (!cp) die("unknown chip", chip);

  elf_firmware_t fw;
  memset(&fw, 0, sizeof fw);
  if (elf_read_firmware(elf, &fw) != 0) die("cannot read the ELF file", elf);
  avr = avr_make_mcu_by_name(cp->core);
  if (!avr) die("simavr has no core", cp->core);
  avr_init(avr);
  avr_load_firmware(avr, &fw);
  avr->frequency = (uint32_t)freq;
  avr->sleep = no_sleep;
  avr->log = 0;
  verbose = getenv("BUS_RUNNER_VERBOSE") != NULL;
  if (twi_master_mend(avr, verbose) != 0 || (eeprom && at24_attach(avr, verbose) != 0))
    die("the core has no TWI", NULL);
  if ((zlg && zlg7290_attach(avr, verbose) != 0) || (sd2k && sd2000_attach(avr, verbose) != 0))
    die("the core has no TWI", NULL);
  if (sta013 && sta013_attach(avr, verbose) != 0) die("the core has no TWI", NULL);
  if (hold >= 0) hold_sda(cp->twi_port, cp->scl_bit, cp->sda_bit, hold);
  if (card) attach_card(card, cp->ss_bit, busy_ms);
  if (ram_at + ram_len > (unsigned long)avr->ramend + 1) die("-d is outside the RAM", NULL);

  if (rtc_on) attach_spi(cp->ss_bit);

  int state = cpu_Running;
  for (int boot = 0; boot < (rtc_on || sd2k ? 2 : 1); boot++) {
    if (boot && sd2k) {
      sd2000_battery();
      avr_reset(avr);
      avr->state = cpu_Running;
    } else if (boot) {
      /* the clock ran on its battery while the MCU was reset, its owner
       * having turned the trickle charger on */
      rtc_clock[0] = 0x33;
      rtc_clock[8] = 0xA5;
      avr_reset(avr);
      avr->state = cpu_Running;
      cs_low = 1;
    }
    while (avr->cycle < cycles) {
      state = avr_run(avr);
      if (state == cpu_Done || state == cpu_Crashed) break;
      if (state == cpu_Sleeping && !avr->sreg[S_I]) break;
    }
    printf("ram");
    for (unsigned long i = 0; i < ram_len; i++) printf(" %02X", avr->data[ram_at + i]);
    printf("\n");
  }
  if (rtc_on) printf("ds1302 ram30=%02X tc=%02X wp=%02X\n", rtc_ram[30], rtc_clock[8], rtc_clock[7]);
  if (eeprom) printf("eeprom refused=%lu\n", at24_refused());
  if (sta013) sta013_report(stdout);
  if (hold >= 0) printf("bus clocks=%lu stop=%lu held_start=%lu\n", bus_clocks, bus_stops, held_starts);
  if (zlg) zlg7290_report(stdout);
  if (sd2k) sd2000_report(stdout);
  if (zlg || sd2k) print_bit_rate();
  if (card) {
    printf("card writes=%lu\n", card_writes);
    fclose(image);
  }
  printf("state %s cycles=%" PRIu64 "\n", sim_state_name(state, "stopped"), (uint64_t)avr->cycle);
  return 0;
}
