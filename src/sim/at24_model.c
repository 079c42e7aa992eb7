// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * The AT24C32 model and the TWI master mends, shared by the bus runner and
 * the UART runner.
 *
 * Mends of simavr's i2c_eeprom part (AT24C32 datasheet, "Write Operations"
 * and "Acknowledge Polling"):
 *  - it takes the first address byte as the low one; the chip takes the high
 *    byte first: the address is set here from the two bytes;
 *  - it writes on across page boundaries; a page write wraps within its
 *    32-byte page on the chip;
 *  - it answers at once after a write; the chip is busy for its write cycle
 *    (tWR, 10 ms here) and does not acknowledge its address meanwhile.
 * Mends of simavr 1.6's TWI master (ATmega16 datasheet, "TWCR" and "Status
 * Codes for Master Transmitter Mode"):
 *  - writing a one to TWINT leaves the flag set, so the next wait ends at
 *    once with the old status; on the chip it clears the flag;
 *  - after SLA+W it reports the status of a data byte (0x28/0x30); the
 *    chip reports SLA+W's own (0x18/0x20).
 */
#include "at24_model.h"

#include <inttypes.h>
#include <simavr/avr_twi.h>
#include <simavr/sim_interrupts.h>
#include <simavr/sim_io.h>
#include <simavr/sim_irq.h>
#include <simavr/sim_regbit.h>
#include <stdio.h>
#include <string.h>
// clang-format off
#include <simavr/parts/i2c_eeprom.h>  /* needs sim_avr.h first */
// clang-format on

/* The part's two lines: it answers on the first, listens on the second */
#define EE_TO_MASTER 0
#define EE_FROM_MASTER 1
#define EE_PAGE 32
#define EE_SIZE 4096

static avr_t* avr;

/* ------------------------------------------------------- TWI master -- */

static int verbose;
static avr_twi_t* twi;
static avr_io_addr_t twsr_reg;
static avr_io_write_t twcr_next;
static void* twcr_param;

static void twcr_write(avr_t* a, avr_io_addr_t addr, uint8_t v, void* param) {
  (void)param;
  twcr_next(a, addr, v, twcr_param);
  if (v & 0x80) {
    avr_clear_interrupt(a, &twi->twi);
    avr_regbit_clear(a, twi->twi.raised); /* a sticky flag: simavr leaves it */
  }
}
static int after_sla_w; /* SLA+W sent, no data byte yet */

static void twi_sent(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  avr_twi_msg_irq_t m;
  m.u.v = value;
  if (verbose) fprintf(stderr, "twi sent %08x at %" PRIu64 "\n", value, (uint64_t)avr->cycle);
  if (m.u.twi.msg & TWI_COND_START) after_sla_w = !(m.u.twi.addr & 1);
  if (m.u.twi.msg & (TWI_COND_WRITE | TWI_COND_STOP)) after_sla_w = 0;
}

static void twi_status(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  if (verbose) fprintf(stderr, "twi status %02x at %" PRIu64 "\n", value, (uint64_t)avr->cycle);
  if (!after_sla_w || (value != 0x28 && value != 0x30)) return;
  after_sla_w = 0;
  avr->data[twsr_reg] = (uint8_t)((avr->data[twsr_reg] & 0x07) | (value == 0x28 ? 0x18 : 0x20));
}

int twi_master_mend(avr_t* a, int verbose_log) {
  if (twi) return 0; /* mended once */
  avr = a;
  verbose = verbose_log;
  for (avr_io_t* io = avr->io_port; io; io = io->next)
    if (io->kind && !strcmp(io->kind, "twi")) twi = (avr_twi_t*)io;
  if (!twi) return -1;
  twsr_reg = twi->twsr.reg;
  avr_io_addr_t twcr = AVR_DATA_TO_IO(twi->twen.reg);
  twcr_next = avr->io[twcr].w.c;
  twcr_param = avr->io[twcr].w.param;
  avr->io[twcr].w.c = twcr_write;
  avr_irq_t* out = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_OUTPUT);
  avr_irq_t* status = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_STATUS);
  if (!twsr_reg || !out || !status) return -1;
  avr_irq_register_notify(out, twi_sent, NULL);
  avr_irq_register_notify(status, twi_status, NULL);
  return 0;
}

/* ---------------------------------------------------------- AT24C32 -- */

static i2c_eeprom_t ee;
static int ee_addressed, ee_index, ee_wrote;
static uint8_t ee_high;
static avr_cycle_count_t ee_busy_until, ee_write_cycle;
static unsigned long ee_refused;

static void ee_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  avr_twi_msg_irq_t m;
  m.u.v = value;
  int ours = (m.u.twi.addr & 0xFE) == 0xA0;
  if (m.u.twi.msg & TWI_COND_STOP) {
    if (ee_addressed && ee_wrote) ee_busy_until = avr->cycle + ee_write_cycle;
    ee_addressed = ee_wrote = 0;
  }
  if (m.u.twi.msg & TWI_COND_START) {
    ee_addressed = 0;
    if (ours && avr->cycle < ee_busy_until) {
      ee_refused++;
      return; /* no acknowledge while the write cycle runs */
    }
    if (ours) {
      ee_addressed = 1;
      ee_index = 0;
    }
  }
  avr_raise_irq(ee.irq + EE_FROM_MASTER, value);
  if (!ee_addressed || !(m.u.twi.msg & TWI_COND_WRITE)) return;
  if (ee_index == 0) {
    ee_high = m.u.twi.data;
  } else if (ee_index == 1) {
    ee.reg_addr = (uint16_t)(((ee_high << 8) | m.u.twi.data) & (EE_SIZE - 1));
  } else {
    ee_wrote = 1;
    if (ee.reg_addr % EE_PAGE == 0) ee.reg_addr = (uint16_t)((ee.reg_addr - EE_PAGE) & (EE_SIZE - 1));
  }
  ee_index++;
}

int at24_attach(avr_t* a, int verbose_log) {
  if (twi_master_mend(a, verbose_log) != 0) return -1;
  /* simavr 1.6 takes the mask as the address bits to ignore: the R/W bit */
  i2c_eeprom_init(avr, &ee, 0xA0, 0x01, NULL, EE_SIZE);
  ee.verbose = verbose;
  ee_write_cycle = avr->frequency / 100; /* tWR, 10 ms */
  avr_irq_t* twi_out = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_OUTPUT);
  avr_irq_t* twi_in = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_INPUT);
  if (!twi_out || !twi_in) return -1;
  avr_connect_irq(ee.irq + EE_TO_MASTER, twi_in);
  avr_irq_register_notify(twi_out, ee_hook, NULL);
  return 0;
}

unsigned long at24_refused(void) { return ee_refused; }

uint8_t at24_byte(unsigned addr) { return ee.ee[addr & (EE_SIZE - 1)]; }
