// SPDX-License-Identifier: GPL-3.0-or-later
/* The DS18B20 model of onewire_model.h. */
#include "onewire_model.h"

#include <simavr/avr_ioport.h>
#include <simavr/sim_io.h>
#include <stdlib.h>
#include <string.h>

enum phase { IDLE, PRESENCE_WAIT, PRESENCE, ROM_CMD, FUNCTION_CMD, SENDING, IGNORING };

struct span {
  double min, max;
  unsigned long count;
};

struct ds18b20 {
  avr_t* avr;
  uint16_t ddr, port, pin; /* data addresses */
  uint8_t mask;
  int16_t raw;
  uint8_t scratch[9];
  avr_cycle_count_t convert_done; /* 0: no conversion running */

  int master_low, slave_low, line;
  avr_cycle_count_t fell_at, last_fell, release_slave_at, presence_at, presence_end;
  avr_cycle_count_t last_read; /* last PIN read of the current slot */
  avr_io_read_t pin_read;      /* the ioport's own PIN read handler */
  void* pin_read_param;
  enum phase phase;
  uint8_t byte, bits;
  uint8_t out[9];
  int out_len, out_pos, out_bit;

  double presence_wait_us, presence_pulse_us;
  unsigned long resets, presences, faults;
  unsigned long converts, reads, skips;
  struct span reset_low, write0_low, write1_low, read_sample, slot;
  char first_fault[120];
};

static double us(struct ds18b20* s, avr_cycle_count_t cycles) {
  return (double)cycles * 1e6 / s->avr->frequency;
}

static avr_cycle_count_t cycles_of(struct ds18b20* s, double microseconds) {
  return (avr_cycle_count_t)(microseconds * s->avr->frequency / 1e6 + 0.5);
}

static void note(struct span* sp, double v) {
  if (!sp->count || v < sp->min) sp->min = v;
  if (!sp->count || v > sp->max) sp->max = v;
  sp->count++;
}

static void fault(struct ds18b20* s, const char* what, double v) {
  if (!s->faults++) snprintf(s->first_fault, sizeof s->first_fault, "%s (%.1f us)", what, v);
}

/* Dallas CRC-8 (x^8 + x^5 + x^4 + 1) of the scratchpad. */
static uint8_t crc8(const uint8_t* p, int n) {
  uint8_t crc = 0;
  while (n--) {
    uint8_t b = *p++;
    for (int i = 0; i < 8; i++, b >>= 1) {
      uint8_t mix = (crc ^ b) & 1;
      crc >>= 1;
      if (mix) crc ^= 0x8C;
    }
  }
  return crc;
}

static void set_temperature(struct ds18b20* s, int16_t raw) {
  s->scratch[0] = (uint8_t)raw;
  s->scratch[1] = (uint8_t)((uint16_t)raw >> 8);
  s->scratch[8] = crc8(s->scratch, 8);
}

/* The PIN register read: the time of the MCU's sample in the current slot. */
static uint8_t pin_read_hook(avr_t* avr, avr_io_addr_t addr, void* param) {
  struct ds18b20* s = param;
  s->last_read = avr->cycle;
  return s->pin_read ? s->pin_read(avr, addr, s->pin_read_param) : avr->data[addr];
}

