// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * The TEA5767 on the TWI bus, from its datasheet ("I2C-bus interface",
 * "Write mode", "Read mode"):
 *  - address 1100000 (0xC0 to write, 0xC1 to read), no register address: a
 *    write sends up to five data bytes in order, a read returns five;
 *  - write bytes: 1 MUTE SM PLL13..8; 2 PLL7..0; 3 SUD SSL1 SSL0 HLSI MS
 *    MR ML SWP1; 4 SWP2 STBY BL XTAL SMUTE HCC SNC SI; 5 PLLREF DTC and six
 *    zero bits; the new setting takes effect at the STOP;
 *  - the tuned frequency from the PLL word and the reference (XTAL 1 and
 *    PLLREF 0: 32.768 kHz; XTAL 0 and PLLREF 0: 13 MHz; PLLREF 1: 6.5 MHz):
 *    f = PLL * ref / 4 - 225 kHz with high side injection (HLSI 1),
 *    + 225 kHz with low side;
 *  - read bytes: 1 RF BLF PLL13..8; 2 PLL7..0; 3 STEREO IF7..1 (0x37 on a
 *    station); 4 LEV3..0 CI3..1 0; 5 zero. RF, the ready flag, rises when
 *    the PLL has settled, 10 ms at most after the write (the model takes
 *    exactly that); BLF when the frequency is outside the band (BL 0:
 *    87.5..108 MHz, BL 1: 76..91 MHz);
 *  - the chip needs 10 ms after power-up before its first access, runs the
 *    bus at 400 kHz at most and takes five bytes at most. Each rule broken
 *    is a fault: the model does not acknowledge an access before power-up
 *    nor a sixth byte, and counts all faults.
 */
#include "tea5767_model.h"

#include <inttypes.h>
#include <simavr/avr_twi.h>
#include <simavr/sim_irq.h>
#include <stdint.h>
#include <string.h>

#define TEA_ADDRESS 0xC0
#define TEA_POWER_UP_US 10000ULL
#define TEA_SETTLE_US 10000ULL

static avr_t* avr;
static avr_twi_t* twi;
static int verbose;
static avr_irq_t* to_master;
static uint8_t setting[5], incoming[5];
static int selected, reading, index_in_message, written;
static avr_cycle_count_t ready_at;
static unsigned long writes, faults;
static unsigned long khz;

static avr_cycle_count_t us(unsigned long long n) {
  return (avr_cycle_count_t)(n * avr->frequency / 1000000ULL);
}

static void fault(const char* what) {
  faults++;
  if (verbose) fprintf(stderr, "tea5767: %s at cycle %" PRIu64 "\n", what, (uint64_t)avr->cycle);
}

static unsigned pll(void) {
  return (unsigned)(setting[0] & 0x3F) << 8 | setting[1];
}

static void tune(void) {
  int standby = setting[3] & 0x40, xtal = setting[3] & 0x10, pllref = setting[4] & 0x80;
  unsigned long ref = pllref ? 6500000ul : xtal ? 32768ul : 13000000ul;
  unsigned long long vco = (unsigned long long)pll() * ref / 4;
  long long hz = (setting[2] & 0x10) ? (long long)vco - 225000 : (long long)vco + 225000;
  khz = standby || hz <= 0 ? 0 : (unsigned long)((hz + 500) / 1000);
  ready_at = avr->cycle + us(TEA_SETTLE_US);
}

static int outside_band(void) {
  int japan = setting[3] & 0x20;
  return japan ? khz < 76000 || khz > 91000 : khz < 87500 || khz > 108000;
}

static uint8_t read_byte(int i) {
  int ready = written && avr->cycle >= ready_at;
  switch (i) {
    case 0: return (uint8_t)((ready ? 0x80 : 0) | (ready && outside_band() ? 0x40 : 0) | (setting[0] & 0x3F));
    case 1: return setting[1];
    case 2: return ready && !outside_band() ? 0x80 | 0x37 : 0x00;
    case 3: return ready && !outside_band() ? 0xA0 : 0x00;
    default: return 0;
  }
}

/* SCL = f / (16 + 2 * TWBR * 4^TWPS) */
static void check_clock(void) {
  unsigned prescale = 1u << (2 * (avr->data[twi->r_twsr] & 3));
  unsigned long scl = avr->frequency / (16ul + 2ul * avr->data[twi->r_twbr] * prescale);
  if (scl > 400000ul) fault("bus clock above 400 kHz");
}

static void bus_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  avr_twi_msg_irq_t m;
  m.u.v = value;
  if (m.u.twi.msg & TWI_COND_STOP) {
    if (selected && !reading && index_in_message > 0) {
      memcpy(setting, incoming, (size_t)index_in_message);
      if (index_in_message == 5) written = 1;
      writes++;
      tune();
    }
    selected = 0;
  }
  if (m.u.twi.msg & TWI_COND_START) {
    selected = (m.u.twi.addr & 0xFE) == TEA_ADDRESS;
    if (!selected) return;
    if (avr->cycle < us(TEA_POWER_UP_US)) {
      fault("accessed before its 10 ms power-up");
      selected = 0;
      return;
    }
    check_clock();
    reading = m.u.twi.addr & 1;
    index_in_message = 0;
    memcpy(incoming, setting, sizeof incoming);
    avr_raise_irq(to_master, avr_twi_irq_msg(TWI_COND_ACK, m.u.twi.addr, 1));
    return;
  }
  if (!selected) return;
  if ((m.u.twi.msg & TWI_COND_WRITE) && !reading) {
    if (index_in_message >= 5) {
      fault("a sixth byte written");
      return;
    }
    incoming[index_in_message++] = m.u.twi.data;
    avr_raise_irq(to_master, avr_twi_irq_msg(TWI_COND_ACK, TEA_ADDRESS, 1));
  } else if ((m.u.twi.msg & TWI_COND_READ) && reading) {
    avr_raise_irq(to_master, avr_twi_irq_msg(TWI_COND_READ, TEA_ADDRESS | 1, read_byte(index_in_message++ % 5)));
  }
}

int tea5767_attach(avr_t* a, int verbose_log) {
  avr = a;
  verbose = verbose_log;
  for (avr_io_t* io = avr->io_port; io; io = io->next)
    if (io->kind && !strcmp(io->kind, "twi")) twi = (avr_twi_t*)io;
  /* power-on: muted, standby off, PLL 0 */
  memset(setting, 0, sizeof setting);
  setting[0] = 0x80;
  to_master = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_INPUT);
  avr_irq_t* from_master = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_OUTPUT);
  if (!twi || !to_master || !from_master) return -1;
  avr_irq_register_notify(from_master, bus_hook, NULL);
  return 0;
}

unsigned long tea5767_khz(void) {
  return written ? khz : 0;
}

void tea5767_report(FILE* out) {
  fprintf(out, "tea5767 khz=%lu writes=%lu faults=%lu\n", tea5767_khz(), writes, faults);
}
