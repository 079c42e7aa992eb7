// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * The ZLG7290 on the TWI bus, from its datasheet ("I2C interface",
 * "Registers", "Commands"):
 *  - slave address 0111000 (0x70 to write, 0x71 to read); a write gives the
 *    sub-address, then data to consecutive registers; a read starts at the
 *    sub-address last written and counts on;
 *  - registers: SystemReg 0x00, Key 0x01 (0 once read), RepeatCnt 0x02,
 *    FunctionKey 0x03 (read only), CmdBuf0/CmdBuf1 0x07/0x08, FlashOnOff
 *    0x0C (reset 0x77), ScanNum 0x0D (reset 7), DpRam0..7 0x10..0x17 (one
 *    bit a segment, a..g, dp from bit 7 down; reset 0, dark);
 *  - a command runs once CmdBuf1 is written: 0x01 segment on/off (CmdBuf1
 *    bit 7 on, bits 5..0 digit * 8 + segment), 0x6n download digit n with
 *    decoding (CmdBuf1: bit 7 dp, bit 6 flash, bits 4..0 the code, 0x00..0x0F
 *    hex digits, 0x1F dark), 0x7x flash control (CmdBuf1 one bit a digit);
 *  - the chip is a programmed controller that serves the bus between its
 *    scans: it does not answer before its reset has run after power-up
 *    (300 ms), nor sooner than 100 us after the previous access ended. The
 *    model does not acknowledge such an access and counts it.
 */
#include "zlg7290_model.h"

#include <inttypes.h>
#include <simavr/avr_twi.h>
#include <simavr/sim_irq.h>
#include <stdint.h>
#include <string.h>

#define ZLG_ADDRESS 0x70
#define ZLG_POWER_UP_US 300000ULL
#define ZLG_PAUSE_US 100ULL
#define ZLG_CODE_DARK 0x1F

static avr_t* avr;
static int verbose;
static avr_irq_t* to_master;
static uint8_t reg[0x18];
static int addressed, in_access, sub_set;
static uint8_t sub;
static avr_cycle_count_t ready_at, last_end, shortest_pause = (avr_cycle_count_t)-1;
static int ever_accessed;
static unsigned long early, commands, downloads, unknown;
static uint8_t flash;

/* Segments of the decoded codes 0..F: a..g on bits 7..1 */
static const uint8_t kHexSegments[16] = {0xFC, 0x60, 0xDA, 0xF2, 0x66, 0xB6, 0xBE, 0xE0,
                                         0xFE, 0xF6, 0xEE, 0x3E, 0x9C, 0x7A, 0x9E, 0x8E};

static avr_cycle_count_t us(unsigned long long n) {
  return (avr_cycle_count_t)(n * avr->frequency / 1000000ULL);
}

static void run_command(void) {
  uint8_t c0 = reg[0x07], c1 = reg[0x08];
  commands++;
  if (c0 == 0x01) {
    int seg = c1 & 0x3F;
    uint8_t bit = (uint8_t)(0x80 >> (seg & 7));
    if (c1 & 0x80)
      reg[0x10 + seg / 8] |= bit;
    else
      reg[0x10 + seg / 8] &= (uint8_t)~bit;
  } else if ((c0 & 0xF0) == 0x60 && (c0 & 0x0F) < 8) {
    int digit = c0 & 0x0F, code = c1 & 0x1F;
    downloads++;
    uint8_t segs = code < 16 ? kHexSegments[code] : 0;
    if (code >= 16 && code != ZLG_CODE_DARK) unknown++; /* letters: not used by the driver */
    reg[0x10 + digit] = (uint8_t)(segs | (c1 >> 7));
    if (c1 & 0x40)
      flash |= (uint8_t)(1 << digit);
    else
      flash &= (uint8_t) ~(1 << digit);
  } else if ((c0 & 0xF0) == 0x70) {
    flash = c1;
  } else {
    unknown++;
  }
}