struct ds18b20* ds18b20_attach(avr_t* avr, char port, int bit, int16_t raw) {
  struct ds18b20* s = calloc(1, sizeof *s);
  if (!s) return NULL;
  s->avr = avr;
  s->mask = (uint8_t)(1u << bit);
  s->raw = raw;
  avr_ioport_t* io = NULL;
  for (avr_io_t* p = avr->io_port; p; p = p->next)
    if (p->kind && !strcmp(p->kind, "port") && ((avr_ioport_t*)p)->name == port) io = (avr_ioport_t*)p;
  if (!io) {
    free(s);
    return NULL;
  }
  s->ddr = io->r_ddr;
  s->port = io->r_port;
  avr_io_addr_t pin = io->r_pin;
  s->pin = pin;
  s->pin_read = avr->io[AVR_DATA_TO_IO(pin)].r.c;
  s->pin_read_param = avr->io[AVR_DATA_TO_IO(pin)].r.param;
  avr->io[AVR_DATA_TO_IO(pin)].r.c = pin_read_hook;
  avr->io[AVR_DATA_TO_IO(pin)].r.param = s;
  /* Power-on scratchpad: 85 degrees, TH 0x4B, TL 0x46, 12 bits. */
  const uint8_t power_on[8] = {0x50, 0x05, 0x4B, 0x46, 0x7F, 0xFF, 0x0C, 0x10};
  memcpy(s->scratch, power_on, 8);
  s->scratch[8] = crc8(s->scratch, 8);
  s->line = 1;
  s->presence_wait_us = 30.0;
  s->presence_pulse_us = 120.0;
  return s;
}

void ds18b20_presence(struct ds18b20* s, double wait_us, double pulse_us) {
  s->presence_wait_us = wait_us;
  s->presence_pulse_us = pulse_us;
}

static void start_sending(struct ds18b20* s, const uint8_t* bytes, int n) {
  memcpy(s->out, bytes, (size_t)n);
  s->out_len = n;
  s->out_pos = s->out_bit = 0;
  s->phase = SENDING;
}

static void take_byte(struct ds18b20* s, uint8_t b) {
  if (s->phase == ROM_CMD) {
    if (b == 0xCC) {
      s->skips++;
      s->phase = FUNCTION_CMD;
    } else {
      s->phase = IGNORING; /* ROM search and match are not modelled */
    }
  } else if (s->phase == FUNCTION_CMD) {
    if (b == 0x44) {
      s->converts++;
      s->convert_done = s->avr->cycle + cycles_of(s, 750000.0);
      s->phase = IGNORING;
    } else if (b == 0xBE) {
      s->reads++;
      start_sending(s, s->scratch, 9);
    } else {
      s->phase = IGNORING;
    }
  }
}

/* The MCU let the line go after driving it low for `low` cycles. */
static void master_released(struct ds18b20* s, avr_cycle_count_t low) {
  double d = us(s, low);
  if (d >= 480.0) {
    note(&s->reset_low, d);
    s->resets++;
    s->phase = PRESENCE_WAIT;
    s->presence_at = s->avr->cycle + cycles_of(s, s->presence_wait_us);       /* 15..60 us */
    s->presence_end = s->presence_at + cycles_of(s, s->presence_pulse_us); /* 60..240 us */
    return;
  }
  if (s->phase == PRESENCE_WAIT || s->phase == PRESENCE) {
    fault(s, "time slot during the presence pulse", d);
    return;
  }
  if (s->phase == ROM_CMD || s->phase == FUNCTION_CMD) {
    int bit;
    if (d < 1.0) {
      fault(s, "write slot low shorter than 1 us", d);
      return;
    } else if (d <= 15.0) {
      note(&s->write1_low, d);
      bit = 1;
    } else if (d >= 60.0 && d <= 120.0) {
      note(&s->write0_low, d);
      bit = 0;
    } else {
      fault(s, d < 60.0 ? "write slot low between 15 and 60 us" : "write-0 low longer than 120 us", d);
      bit = d > 30.0 ? 0 : 1; /* what a sensor sampling at 30 us would take */
    }
    s->byte = (uint8_t)((s->byte >> 1) | (bit ? 0x80 : 0));
    if (++s->bits == 8) {
      s->bits = 0;
      take_byte(s, s->byte);
    }
  } else if (s->phase == SENDING) {
    if (d < 1.0) fault(s, "read slot low shorter than 1 us", d);
  }
}

/* The level the PIN register shows while the MCU does not drive the pin.
   Set directly: the port's own output updates would otherwise leave the
   MCU's last written level there. */
