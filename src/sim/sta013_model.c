// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * The STA013 MPEG audio decoder's control port, from the STA013 datasheet
 * ("I2C bus specification", "Register description", "Decoder
 * initialization"):
 *  - it answers at 0x86 (write) and 0x87 (read) and acknowledges every byte
 *    written to it; the first byte after 0x86 is the register address, each
 *    further byte is written there and the address moves on by one; a read
 *    (0x87, after a repeated START or a STOP and START) returns the register
 *    at the address and moves on by one;
 *  - VERSION (0x00) and IDENT (0x01, reading 0xAC) are read-only;
 *  - SOFT_RESET (0x10): a one resets the decoder, which stops (RUN, PLAY
 *    and MUTE back to 0);
 *  - the configuration is loaded while the decoder is stopped; once RUN
 *    (0x72) is 1 only the play controls PLAY (0x13), MUTE (0x14) and the
 *    attenuations DLA/DLB/DRA/DRB (0x46..0x49) are written;
 *  - PLAY starts decoding only on a running decoder;
 *  - the bus runs at 400 kHz at most (fast mode).
 * Anything else counts as a fault. Every register write is logged in order.
 */
#include "sta013_model.h"

#include <simavr/avr_twi.h>
#include <simavr/sim_io.h>
#include <simavr/sim_irq.h>
#include <string.h>

#define STA_ADDRESS 0x86
#define REG_VERSION 0x00
#define REG_IDENT 0x01
#define REG_SOFT_RESET 0x10
#define REG_PLAY 0x13
#define REG_MUTE 0x14
#define REG_DLA 0x46
#define REG_DRB 0x49
#define REG_DLA_DRA_GAP 2 /* DRA is DLA + 2 */
#define REG_RUN 0x72
#define LOG_SIZE 256

static avr_t* avr;
static avr_twi_t* twi;
static avr_irq_t* to_master;
static int verbose;

static uint8_t regs[256];
static int selected, reading, index_in_message;
static uint8_t address;
static unsigned long ident_reads, resets, faults;
static uint8_t log_reg[LOG_SIZE], log_value[LOG_SIZE];
static int log_len;

static void fault(const char* what, int reg) {
  faults++;
  if (verbose) fprintf(stderr, "sta013 fault: %s (register %02X)\n", what, reg);
}

static void power_on(void) {
  memset(regs, 0, sizeof regs);
  regs[REG_VERSION] = 0x01;
  regs[REG_IDENT] = 0xAC;
}

static int play_control(int reg) {
  return reg == REG_PLAY || reg == REG_MUTE || (reg >= REG_DLA && reg <= REG_DRB);
}

static void write_register(uint8_t reg, uint8_t value) {
  if (log_len < LOG_SIZE) log_reg[log_len] = reg, log_value[log_len++] = value;
  if (reg == REG_VERSION || reg == REG_IDENT) {
    fault("write to a read-only register", reg);
    return;
  }
  if (reg == REG_SOFT_RESET) {
    if (value & 1) {
      resets++;
      regs[REG_RUN] = regs[REG_PLAY] = regs[REG_MUTE] = 0;
    }
    return;
  }
  if (regs[REG_RUN] && reg != REG_RUN && !play_control(reg)) fault("configuration written while running", reg);
  if (reg == REG_PLAY && (value & 1) && !regs[REG_RUN]) fault("PLAY on a stopped decoder", reg);
  regs[reg] = value;
}

/* SCL = f / (16 + 2 * TWBR * 4^TWPS) */
static void check_clock(void) {
  unsigned prescale = 1u << (2 * (avr->data[twi->r_twsr] & 3));
  unsigned long scl = avr->frequency / (16ul + 2ul * avr->data[twi->r_twbr] * prescale);
  if (scl > 400000ul) fault("bus clock above 400 kHz", -1);
}

static void bus_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  avr_twi_msg_irq_t m;
  m.u.v = value;
  if (m.u.twi.msg & TWI_COND_STOP) selected = 0;
  if (m.u.twi.msg & TWI_COND_START) {
    selected = (m.u.twi.addr & 0xFE) == STA_ADDRESS;
    if (!selected) return;
    check_clock();
    reading = m.u.twi.addr & 1;
    index_in_message = 0;
    avr_raise_irq(to_master, avr_twi_irq_msg(TWI_COND_ACK, m.u.twi.addr, 1));
    return;
  }
  if (!selected) return;
  if ((m.u.twi.msg & TWI_COND_WRITE) && !reading) {
    if (index_in_message++ == 0) {
      address = m.u.twi.data;
    } else {
      write_register(address, m.u.twi.data);
      address++;
    }
    avr_raise_irq(to_master, avr_twi_irq_msg(TWI_COND_ACK, STA_ADDRESS, 1));
  } else if ((m.u.twi.msg & TWI_COND_READ) && reading) {
    if (address == REG_IDENT) ident_reads++;
    avr_raise_irq(to_master, avr_twi_irq_msg(TWI_COND_READ, STA_ADDRESS | 1, regs[address]));
    address++;
  } else {
    fault("a byte against the direction of the message", address);
  }
}

int sta013_attach(avr_t* a, int verbose_log) {
  avr = a;
  verbose = verbose_log;
  for (avr_io_t* io = avr->io_port; io; io = io->next)
    if (io->kind && !strcmp(io->kind, "twi")) twi = (avr_twi_t*)io;
  avr_irq_t* from_master = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_OUTPUT);
  to_master = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_INPUT);
  if (!twi || !from_master || !to_master) return -1;
  power_on();
  avr_irq_register_notify(from_master, bus_hook, NULL);
  return 0;
}

void sta013_report(FILE* out) {
  fprintf(out, "sta013 writes");
  for (int i = 0; i < log_len; i++) fprintf(out, " %02X=%02X", log_reg[i], log_value[i]);
  fprintf(out, "\n");
  fprintf(out, "sta013 ident=%lu play=%d mute=%d run=%d dla=%02X dra=%02X resets=%lu faults=%lu\n", ident_reads,
          regs[REG_PLAY] & 1, regs[REG_MUTE] & 1, regs[REG_RUN] & 1, regs[REG_DLA],
          regs[REG_DLA + REG_DLA_DRA_GAP], resets, faults);
}
