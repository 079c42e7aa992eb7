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

