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
 *   ds1302 ram30=XX tc=XX wp=XX faults=F
 *                                     (RAM byte 30, trickle charger, control,
 *                                      rules of the datasheet broken)
 *   card writes=W refused=R           (commands refused, see spi_models.h)
 *   zlg7290 dpram XX... scan=N flash=XX commands=C downloads=D unknown=U
 *           early=E                   (and the shortest pause between two
 *                                      accesses, as a second line)
 *   sd2000 time XX... status=XX resets=R time_writes=W early=E
 *   twi twbr=N twps=P scl=HZ          (the bit rate registers at the end)
 *   state running|sleeping|done|crashed cycles=N
 *
 * The AT24C32 model and the TWI master mends are in at24_model.c, the
 * DS1302, the SD card and the SPI master mend in spi_models.c.
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
#include "spi_models.h"
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
static int verbose, rtc_on;

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
  if (card && sdcard_attach(avr, cp->ss_bit, card, busy_ms) != 0)
    die("cannot open the card image, or the core has no SPI", card);
  if (ram_at + ram_len > (unsigned long)avr->ramend + 1) die("-d is outside the RAM", NULL);

  /* found halted (CH set), RAM byte 30 0x3C; the clock does not tick here:
   * the runner moves it between two boots */
  static const uint8_t rtc_start[9] = {0x80 | 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01, 0x80, 0xA5};
  static const uint8_t rtc_ram_start[31] = {[30] = 0x3C};
  if (rtc_on && ds1302_attach(avr, cp->ss_bit, rtc_start, rtc_ram_start, 0) != 0) die("the core has no SPI", NULL);
  uint8_t* rtc_clock = ds1302_clock();
  uint8_t* rtc_ram = ds1302_ram();

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
      spi_bus_reset();
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
  if (rtc_on) printf("ds1302 ram30=%02X tc=%02X wp=%02X faults=%lu\n", rtc_ram[30], rtc_clock[8], rtc_clock[7],
                     ds1302_faults());
  if (eeprom) printf("eeprom refused=%lu\n", at24_refused());
  if (sta013) sta013_report(stdout);
  if (hold >= 0) printf("bus clocks=%lu stop=%lu held_start=%lu\n", bus_clocks, bus_stops, held_starts);
  if (zlg) zlg7290_report(stdout);
  if (sd2k) sd2000_report(stdout);
  if (zlg || sd2k) print_bit_rate();
  if (card) {
    printf("card writes=%lu refused=%lu\n", sdcard_writes(), sdcard_refused());
    sdcard_close();
  }
  printf("state %s cycles=%" PRIu64 "\n", sim_state_name(state, "stopped"), (uint64_t)avr->cycle);
  return 0;
}
