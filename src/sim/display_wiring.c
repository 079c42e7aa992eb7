// SPDX-License-Identifier: GPL-3.0-or-later
/* Pin descriptions shared by the display models; see display_wiring.h. */
#include "display_wiring.h"

#include <inttypes.h>
#include <string.h>

#include <simavr/avr_ioport.h>

int parse_wiring(const char *text, const char *names[], struct pin pins[], int count) {
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

void write_dots(FILE *f, const uint8_t *dots, int width, int height) {
  for (int y = 0; y < height; y++) {
    for (int x = 0; x < width; x++) fputc(dots[y * width + x] ? '1' : '0', f);
    fputc('\n', f);
  }
}

avr_irq_t *pin_irq(avr_t *avr, struct pin p) {
  return avr_io_getirq(avr, AVR_IOCTL_IOPORT_GETIRQ(p.port), p.bit);
}


int wire_signals(avr_t *avr, const struct pin pins[], int count, const char *names[],
                 avr_irq_notify_t notify, void *param) {
  avr_irq_t *in = avr_alloc_irq(&avr->irq_pool, 0, (uint32_t)count, names);
  for (int i = 0; i < count; i++) {
    if (!pins[i].port || pins[i].bit < 0) return -1;
    in[i].irq = (uint32_t)i;
    avr_connect_irq(pin_irq(avr, pins[i]), in + i);
    avr_irq_register_notify(in + i, notify, param);
  }
  return 0;
}

static void bus_follow(struct avr_irq_t *irq, uint32_t value, void *param) {
  struct data_bus *bus = param;
  if (bus->driving) return;
  int bit = (int)(irq->irq & 7);
  int was = bus->value;
  bus->value = (bus->value & ~(1 << bit)) | ((value != 0) << bit);
  if (bus->value != was && bus->avr) bus->changed_at = pin_edge_time(bus->avr);
}

void wire_data_bus(avr_t *avr, char port, struct data_bus *bus) {
  static const char *names[] = {"<bus.d0", "<bus.d1", "<bus.d2", "<bus.d3",
                                "<bus.d4", "<bus.d5", "<bus.d6", "<bus.d7"};
  avr_irq_t *data = avr_alloc_irq(&avr->irq_pool, 0, 8, names);
  bus->avr = avr;
  for (int i = 0; i < 8; i++) {
    struct pin p = {port, i};
    bus->pin[i] = pin_irq(avr, p);
    data[i].irq = (uint32_t)i;
    avr_connect_irq(bus->pin[i], data + i);
    avr_irq_register_notify(data + i, bus_follow, bus);
  }
}

void bus_drive(struct data_bus *bus, int value) {
  bus->driving = 1;
  for (int i = 0; i < 8; i++) avr_raise_irq(bus->pin[i], (value >> i) & 1);
  bus->driving = 0;
}

/* ---- timing ------------------------------------------------------------ */

/* Cycles of the instruction at the program counter: the port writes a
 * driver uses are OUT (one cycle) and SBI, CBI, ST and STS (two). */
static int instruction_cycles(avr_t *avr) {
  uint16_t op = (uint16_t)(avr->flash[avr->pc] | (avr->flash[avr->pc + 1] << 8));
  return (op & 0xF800) == 0xB800 ? 1 : 2;
}

int64_t pin_edge_time(avr_t *avr) { return 2 * (int64_t)(avr->cycle + (avr_cycle_count_t)instruction_cycles(avr)); }

int64_t pin_sample_time(avr_t *avr) { return 2 * (int64_t)avr->cycle - 1; }

double pin_ns(avr_t *avr, int64_t half_cycles) { return (double)half_cycles * 1e9 / (2.0 * avr->frequency); }

static void timing_note(avr_t *avr, struct timing_rule *r, const char *what, double ns) {
  if (r->faults++ < 5)
    fprintf(stderr, "timing fault: %s %s %.0f ns at cycle %" PRIu64 "\n", r->name, what, ns, (uint64_t)avr->cycle);
}

int timing_check(avr_t *avr, struct timing_rule *r, int64_t from, int64_t to) {
  double ns = pin_ns(avr, to - from);
  double slack = ns - r->min_ns;
  if (r->max_ns > 0 && r->max_ns - ns < slack) slack = r->max_ns - ns;
  if (r->checks++ == 0 || slack < r->slack_ns) r->slack_ns = slack;
  if (slack >= 0) return 1;
  timing_note(avr, r, "took", ns);
  return 0;
}

void timing_fault(avr_t *avr, struct timing_rule *r, const char *what) { timing_note(avr, r, what, 0); }

long timing_report(const char *model, struct timing_rule *rules, int count) {
  long faults = 0;
  for (int i = 0; i < count; i++) {
    struct timing_rule *r = &rules[i];
    if (!r->checks && !r->faults) continue;
    printf("timing %s %s min=%.0f max=%.0f slack=%.0fns checks=%ld faults=%ld\n", model, r->name, r->min_ns,
           r->max_ns, r->checks ? r->slack_ns : 0.0, r->checks, r->faults);
    faults += r->faults;
  }
  return faults;
}

/* The input register of a port, found through the core's list of ports. */
static avr_io_addr_t port_pin_address(avr_t *avr, char port) {
  for (avr_io_t *io = avr->io_port; io; io = io->next) {
    if (io->kind && !strcmp(io->kind, "port") && ((avr_ioport_t *)io)->name == port)
      return ((avr_ioport_t *)io)->r_pin;
  }
  return 0;
}

static uint8_t guarded_read(avr_t *avr, avr_io_addr_t addr, void *param) {
  struct data_bus *bus = param;
  uint8_t v = bus->chained_read ? bus->chained_read(avr, addr, bus->chained_param) : avr->data[addr];
  if (!bus->model_out) return v;
  int64_t now = pin_sample_time(avr);
  if (bus->rule) {
    struct timing_rule *r = bus->rule;
    double slack = pin_ns(avr, now - bus->valid_at);
    if (r->checks++ == 0 || slack < r->slack_ns) r->slack_ns = slack;
  }
  if (now >= bus->valid_at) return v;
  if (bus->rule) timing_note(avr, bus->rule, "read early by", pin_ns(avr, bus->valid_at - now));
  return 0xFF; /* the pull-ups: the controller's output has not arrived */
}

void guard_data_bus(avr_t *avr, char port, struct data_bus *bus, struct timing_rule *rule) {
  avr_io_addr_t pin = port_pin_address(avr, port);
  if (!pin) return;
  bus->rule = rule;
  bus->chained_read = avr->io[AVR_DATA_TO_IO(pin)].r.c;
  bus->chained_param = avr->io[AVR_DATA_TO_IO(pin)].r.param;
  avr->io[AVR_DATA_TO_IO(pin)].r.c = guarded_read;
  avr->io[AVR_DATA_TO_IO(pin)].r.param = bus;
}
