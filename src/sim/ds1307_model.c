// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * The DS1307 model: simavr's ds1338_virt part behind a hook that mends it
 * to the DS1307 datasheet. The part keeps the registers, answers the bus
 * and counts the time (BCD carries, weekday, month lengths, years); the
 * hook mends
 *  - the length of a second: the part ticks every 15 us rounded down to
 *    whole CPU cycles and counts 65536 ticks a second, so its second is 2 %
 *    short at 7.3728 MHz; here its own timer is stopped and it is made to
 *    count each second at exactly one second of the CPU clock;
 *  - torn reads: the part counts in the registers the master reads, so a
 *    read that spans a second's end can pair the old second with the new
 *    minute; the chip reads from buffers synchronised at each START
 *    ("Clock and Calendar"), so here a second that ends during a transfer
 *    is counted at its next START or STOP;
 *  - the countdown chain: the chip restarts its second when the seconds
 *    register is written; the part keeps counting;
 *  - 12 hour mode: the part turns AM/PM at 12 to 1 (and at PM 12 to 1
 *    falls into 24 hour mode at hour 0); the chip turns it at 11 to 12,
 *    and the day at 11:59:59 PM: here the hour is counted in 24 hour form;
 *  - February: the part gives it 29 days in common years and 28 in leap
 *    years; the chip 29 in every year divisible by 4 (up to 2100);
 *  - the register pointer: the part takes only the first byte after a STOP
 *    as the pointer; the chip takes the first byte after any START, so a
 *    repeated START sets it anew;
 *  - the pointer's wrap: the chip goes on from 0x3F to 0x00, the part to
 *    0x40 and beyond its 64 bytes (as it does for a pointer byte above
 *    0x3F, which here keeps its low six bits);
 *  - the first power-up: the part starts at day 0 of month 0; the chip at
 *    00-01-01, weekday 1, 00:00:00 with the oscillator halted (CH set).
 * The SQW/OUT pin is not wired.
 */
#include "ds1307_model.h"

#include <simavr/avr_twi.h>
#include <simavr/sim_cycle_timers.h>
#include <simavr/sim_io.h>
#include <simavr/sim_irq.h>
#include <string.h>
// clang-format off
#include <simavr/parts/ds1338_virt.h>  /* needs sim_avr.h first */
// clang-format on

#include "at24_model.h"

/* The part's two lines: it answers on the first, listens on the second */
#define RTC_TO_MASTER DS1338_TWI_IRQ_OUTPUT
#define RTC_FROM_MASTER DS1338_TWI_IRQ_INPUT
#define RTC_CH 0x80
#define RTC_12H 0x40
#define RTC_PM 0x20
#define RTC_RS 0x03

static avr_t* avr;
static ds1338_virt_t rtc;
static avr_cycle_timer_t part_tick; /* the part's own tick, found in the timer list */
static unsigned long seconds;
static int in_transfer, pending; /* seconds that ended during a transfer */

static uint8_t bcd(unsigned v) {
  return (uint8_t)(v / 10 << 4 | v % 10);
}
static unsigned bin(uint8_t v) {
  return (v >> 4) * 10u + (v & 0x0F);
}

/* Counts one second through the part */
static void count_second(void) {
  uint8_t* r = rtc.nvram;
  uint8_t control = r[DS1338_VIRT_CONTROL];
  int twelve = r[DS1338_VIRT_HOURS] & RTC_12H;
  if (twelve) {
    unsigned h = bin(r[DS1338_VIRT_HOURS] & 0x1F) % 12 + (r[DS1338_VIRT_HOURS] & RTC_PM ? 12 : 0);
    r[DS1338_VIRT_HOURS] = bcd(h);
  }
  int feb28_ends = r[DS1338_VIRT_MONTH] == 0x02 && r[DS1338_VIRT_DATE] == 0x28 &&
                   r[DS1338_VIRT_HOURS] == 0x23 && r[DS1338_VIRT_MINUTES] == 0x59 &&
                   r[DS1338_VIRT_SECONDS] == 0x59;
  r[DS1338_VIRT_CONTROL] &= (uint8_t)~RTC_RS; /* no square wave step at a second's end */
  rtc.rtc = 0xFFFF;                           /* the last of the part's 65536 ticks */
  part_tick(avr, avr->cycle, &rtc);
  r[DS1338_VIRT_CONTROL] = control;
  if (feb28_ends) {
    int leap = bin(r[DS1338_VIRT_YEAR]) % 4 == 0;
    r[DS1338_VIRT_MONTH] = leap ? 0x02 : 0x03;
    r[DS1338_VIRT_DATE] = leap ? 0x29 : 0x01;
  }
  if (twelve) {
    unsigned h = bin(r[DS1338_VIRT_HOURS] & 0x3F);
    r[DS1338_VIRT_HOURS] = (uint8_t)(RTC_12H | (h >= 12 ? RTC_PM : 0) | bcd(h % 12 ? h % 12 : 12));
  }
  seconds++;
}

