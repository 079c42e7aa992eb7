// SPDX-License-Identifier: GPL-3.0-or-later
/* Virtual displays for the firmware runner; see displays.h. */
#include "displays.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "display_hd44780.h"
#include "display_ks0108.h"
#include "display_pcd8544.h"
#include "display_sed1335.h"
#include "display_t6963.h"
#include "display_sed1520.h"
#include "display_st7920.h"

#define MAX_DISPLAYS 4

static struct {
  char kind;
  void *model;
} displays[MAX_DISPLAYS];
static int display_count;

int display_attach(avr_t *avr, const char *spec) {
  if (display_count == MAX_DISPLAYS) return fprintf(stderr, "too many displays\n"), -1;
  void *model = NULL;
  char kind = 0;
  if (!strncmp(spec, "hd44780:", 8)) {
    kind = 'h', model = attach_hd44780(avr, spec + 8);
  } else if (!strncmp(spec, "ks0108:", 7)) {
    kind = 'k', model = attach_ks0108(avr, spec + 7);
  } else if (!strncmp(spec, "pcd8544:", 8)) {
    kind = 'p', model = attach_pcd8544(avr, spec + 8);
  } else if (!strncmp(spec, "t6963:", 6)) {
    kind = 't', model = attach_t6963(avr, spec + 6);
  } else if (!strncmp(spec, "sed1335:", 8)) {
    kind = 's', model = attach_sed1335(avr, spec + 8);
  } else if (!strncmp(spec, "sed1520:", 8)) {
    kind = 'e', model = attach_sed1520(avr, spec + 8);
  } else if (!strncmp(spec, "st7920:", 7)) {
    kind = 'z', model = attach_st7920(avr, spec + 7);
  }
  if (!model) return fprintf(stderr, "bad display description: %s\n", spec), -1;
  displays[display_count].kind = kind;
  displays[display_count++].model = model;
  return 0;
}

struct character_lcd *display_text(int i) {
  return i >= 0 && i < display_count && displays[i].kind == 'h' ? displays[i].model : NULL;
}

int display_live(int i, uint8_t *dots, int *width, int *height) {
  if (i < 0 || i >= display_count) return -1;
  void *m = displays[i].model;
  switch (displays[i].kind) {
    case 'k': live_ks0108(m, dots, width, height); return 0;
    case 't': live_t6963(m, dots, width, height); return 0;
    case 'z': live_st7920(m, dots, width, height); return 0;
    case 's': live_sed1335(m, dots), *width = 320, *height = 240; return 0;
    case 'e': live_sed1520(m, dots), *width = 122, *height = 32; return 0;
    case 'p': live_pcd8544(m, dots), *width = 84, *height = 48; return 0;
    default: return -1;
  }
}

int display_report(void) {
  int failed = 0;
  for (int i = 0; i < display_count; i++) {
    void *m = displays[i].model;
    int r = displays[i].kind == 'h'   ? report_hd44780(m)
            : displays[i].kind == 'k' ? report_ks0108(m)
            : displays[i].kind == 't' ? report_t6963(m)
            : displays[i].kind == 's' ? report_sed1335(m)
            : displays[i].kind == 'z' ? report_st7920(m)
            : displays[i].kind == 'e' ? report_sed1520(m)
                                      : report_pcd8544(m);
    if (r != 0) failed = 1; /* the others still report */
  }
  return failed ? -1 : 0;
}
