/*
 * uart_runner: runs an AVR ELF in simavr for a bounded number of cycles,
 * feeds bytes into its UARTs at given cycles and records what it sends.
 *
 *   uart_runner -m CHIP -f HZ -c CYCLES [-s U:BYTE@CYCLE]... [-o U:FILE]...
 *               [-w PORT:BIT]... [-1 PORT:BIT:RAW] [-u CH375] [-3 VS1003]
 *               [-i PORT:LEVELS]... [-v] ELF
 *
 * CHIP is the chip the firmware was built for (atmega8 ... atmega128); chips
 * that simavr lacks run on the nearest core with the same UART registers,
 * with the chip's vector slots and UART vector numbers.
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
 * Each -i sets the levels a port's input pins read (pulled-up keys: E:0xFF).
 * Each -o writes the raw bytes a UART sent into FILE; -v lists every sent
 * byte with its cycle on stderr. Each -d DISPLAY wires a virtual display to
 * the pins and writes its picture at the end (see displays.h).
 *
 * simavr 1.6 differs from the silicon in ways that would stop ordinary
 * firmware; the runner mends them here rather than in the firmware:
 *  - a write of UCSRB clears the data-register-empty flag for good, so
 *    polled senders never get going; a UCSRB write never touches UDRE on
 *    the real chip, so the flag is put back;
 *  - single-UART chips share one address for UBRRH and UCSRC, told apart by
 *    URSEL (bit 7); simavr has no URSEL, so writes with bit 7 set are kept
 *    as UCSRC instead of landing in UBRRH; simavr also resets that address
 *    to UCSRC's 0x86, which reads as UBRRH 6, where the chip has 0;
 *  - it times bytes from a baud figure refreshed only on UBRRL writes and a
 *    frame size read through the shared address: the runner sets the byte
 *    time from UBRR, U2X and the frame format before every step;
 *  - its uart sleeps in real time while firmware polls, and its sleep
 *    callback does too: both are turned off, runs depend only on cycles.
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

struct chip_core {
  const char *chip;
  const char *core;
  int vector_size;   /* 0 keeps the core's own */
  int uart_vectors;  /* receive vector of the chip's UART when it differs
                      * from the core's; the other two follow it */
};

/* ATmega8535 has the ATmega16's vector order and registers but 2-byte vector
 * slots; ATmega64 matches the ATmega128. ATmega8515 shares the UART registers
 * with the ATmega16, but its UART vectors are 9, 10, 11 (receive, data
 * register empty, transmit); its other peripherals are not modelled. */
static const struct chip_core kChips[] = {
    {"atmega8", "atmega8", 0, 0},      {"atmega8515", "atmega16", 2, 9},
    {"atmega8535", "atmega16", 2, 0},  {"atmega16", "atmega16", 0, 0},
    {"atmega32", "atmega32", 0, 0},    {"atmega64", "atmega128", 0, 0},
    {"atmega128", "atmega128", 0, 0},
};

/* Moves a UART's three vectors to the chip's numbers. */
static void renumber(avr_t *avr, avr_int_vector_t *v, int number) {
  v->vector = (uint8_t)number;
  avr->interrupts.vector[number] = v;
}

