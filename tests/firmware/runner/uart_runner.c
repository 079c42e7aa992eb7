// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * uart_runner: runs an AVR ELF in simavr for a bounded number of cycles,
 * feeds bytes into its UARTs at given cycles and records what it sends.
 *
 *   uart_runner -m CHIP -f HZ -c CYCLES [-s U:BYTE@CYCLE]... [-o U:FILE]...
 *               [-w PORT:BIT]... [-1 PORT:BIT:RAW[:WAIT:PULSE]] [-u CH375] [-3 VS1003]
 *               [-i PORT:LEVELS]... [-e ADDR:LEN] [-r REGS] [-t AT:ARG] [-I U:BYTE:PERIOD]
 *               [-v] ELF
 * (-1 ...:WAIT:PULSE: the sensor's presence pulse comes WAIT us after the
 * reset and lasts PULSE us; -I: BYTE arrives on UART U every PERIOD cycles,
 * so its receive interrupt fires at every phase of the firmware's work)
 *
 * CHIP is the chip the firmware was built for (atmega8 ... atmega128); see
 * src/sim/chip_mends.h for the cores and the simavr mends.
 * Printed on stdout, one line each:
 *   core NAME
 *   uartN ubrr=U u2x=X baud=B ucsrb=0xBB ucsrc=0xCC tx=COUNT byte_cycles=G
 *     (G: the shortest time between two sent bytes, one frame when sent
 *     back to back)
 *   pinPB ddr=D level=L rises=R     (one per -w: direction and level at the
 *                                    end, and how often the pin went high)
 *   state running|sleeping|done|crashed cycles=C
 *   ds18b20 ...                     (with -1: a DS18B20 model on PORT:BIT
 *                                    measuring RAW, see onewire_model.h)
 *   ch375 ... / vs1003 ...          (with -u / -3: the CH375 and VS1003
 *                                    models, see ch375_model.h and
 *                                    vs1003_model.h for their wiring texts)
 *   eeprom refused=R XX XX ...     (with -e ADDR:LEN: an AT24C32 on the TWI,
 *                                    see at24_model.h; polls refused while
 *                                    it wrote, then LEN bytes from ADDR)
 *   ds1307 regs=... seconds=N      (with -r SS:MM:HH:WD:DD:MO:YY:CC, the
 *                                    registers in hex, or -r on: a DS1307 on
 *                                    the TWI, see ds1307_model.h)
 *   text CYCLE TEXT                (with -t AT:ARG, byte addresses of two
 *                                    functions: at each entry of AT, the
 *                                    text whose address was the first
 *                                    argument of the latest call of ARG,
 *                                    e.g. the text a main loop builds)
 * Each -i sets the levels a port's input pins read (pulled-up keys: E:0xFF).
 * Each -o writes the raw bytes a UART sent into FILE; -v lists every sent
 * byte with its cycle on stderr. Each -d DISPLAY wires a virtual display to
 * the pins and writes its picture at the end (see displays.h).
 */
#include <errno.h>
#include <inttypes.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <simavr/avr_ioport.h>
#include <simavr/avr_uart.h>
#include <simavr/sim_avr.h>
#include <simavr/sim_elf.h>
#include <simavr/sim_interrupts.h>
#include <simavr/sim_io.h>
#include <simavr/sim_irq.h>
#include <simavr/sim_regbit.h>

#include "at24_model.h"
#include "ds1307_model.h"
#include "chip_mends.h"
#include "displays.h"
#include "ch375_model.h"
#include "onewire_model.h"
#include "pin_models.h"
#include "vs1003_model.h"

#define MAX_UARTS 2
#define MAX_SENDS 256
#define MAX_TX 65536
#define MAX_PINS 4
#define MAX_DISPLAYS 4

struct uart_watch {
  struct sim_uart *mended;
  int index;
  uint8_t tx[MAX_TX];
  size_t tx_len;
  avr_cycle_count_t last_tx, min_gap; /* shortest time between two bytes */
  const char *dump;
};

struct send {
  int uart;
  uint8_t byte;
  avr_cycle_count_t at;
};

/* A port pin watched for its edges, e.g. an RS485 direction pin. */
struct pin_watch {
  char port;
  int bit;
  int level;
  unsigned long rises;
};

static struct uart_watch uarts[MAX_UARTS];
static struct pin_watch pins[MAX_PINS];
static int pin_count;
static int uart_count;
static struct send sends[MAX_SENDS];
static int send_count;
static int verbose;

/* -t: the text a firmware builds, printed each time it is complete */
static avr_flashaddr_t text_at, text_arg;
static uint16_t text_addr;
static int text_seen;

static void watch_text(avr_t *avr) {
  if (avr->pc == text_arg) {
    text_addr = (uint16_t)(avr->data[24] | avr->data[25] << 8); /* first argument: r25:r24 */
    text_seen = 1;
  } else if (avr->pc == text_at && text_seen) {
    printf("text %" PRIu64 " ", (uint64_t)avr->cycle);
    for (uint32_t a = text_addr; a <= avr->ramend && avr->data[a]; a++)
      putchar(avr->data[a] >= 0x20 && avr->data[a] < 0x7F ? avr->data[a] : '?');
    putchar('\n');
  }
}

static void die(const char *msg, const char *what) {
  fprintf(stderr, "uart_runner: %s%s%s\n", msg, what ? ": " : "", what ? what : "");
  exit(2);
}

static void tx_hook(struct avr_irq_t *irq, uint32_t value, void *param) {
  (void)irq;
  struct uart_watch *u = param;
  avr_cycle_count_t now = u->mended->port->io.avr->cycle;
  if (verbose) fprintf(stderr, "uart%d tx 0x%02X at %" PRIu64 "\n", u->index, value & 0xFF, (uint64_t)now);
  if (u->tx_len && (!u->min_gap || now - u->last_tx < u->min_gap)) u->min_gap = now - u->last_tx;
  u->last_tx = now;
  if (u->tx_len < MAX_TX) u->tx[u->tx_len++] = (uint8_t)value;
}

static void pin_hook(struct avr_irq_t *irq, uint32_t value, void *param) {
  (void)irq;
  struct pin_watch *p = param;
  if (value && !p->level) p->rises++;
  p->level = value != 0;
}

static unsigned long parse_number(const char *text, const char *what) {
  char *end = NULL;
  errno = 0;
  unsigned long v = strtoul(text, &end, 0);
  if (errno || end == text || *end) die("not a number", what);
  return v;
}

/* "U:BYTE@CYCLE" */
static void parse_send(const char *arg) {
  if (send_count == MAX_SENDS) die("too many -s options", arg);
  char buf[64];
  snprintf(buf, sizeof buf, "%s", arg);
  char *colon = strchr(buf, ':');
  char *at = strchr(buf, '@');
  if (!colon || !at || at < colon) die("-s needs U:BYTE@CYCLE", arg);
  *colon = *at = 0;
  struct send s;
  s.uart = (int)parse_number(buf, arg);
  unsigned long byte = parse_number(colon + 1, arg);
  if (s.uart >= MAX_UARTS || byte > 0xFF) die("-s uart or byte out of range", arg);
  s.byte = (uint8_t)byte;
  s.at = parse_number(at + 1, arg);
  if (send_count && sends[send_count - 1].at > s.at) die("-s options must be in cycle order", arg);
  sends[send_count++] = s;
}

static void watch_uart(avr_t *avr, struct sim_uart *m) {
  struct uart_watch *u = &uarts[uart_count++];
  u->mended = m;
  u->index = m->index;
  avr_irq_t *out = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ(m->port->name), UART_IRQ_OUTPUT);
  if (!out) die("no output line for a uart", NULL);
  avr_irq_register_notify(out, tx_hook, u);
}