static void write_register(uint8_t at, uint8_t v) {
  if (at == 0x07 || at == 0x0C || at == 0x0D || (at >= 0x10 && at <= 0x17)) reg[at] = v;
  if (at == 0x08) {
    reg[at] = v;
    run_command();
  }
}

static uint8_t read_register(uint8_t at) {
  if (at >= sizeof reg) return 0xFF;
  uint8_t v = reg[at];
  if (at == 0x01) reg[at] = 0, reg[0x00] &= (uint8_t)~0x01; /* the key code is taken */
  return v;
}

static void ack(void) {
  avr_raise_irq(to_master, avr_twi_irq_msg(TWI_COND_ACK, ZLG_ADDRESS, 1));
}

static void bus_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  avr_twi_msg_irq_t m;
  m.u.v = value;
  avr_cycle_count_t now = avr->cycle;
  if (m.u.twi.msg & TWI_COND_STOP) {
    if (in_access) last_end = now;
    in_access = addressed = 0;
  }
  if (m.u.twi.msg & TWI_COND_START) {
    addressed = 0;
    if ((m.u.twi.addr & 0xFE) != ZLG_ADDRESS) return;
    if (!in_access) { /* a repeated START belongs to the access under way */
      avr_cycle_count_t pause = now - last_end;
      if (ever_accessed && pause < shortest_pause) shortest_pause = pause;
      if (now < ready_at || (ever_accessed && pause < us(ZLG_PAUSE_US))) {
        early++;
        if (verbose) fprintf(stderr, "zlg7290: too early at %" PRIu64 "\n", (uint64_t)now);
        return;
      }
      ever_accessed = in_access = 1;
    }
    addressed = 1;
    sub_set = !(m.u.twi.addr & 1) ? 0 : sub_set;
    ack();
    return;
  }
  if (!addressed) return;
  if (m.u.twi.msg & TWI_COND_WRITE) {
    ack();
    if (!sub_set) {
      sub = m.u.twi.data;
      sub_set = 1;
    } else {
      write_register(sub++, m.u.twi.data);
    }
  } else if (m.u.twi.msg & TWI_COND_READ) {
    avr_raise_irq(to_master, avr_twi_irq_msg(TWI_COND_READ, ZLG_ADDRESS | 1, read_register(sub++)));
  }
}

int zlg7290_attach(avr_t* a, int verbose_log) {
  avr = a;
  verbose = verbose_log;
  memset(reg, 0, sizeof reg);
  reg[0x0C] = 0x77;
  reg[0x0D] = 7;
  ready_at = us(ZLG_POWER_UP_US);
  to_master = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_INPUT);
  avr_irq_t* from_master = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_OUTPUT);
  if (!to_master || !from_master) return -1;
  avr_irq_register_notify(from_master, bus_hook, NULL);
  return 0;
}

void zlg7290_report(FILE* out) {
  fprintf(out, "zlg7290 dpram");
  for (int i = 0; i < 8; i++) fprintf(out, " %02X", reg[0x10 + i]);
  unsigned long long pause = shortest_pause == (avr_cycle_count_t)-1
                                 ? 0
                                 : (unsigned long long)shortest_pause * 1000000ULL / avr->frequency;
  fprintf(out, " scan=%u flash=%02X commands=%lu downloads=%lu unknown=%lu early=%lu\n", reg[0x0D], flash,
          commands, downloads, unknown, early);
  fprintf(out, "zlg7290 shortest pause %llu us\n", pause);
}

void zlg7290_digits(uint8_t segments[8]) {
  memcpy(segments, reg + 0x10, 8);
}

void zlg7290_key(int code) {
  if (code < 1 || code > 64) return;
  reg[0x01] = (uint8_t)code;
  reg[0x02] = 0;    /* no repeat: pressed once */
  reg[0x00] |= 0x01; /* KeyAvi */
}