struct uart_watch {
  avr_uart_t *port;
  int index;
  /* original write handlers we forward to */
  avr_io_write_t ucsrb_w;
  void *ucsrb_param;
  avr_io_write_t ubrrh_w;
  void *ubrrh_param;
  int shared_ucsrc; /* UBRRH and UCSRC share one address */
  uint8_t ucsrc;
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

static void die(const char *msg, const char *what) {
  fprintf(stderr, "uart_runner: %s%s%s\n", msg, what ? ": " : "", what ? what : "");
  exit(2);
}

static void store(avr_t *avr, avr_io_addr_t addr, uint8_t v, avr_io_write_t w, void *param) {
  if (w)
    w(avr, addr, v, param);
  else
    avr->data[addr] = v;
}

static void ucsrb_write(avr_t *avr, avr_io_addr_t addr, uint8_t v, void *param) {
  struct uart_watch *u = param;
  int udre_before = avr_regbit_get(avr, u->port->udrc.raised);
  store(avr, addr, v, u->ucsrb_w, u->ucsrb_param);
  if (udre_before && !avr_regbit_get(avr, u->port->udrc.raised))
    avr_raise_interrupt(avr, &u->port->udrc);
}

static void ubrrh_write(avr_t *avr, avr_io_addr_t addr, uint8_t v, void *param) {
  struct uart_watch *u = param;
  if (u->shared_ucsrc && (v & 0x80)) {
    u->ucsrc = v;
    return;
  }
  store(avr, addr, v, u->ubrrh_w, u->ubrrh_param);
}

/* UCSRC of the UART: the kept URSEL write, or its own register. */
static uint8_t ucsrc_of(avr_t *avr, struct uart_watch *u) {
  return u->shared_ucsrc ? u->ucsrc : avr->data[u->port->r_ucsrc];
}

static unsigned ubrr_of(avr_t *avr, struct uart_watch *u) {
  return avr_regbit_get(avr, u->port->ubrrl) | (avr_regbit_get(avr, u->port->ubrrh) << 8);
}

/* simavr times bytes from a baud figure it refreshes only on UBRRL writes
 * and from a frame size it reads through UCSRC, which on the shared address
 * is really UBRRH. The byte time is set here from the registers as the chip
 * reads them: start bit, data bits, parity bit if any, stop bits. */
static void retime(avr_t *avr, struct uart_watch *u) {
  static const int data_bits[8] = {5, 6, 7, 8, 8, 8, 8, 9};
  uint8_t c = ucsrc_of(avr, u);
  int size = ((c >> 1) & 3) | (avr_regbit_get(avr, u->port->ucsz2) << 2);
  int frame = 1 + data_bits[size] + (((c >> 4) & 3) ? 1 : 0) + 1 + ((c >> 3) & 1);
  avr_cycle_count_t bit = (avr_regbit_get(avr, u->port->u2x) ? 8 : 16) * (ubrr_of(avr, u) + 1);
  u->port->cycles_per_byte = bit * frame;
}

static void tx_hook(struct avr_irq_t *irq, uint32_t value, void *param) {
  (void)irq;
  struct uart_watch *u = param;
  avr_cycle_count_t now = u->port->io.avr->cycle;
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

static void no_sleep(avr_t *avr, avr_cycle_count_t how_long) {
  (void)avr;
  (void)how_long;
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

static void watch_uart(avr_t *avr, avr_uart_t *port) {
  if (uart_count == MAX_UARTS) return;
  struct uart_watch *u = &uarts[uart_count];
  u->port = port;
  u->index = port->name - '0';
  uint32_t flags = 0;
  avr_ioctl(avr, AVR_IOCTL_UART_SET_FLAGS(port->name), &flags);

  avr_io_addr_t b = AVR_DATA_TO_IO(port->r_ucsrb);
  u->ucsrb_w = avr->io[b].w.c;
  u->ucsrb_param = avr->io[b].w.param;
  avr->io[b].w.c = ucsrb_write;
  avr->io[b].w.param = u;

  avr_io_addr_t h = AVR_DATA_TO_IO(port->ubrrh.reg);
  u->shared_ucsrc = port->ubrrh.reg == port->r_ucsrc;
  if (u->shared_ucsrc) {
    /* simavr resets the shared address to UCSRC's 0x86, which then reads
     * as UBRRH 6; the chip resets UBRRH to 0 and UCSRC to 0x86. */
    u->ucsrc = avr->data[port->ubrrh.reg];
    avr->data[port->ubrrh.reg] = 0;
  }
  u->ubrrh_w = avr->io[h].w.c;
  u->ubrrh_param = avr->io[h].w.param;
  avr->io[h].w.c = ubrrh_write;
  avr->io[h].w.param = u;

  avr_irq_t *out = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ(port->name), UART_IRQ_OUTPUT);
  if (!out) die("no output line for a uart", NULL);
  avr_irq_register_notify(out, tx_hook, u);
  uart_count++;
}

static struct uart_watch *find_uart(int index) {
  for (int i = 0; i < uart_count; i++)
    if (uarts[i].index == index) return &uarts[i];
  return NULL;
}

static const char *state_name(int state) {
  switch (state) {
    case cpu_Running: return "running";
    case cpu_Sleeping: return "sleeping";
    case cpu_Done: return "done";
    case cpu_Crashed: return "crashed";
    default: return "stopped";
  }
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
  struct ds18b20 *sensor = NULL;
  const char *ch375_at = NULL, *vs1003_at = NULL;
  struct ch375 *usb = NULL;
  struct vs1003 *mp3 = NULL;
  const char *levels[MAX_PINS];
  int level_count = 0;

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
        die("-1 needs PORT:BIT:RAW, e.g. C:3:0x0191", ds18b20_at);
    } else if (!strcmp(a, "-i") && has_value) {
      if (level_count == MAX_PINS) die("too many -i options", argv[i + 1]);
      levels[level_count++] = argv[++i];
    } else if (!strcmp(a, "-u") && has_value) {
      ch375_at = argv[++i];
    } else if (!strcmp(a, "-3") && has_value) {
      vs1003_at = argv[++i];
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

  const struct chip_core *cc = NULL;
  for (size_t i = 0; i < sizeof kChips / sizeof kChips[0]; i++)
    if (!strcmp(kChips[i].chip, chip)) cc = &kChips[i];
  if (!cc) die("unknown chip", chip);

  elf_firmware_t fw;
  memset(&fw, 0, sizeof fw);
  if (elf_read_firmware(elf, &fw) != 0) die("cannot read the ELF file", elf);

  avr_t *avr = avr_make_mcu_by_name(cc->core);
  if (!avr) die("simavr has no core", cc->core);
  avr_init(avr);
  if (cc->vector_size) avr->vector_size = (uint8_t)cc->vector_size;
  avr_load_firmware(avr, &fw);
  avr->frequency = (uint32_t)freq;
  avr->sleep = no_sleep;
  avr->log = 0;

  for (avr_io_t *io = avr->io_port; io; io = io->next)
    if (io->kind && !strcmp(io->kind, "uart")) watch_uart(avr, (avr_uart_t *)io);
  if (cc->uart_vectors && uart_count == 1) {
    renumber(avr, &uarts[0].port->rxc, cc->uart_vectors);
    renumber(avr, &uarts[0].port->udrc, cc->uart_vectors + 1);
    renumber(avr, &uarts[0].port->txc, cc->uart_vectors + 2);
  }
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
    sensor = ds18b20_attach(avr, ds18b20_at[0], ds18b20_at[2] - '0',
                            (int16_t)parse_number(ds18b20_at + 4, "-1"));
    if (!sensor) die("the core has no such port for -1", ds18b20_at);
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

  int next_send = 0;
  int state = cpu_Running;
  while (avr->cycle < cycles) {
    while (next_send < send_count && sends[next_send].at <= avr->cycle) {
      struct send *s = &sends[next_send++];
      struct uart_watch *u = find_uart(s->uart);
      if (!u) die("the core has no such uart for -s", chip);
      avr_irq_t *in = avr_io_getirq(avr, AVR_IOCTL_UART_GETIRQ(u->port->name), UART_IRQ_INPUT);
      avr_raise_irq(in, s->byte);
    }
    for (int i = 0; i < uart_count; i++) retime(avr, &uarts[i]);
    state = avr_run(avr);
    if (sensor) ds18b20_step(sensor);
    if (usb) ch375_step(usb);
    if (mp3) vs1003_step(mp3);
    if (state == cpu_Done || state == cpu_Crashed) break;
  }

  printf("core %s\n", cc->core);
  for (int i = 0; i < uart_count; i++) {
    struct uart_watch *u = &uarts[i];
    unsigned ubrr = ubrr_of(avr, u);
    int u2x = avr_regbit_get(avr, u->port->u2x);
    double baud = (double)freq / ((u2x ? 8.0 : 16.0) * (ubrr + 1));
    uint8_t ucsrc = ucsrc_of(avr, u);
    printf("uart%d ubrr=%u u2x=%d baud=%.0f ucsrb=0x%02X ucsrc=0x%02X tx=%zu byte_cycles=%" PRIu64 "\n", u->index, ubrr,
           u2x, baud, avr->data[u->port->r_ucsrb], ucsrc, u->tx_len, (uint64_t)u->min_gap);
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
  if (display_report() != 0) die("cannot write a display picture", NULL);
  if (sensor) ds18b20_report(sensor, stdout);
  if (usb) ch375_report(usb, stdout);
  if (mp3) vs1003_report(mp3, stdout);
  printf("state %s cycles=%" PRIu64 "\n", state_name(state), (uint64_t)avr->cycle);
  avr_terminate(avr);
  return state == cpu_Crashed ? 3 : 0;
}