/* The buffers follow the clock at each START and STOP */
static void sync(void) {
  for (; pending; pending--) count_second();
}

static avr_cycle_count_t second_ends(avr_t* a, avr_cycle_count_t when, void* param) {
  (void)a, (void)param;
  if (in_transfer)
    pending++; /* the master reads the buffers of the last START */
  else
    count_second();
  return when + avr->frequency;
}

/* The seconds register was written: a new second starts now, if the
 * oscillator runs */
static void restart_second(void) {
  avr_cycle_timer_cancel(avr, second_ends, NULL);
  pending = 0;
  if (!(rtc.nvram[DS1338_VIRT_SECONDS] & RTC_CH))
    avr_cycle_timer_register(avr, avr->frequency, second_ends, NULL);
}

static void bus_hook(struct avr_irq_t* irq, uint32_t value, void* param) {
  (void)irq, (void)param;
  avr_twi_msg_irq_t m;
  m.u.v = value;
  if (m.u.twi.msg & (TWI_COND_START | TWI_COND_STOP)) {
    sync();
    in_transfer = (m.u.twi.msg & TWI_COND_START) != 0;
  }
  if (m.u.twi.msg & TWI_COND_START) rtc.reg_selected = 0; /* the next byte written is the pointer */
  int seconds_written = (m.u.twi.msg & TWI_COND_WRITE) && rtc.selected && rtc.reg_selected &&
                        rtc.reg_addr == DS1338_VIRT_SECONDS;
  avr_raise_irq(rtc.irq + RTC_FROM_MASTER, value);
  rtc.reg_addr &= 0x3F;
  if (seconds_written) restart_second();
}

int ds1307_attach(avr_t* a, const uint8_t regs[8], int verbose) {
  avr = a;
  if (twi_master_mend(avr, verbose) != 0) return -1;
  ds1338_virt_init(avr, &rtc);
  rtc.verbose = (uint8_t)verbose;
  for (avr_cycle_timer_slot_p s = avr->cycle_timers.timer; s; s = s->next)
    if (s->param == &rtc) part_tick = s->timer;
  if (!part_tick) return -1;
  avr_cycle_timer_cancel(avr, part_tick, &rtc);

  static const uint8_t power_up[8] = {RTC_CH, 0x00, 0x00, 0x01, 0x01, 0x01, 0x00, 0x00};
  memcpy(rtc.nvram, regs ? regs : power_up, 8);
  restart_second();

  avr_irq_t* twi_out = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_OUTPUT);
  avr_irq_t* twi_in = avr_io_getirq(avr, AVR_IOCTL_TWI_GETIRQ(0), TWI_IRQ_INPUT);
  if (!twi_out || !twi_in) return -1;
  avr_connect_irq(rtc.irq + RTC_TO_MASTER, twi_in);
  avr_irq_register_notify(twi_out, bus_hook, NULL);
  return 0;
}

void ds1307_report(FILE* out) {
  fprintf(out, "ds1307 regs=");
  for (int i = 0; i < 8; i++) fprintf(out, "%02X%s", rtc.nvram[i], i < 7 ? " " : "");
  fprintf(out, " seconds=%lu\n", seconds);
}

void ds1307_regs(uint8_t regs[8]) {
  memcpy(regs, rtc.nvram, 8);
}

void ds1307_set(const uint8_t regs[7]) {
  memcpy(rtc.nvram, regs, 7);
  restart_second();
}