static void drive(struct ds18b20* s) {
  s->line = !(s->master_low || s->slave_low);
  if (s->line)
    s->avr->data[s->pin] |= s->mask;
  else
    s->avr->data[s->pin] &= (uint8_t)~s->mask;
}

void ds18b20_step(struct ds18b20* s) {
  avr_t* avr = s->avr;
  avr_cycle_count_t now = avr->cycle;

  if (s->convert_done && now >= s->convert_done) {
    s->convert_done = 0;
    set_temperature(s, s->raw);
  }
  if (s->phase == PRESENCE_WAIT && now >= s->presence_at) {
    s->phase = PRESENCE;
    s->presences++;
    s->slave_low = 1;
  }
  if (s->phase == PRESENCE && now >= s->presence_end) {
    s->phase = ROM_CMD;
    s->bits = 0;
    s->slave_low = 0;
  }
  if (s->release_slave_at && now >= s->release_slave_at) {
    s->release_slave_at = 0;
    s->slave_low = 0;
  }

  int master_low = (avr->data[s->ddr] & s->mask) && !(avr->data[s->port] & s->mask);
  int master_high = (avr->data[s->ddr] & s->mask) && (avr->data[s->port] & s->mask);
  /* The bus is open drain: driving it high against the sensor's low is a
     short circuit, however brief. */
  if (master_high && s->slave_low) fault(s, "line driven high while the sensor pulls it low", 0.0);
  if (master_low && !s->master_low) {
    /* Falling edge: a new slot or a reset. Close the previous read slot. */
    if (s->last_fell && (s->phase == ROM_CMD || s->phase == FUNCTION_CMD || s->phase == SENDING)) {
      double gap = us(s, now - s->last_fell);
      note(&s->slot, gap);
      if (gap < 61.0) fault(s, "time slot shorter than 60 us plus 1 us recovery", gap);
    }
    s->fell_at = s->last_fell = now;
    s->last_read = 0;
    if (s->phase == SENDING && s->out_pos < s->out_len) {
      int bit = (s->out[s->out_pos] >> s->out_bit) & 1;
      if (!bit) {
        s->slave_low = 1;                               /* hold the line for a 0 ...  */
        s->release_slave_at = now + cycles_of(s, 15.0); /* ... valid 15 us from the edge */
      }
      if (++s->out_bit == 8) {
        s->out_bit = 0;
        s->out_pos++;
      }
    }
  } else if (!master_low && s->master_low) {
    master_released(s, now - s->fell_at);
  }
  if (s->phase == SENDING && s->last_read && s->last_read > s->fell_at) {
    double at = us(s, s->last_read - s->fell_at);
    note(&s->read_sample, at);
    if (at > 15.0) fault(s, "read sampled later than 15 us after the falling edge", at);
    s->last_read = 0;
  }
  s->master_low = master_low;
  drive(s);
}

static void print_span(FILE* out, const char* name, const struct span* sp) {
  if (sp->count)
    fprintf(out, " %s=%.1f..%.1f", name, sp->min, sp->max);
  else
    fprintf(out, " %s=none", name);
}

void ds18b20_report(struct ds18b20* s, FILE* out) {
  fprintf(out, "ds18b20 resets=%lu presences=%lu skip_rom=%lu converts=%lu reads=%lu faults=%lu", s->resets,
          s->presences, s->skips, s->converts, s->reads, s->faults);
  print_span(out, "reset_low_us", &s->reset_low);
  print_span(out, "write0_low_us", &s->write0_low);
  print_span(out, "write1_low_us", &s->write1_low);
  print_span(out, "read_sample_us", &s->read_sample);
  print_span(out, "slot_us", &s->slot);
  fprintf(out, "\n");
  if (s->faults) fprintf(stderr, "ds18b20: first timing fault: %s\n", s->first_fault);
}

void ds18b20_set(struct ds18b20* s, int16_t raw) {
  s->raw = raw;
}