static struct uart_watch *find_uart(int index) {
  for (int i = 0; i < uart_count; i++)
    if (uarts[i].index == index) return &uarts[i];
  return NULL;
}

int main(int argc, char **argv) {
  const char *chip = NULL;
  unsigned long freq = 0;
  unsigned long long cycles = 0;
  const char *elf = NULL;
  const char *dumps[MAX_UARTS] = {NULL, NULL};
  const char *display_specs[MAX_DISPLAYS];
  int display_specs_count = 0;
  const char *ds18b20_at = NULL;
  int storm_uart = -1;
  uint8_t storm_byte = 0;
  unsigned long storm_period = 0;
  struct ds18b20 *sensor = NULL;
  const char *ch375_at = NULL, *vs1003_at = NULL;
  struct ch375 *usb = NULL;
  struct vs1003 *mp3 = NULL;
  const char *levels[MAX_PINS];
  int level_count = 0;
  unsigned long ee_at = 0, ee_len = 0;
  const char *rtc_regs = NULL;

  for (int i = 1; i < argc; i++) {
    const char *a = argv[i];
    int has_value = i + 1 < argc;
    if (!strcmp(a, "-m") && has_value) {
      chip = argv[++i];
    } else if (!strcmp(a, "-f") && has_value) {
      freq = parse_number(argv[++i], "-f");
    } else if (!strcmp(a, "-c") && has_value) {
      cycles = parse_number(argv[++i], "-c");
    } else if (!strcmp(a, "-s") && has_value) {
      parse_send(argv[++i]);
    } else if (!strcmp(a, "-o") && has_value) {
      const char *v = argv[++i];
      if (v[0] < '0' || v[0] >= '0' + MAX_UARTS || v[1] != ':') die("-o needs U:FILE", v);
      dumps[v[0] - '0'] = v + 2;
    } else if (!strcmp(a, "-w") && has_value) {
      const char *v = argv[++i];
      if (pin_count == MAX_PINS) die("too many -w options", v);
      if (v[0] < 'A' || v[0] > 'G' || v[1] != ':' || v[2] < '0' || v[2] > '7' || v[3])
        die("-w needs PORT:BIT, e.g. D:4", v);
      pins[pin_count].port = v[0];
      pins[pin_count++].bit = v[2] - '0';
    } else if (!strcmp(a, "-d") && has_value) {
      if (display_specs_count == MAX_DISPLAYS) die("too many -d options", argv[i + 1]);
      display_specs[display_specs_count++] = argv[++i];
    } else if (!strcmp(a, "-1") && has_value) {
      ds18b20_at = argv[++i];
      if (ds18b20_at[0] < 'A' || ds18b20_at[0] > 'G' || ds18b20_at[1] != ':' || ds18b20_at[2] < '0' ||
          ds18b20_at[2] > '7' || ds18b20_at[3] != ':')
        die("-1 needs PORT:BIT:RAW[:WAIT:PULSE], e.g. C:3:0x0191 or C:3:0x0191:60:240", ds18b20_at);
    } else if (!strcmp(a, "-I") && has_value) {
      /* U:BYTE:PERIOD: BYTE arrives on UART U every PERIOD cycles, so its
         receive interrupt fires at every phase of what the firmware does */
      char buf[64];
      snprintf(buf, sizeof buf, "%s", argv[++i]);
      char *b = strchr(buf, ':'), *per = b ? strchr(b + 1, ':') : NULL;
      if (!per) die("-I needs U:BYTE:PERIOD", argv[i]);
      *b++ = 0, *per++ = 0;
      storm_uart = (int)parse_number(buf, "-I");
      storm_byte = (uint8_t)parse_number(b, "-I");
      storm_period = parse_number(per, "-I");
      if (storm_uart >= MAX_UARTS || !storm_period) die("-I uart or period out of range", argv[i]);
    } else if (!strcmp(a, "-i") && has_value) {
      if (level_count == MAX_PINS) die("too many -i options", argv[i + 1]);
      levels[level_count++] = argv[++i];
    } else if (!strcmp(a, "-u") && has_value) {
      ch375_at = argv[++i];
    } else if (!strcmp(a, "-3") && has_value) {
      vs1003_at = argv[++i];
    } else if (!strcmp(a, "-e") && has_value) {
      char buf[64];
      snprintf(buf, sizeof buf, "%s", argv[++i]);
      char *colon = strchr(buf, ':');
      if (!colon) die("-e needs ADDR:LEN, e.g. 0x55:2", buf);
      *colon = 0;
      ee_at = parse_number(buf, "-e");
      ee_len = parse_number(colon + 1, "-e");
      if (!ee_len || ee_at + ee_len > 4096) die("-e is outside the AT24C32", argv[i]);
    } else if (!strcmp(a, "-r") && has_value) {
      rtc_regs = argv[++i];
    } else if (!strcmp(a, "-t") && has_value) {
      char buf[64];
      snprintf(buf, sizeof buf, "%s", argv[++i]);
      char *colon = strchr(buf, ':');
      if (!colon) die("-t needs AT:ARG, e.g. 0x2F4:0x51A", buf);
      *colon = 0;
      text_at = (avr_flashaddr_t)parse_number(buf, "-t");
      text_arg = (avr_flashaddr_t)parse_number(colon + 1, "-t");
    } else if (!strcmp(a, "-v")) {
      verbose = 1;
    } else if (a[0] == '-') {
      die("unknown or incomplete option", a);
    } else {
      elf = a;
    }
  }
  if (!chip || !freq || !cycles || !elf)
    die("usage: uart_runner -m CHIP -f HZ -c CYCLES [-s U:BYTE@CYCLE]... [-o U:FILE]... [-w PORT:BIT]... ELF",
        NULL);

  const struct sim_chip *cc = sim_chip_find(chip);
  if (!cc) die("unknown chip", chip);

  elf_firmware_t fw;
  memset(&fw, 0, sizeof fw);
  if (elf_read_firmware(elf, &fw) != 0) die("cannot read the ELF file", elf);

  static struct sim_uart mended[SIM_MAX_UARTS];
  int mended_count = 0;
  avr_t *avr = sim_chip_make(cc, &fw, freq, mended, &mended_count);
  if (!avr) die("simavr has no core", cc->core);
  for (int i = 0; i < mended_count; i++) watch_uart(avr, &mended[i]);
  for (int i = 0; i < MAX_UARTS; i++) {
    if (!dumps[i]) continue;
    struct uart_watch *u = find_uart(i);
    if (!u) die("the core has no such uart for -o", chip);
    u->dump = dumps[i];
  }

  for (int i = 0; i < pin_count; i++) {
    avr_irq_t *irq = avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(pins[i].port), pins[i].bit);
    if (!irq) die("the core has no such port for -w", chip);
    avr_irq_register_notify(irq, pin_hook, &pins[i]);
  }

  for (int i = 0; i < display_specs_count; i++)
    if (display_attach(avr, display_specs[i]) != 0) die("cannot wire the display", display_specs[i]);
  if (ds18b20_at) {
    char raw[64];
    snprintf(raw, sizeof raw, "%s", ds18b20_at + 4);
    char *wait = strchr(raw, ':'), *pulse = wait ? strchr(wait + 1, ':') : NULL;
    if (wait && !pulse) die("-1 needs PORT:BIT:RAW[:WAIT:PULSE]", ds18b20_at);
    if (wait) *wait++ = 0, *pulse++ = 0;
    sensor = ds18b20_attach(avr, ds18b20_at[0], ds18b20_at[2] - '0', (int16_t)parse_number(raw, "-1"));
    if (!sensor) die("the core has no such port for -1", ds18b20_at);
    if (wait) ds18b20_presence(sensor, (double)parse_number(wait, "-1"), (double)parse_number(pulse, "-1"));
  }

  for (int i = 0; i < level_count; i++) {
    char pin[3] = {levels[i][0], '0', 0};
    struct model_pin p;
    if (levels[i][1] != ':' || model_pin_find(avr, pin, &p) != 0) die("-i needs PORT:LEVELS, e.g. E:0xFF", levels[i]);
    avr->data[p.pin] = (uint8_t)parse_number(levels[i] + 2, "-i");
  }
  if (ch375_at && !(usb = ch375_attach(avr, ch375_at)))
    die("-u needs DATA:CS:A0:RD:WR:RST:INT:IMAGE with ports the core has and a readable image", ch375_at);
  if (vs1003_at && !(mp3 = vs1003_attach(avr, vs1003_at)))
    die("-3 needs XRST:DREQ:XDCS:XCS:FILE with ports the core has and a writable file", vs1003_at);

  if (ee_len && at24_attach(avr, verbose) != 0) die("the core has no TWI for -e", chip);
  if (rtc_regs) {
    uint8_t regs[8];
    int n = 0;
    const char *p = rtc_regs;
    while (strcmp(rtc_regs, "on") && n < 8) {
      char *end;
      unsigned long v = strtoul(p, &end, 16);
      if (end == p || v > 0xFF || *end != (n < 7 ? ':' : 0))
        die("-r needs on or 8 hex bytes, SS:MM:HH:WD:DD:MO:YY:CC", rtc_regs);
      regs[n++] = (uint8_t)v;
      p = end + 1;
    }
    if (ds1307_attach(avr, n ? regs : NULL, verbose) != 0) die("the core has no TWI for -r", chip);
  }

  int next_send = 0;
  int state = cpu_Running;
  avr_cycle_count_t next_storm = storm_period;
  while (avr->cycle < cycles) {
    while (next_send < send_count && sends[next_send].at <= avr->cycle) {
      struct send *s = &sends[next_send++];
      struct uart_watch *u = find_uart(s->uart);
      if (!u) die("the core has no such uart for -s", chip);
      avr_irq_t *in = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ(u->mended->port->name), UART_IRQ_INPUT);
      avr_raise_irq(in, s->byte);
    }
    if (storm_period && avr->cycle >= next_storm) {
      struct uart_watch *u = find_uart(storm_uart);
      if (!u) die("the core has no such uart for -I", chip);
      avr_raise_irq(avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ(u->mended->port->name), UART_IRQ_INPUT), storm_byte);
      next_storm += storm_period;
    }
    for (int i = 0; i < uart_count; i++) sim_uart_retime(avr, uarts[i].mended);
    state = avr_run(avr);
    if (text_at) watch_text(avr);
    if (sensor) ds18b20_step(sensor);
    if (usb) ch375_step(usb);
    if (mp3) vs1003_step(mp3);
    if (state == cpu_Done || state == cpu_Crashed) break;
  }

  printf("core %s\n", cc->core);
  for (int i = 0; i < uart_count; i++) {
    struct uart_watch *u = &uarts[i];
    unsigned ubrr = sim_uart_ubrr(avr, u->mended);
    int u2x = avr_regbit_get(avr, u->mended->port->u2x);
    double baud = (double)freq / ((u2x ? 8.0 : 16.0) * (ubrr + 1));
    uint8_t ucsrc = sim_uart_ucsrc(avr, u->mended);
    printf("uart%d ubrr=%u u2x=%d baud=%.0f ucsrb=0x%02X ucsrc=0x%02X tx=%zu byte_cycles=%" PRIu64 "\n", u->index, ubrr,
           u2x, baud, avr->data[u->mended->port->r_ucsrb], ucsrc, u->tx_len, (uint64_t)u->min_gap);
    if (u->dump) {
      FILE *f = fopen(u->dump, "wb");
      if (!f || fwrite(u->tx, 1, u->tx_len, f) != u->tx_len || fclose(f) != 0) die("cannot write", u->dump);
    }
  }
  for (int i = 0; i < pin_count; i++) {
    struct pin_watch *p = &pins[i];
    avr_ioport_state_t st;
    memset(&st, 0, sizeof st);
    avr_ioctl(avr, AVR_IOCTL_IOPORT_GETSTATE(p->port), &st);
    printf("pinP%c%d ddr=%d level=%d rises=%lu\n", p->port, p->bit, (int)((st.ddr >> p->bit) & 1),
           (int)((st.port >> p->bit) & 1), p->rises);
  }
  if (display_report() != 0) die("a display saw its datasheet broken (see the timing lines) or its picture could not be written", NULL);
  if (sensor) ds18b20_report(sensor, stdout);
  if (usb) ch375_report(usb, stdout);
  if (mp3) vs1003_report(mp3, stdout);
  if (ee_len) {
    printf("eeprom refused=%lu", at24_refused());
    for (unsigned long i = 0; i < ee_len; i++) printf(" %02X", at24_byte((unsigned)(ee_at + i)));
    printf("\n");
  }
  if (rtc_regs) ds1307_report(stdout);
  printf("state %s cycles=%" PRIu64 "\n", sim_state_name(state, "stopped"), (uint64_t)avr->cycle);
  avr_terminate(avr);
  return state == cpu_Crashed ? 3 : 0;
}
