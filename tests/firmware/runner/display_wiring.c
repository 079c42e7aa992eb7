/* Pin descriptions shared by the display models; see display_wiring.h. */
#include "display_wiring.h"

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
  bus->value = (bus->value & ~(1 << bit)) | ((value != 0) << bit);
}

void wire_data_bus(avr_t *avr, char port, struct data_bus *bus) {
  static const char *names[] = {"<bus.d0", "<bus.d1", "<bus.d2", "<bus.d3",
                                "<bus.d4", "<bus.d5", "<bus.d6", "<bus.d7"};
  avr_irq_t *data = avr_alloc_irq(&avr->irq_pool, 0, 8, names);
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
