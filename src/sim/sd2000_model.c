// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * The SD2000 on the TWI bus, from its datasheet ("Serial interface",
 * "Commands", "Status register", "Real-time data", "Reset"):
 *  - no register pointer: the first byte is 0110 CCC R/W, the command in
 *    CCC; 000 reset (either R/W), 001 status register (1 byte), 010 real-time
 *    data (7 bytes: year, month, day, weekday, hour, minute, second, BCD),
 *    011 time (hour, minute, second), 100 and 101 the INT1 and INT2
 *    registers (up to 3 bytes); 110 and 111 are not the chip's and get no
 *    acknowledge;
 *  - data bytes travel LSB first; the TWI shifts MSB first, so each byte
 *    is mirrored on the way; below, bit n of a register is the n-th bit on
 *    the line;
 *  - status register: bit 1 12/24 (1: 24 hour mode), bits 2..5 settable,
 *    bit 6 BLD (supply dropped) and bit 7 POC (power-on: the time is not
 *    valid), both read only and cleared by the reset;
 *  - hour byte: bit 6 is the PM flag, set from 12:00 also in 24 hour mode;
 *  - the reset command sets the time to 00-01-01, weekday 0, 00:00:00, the
 *    status and INT registers to 0, and takes about 0.5 ms, during which
 *    the chip does not answer; the model refuses any access sooner than
 *    0.5 ms after the reset command ended and counts it.
 * The clock does not tick here: the runner moves it between two boots.
 */
#include "sd2000_model.h"

#include <inttypes.h>
#include <simavr/avr_twi.h>
#include <simavr/sim_irq.h>
#include <stdint.h>
#include <string.h>

#define SD_STATUS_24H 0x02
#define SD_STATUS_WRITABLE 0x3E
#define SD_STATUS_BLD 0x40
#define SD_STATUS_POC 0x80
#define SD_HOUR_PM 0x40
#define SD_RESET_US 500ULL

static avr_t* avr;
static int verbose;
static avr_irq_t* to_master;
static uint8_t status = SD_STATUS_POC, rtc[7], int_reg[2][3];
static int command = -1, reading, index_in_command, was_reset;
static avr_cycle_count_t busy_until;
static unsigned long resets, time_writes, early;

static uint8_t mirror(uint8_t v) {
  uint8_t out = 0;
  for (int i = 0; i < 8; i++, v >>= 1) out = (uint8_t)((out << 1) | (v & 1));
  return out;
}

static void reset_chip(void) {
  static const uint8_t kResetTime[7] = {0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00};
  memcpy(rtc, kResetTime, sizeof rtc);
  memset(int_reg, 0, sizeof int_reg);
  status = 0;
  resets++;
}

/* Register behind data byte i of the current command, NULL past its end */
static uint8_t* data_register(int i) {
  switch (command) {
    case 1: return i < 1 ? &status : NULL;
    case 2: return i < 7 ? &rtc[i] : NULL;
    case 3: return i < 3 ? &rtc[4 + i] : NULL;
    case 4:
    case 5: return i < 3 ? &int_reg[command - 4][i] : NULL;
    default: return NULL;
  }
}

/* A register as read: in 24 hour mode the hour carries PM from 12:00 */
static uint8_t register_out(const uint8_t* r) {
  uint8_t v = *r;
  if (r == &rtc[4] && (status & SD_STATUS_24H))
    v = (uint8_t)((v & ~SD_HOUR_PM) | ((v & 0x3F) >= 0x12 ? SD_HOUR_PM : 0));
  return v;
}

static uint8_t read_data(int i) {
  uint8_t* r = data_register(i);
  return r ? register_out(r) : 0xFF;
}

static void write_data(int i, uint8_t v) {
  uint8_t* r = data_register(i);
  if (!r) return;
  if (r == &status) {
    status = (uint8_t)((status & ~SD_STATUS_WRITABLE) | (v & SD_STATUS_WRITABLE));
    return;
  }
  *r = v;
  if (command == 2 && i == 6) time_writes++;
}

static void ack(uint8_t addr) {
  avr_raise_irq(to_master, avr_twi_irq_msg(TWI_COND_ACK, addr, 1));
}

static void bus_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  avr_twi_msg_irq_t m;
  m.u.v = value;
  if (m.u.twi.msg & TWI_COND_STOP) {
    if (was_reset) busy_until = avr->cycle + (avr_cycle_count_t)(SD_RESET_US * avr->frequency / 1000000ULL);
    command = -1;
    was_reset = 0;
  }
  if (m.u.twi.msg & TWI_COND_START) {
    command = -1;
    if ((m.u.twi.addr & 0xF0) != 0x60 || (m.u.twi.addr & 0x0E) >= 0x0C) return;
    if (avr->cycle < busy_until) {
      early++;
      if (verbose)
        fprintf(stderr, "sd2000: accessed during its reset at %" PRIu64 "\n", (uint64_t)avr->cycle);
      return;
    }
    command = (m.u.twi.addr >> 1) & 7;
    reading = m.u.twi.addr & 1;
    index_in_command = 0;
    ack(m.u.twi.addr);
    if (command == 0) {
      reset_chip();
      was_reset = 1;
    }
    return;
  }
  if (command < 0) return;
  if ((m.u.twi.msg & TWI_COND_WRITE) && !reading) {
    ack(m.u.twi.addr);
    write_data(index_in_command++, mirror(m.u.twi.data));
  } else if ((m.u.twi.msg & TWI_COND_READ) && reading) {
    avr_raise_irq(to_master,
                  avr_twi_irq_msg(TWI_COND_READ, m.u.twi.addr, mirror(read_data(index_in_command++))));
  }
}

int sd2000_attach(avr_t* a, int verbose_log) {
  avr = a;
  verbose = verbose_log;
  to_master = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_INPUT);
  avr_irq_t* from_master = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_OUTPUT);
  if (!to_master || !from_master) return -1;
  avr_irq_register_notify(from_master, bus_hook, NULL);
  /* what a clock found after a power loss may hold */
  static const uint8_t kGarbage[7] = {0x45, 0x12, 0x31, 0x06, 0x23, 0x59, 0x59};
  memcpy(rtc, kGarbage, sizeof rtc);
  status = SD_STATUS_POC | SD_STATUS_BLD;
  return 0;
}

void sd2000_battery(void) {
  rtc[6] = 0x33;
  command = -1;
  was_reset = 0;
}

void sd2000_report(FILE* out) {
  fprintf(out, "sd2000 time");
  for (int i = 0; i < 7; i++) fprintf(out, " %02X", register_out(&rtc[i]));
  fprintf(out, " status=%02X resets=%lu time_writes=%lu early=%lu\n", status, resets, time_writes, early);
}
