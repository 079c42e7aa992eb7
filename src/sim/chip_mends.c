// SPDX-License-Identifier: GPL-3.0-or-later
/* The chip table and simavr mends; see chip_mends.h. */
#include "chip_mends.h"

#include <simavr/sim_interrupts.h>
#include <simavr/sim_io.h>
#include <simavr/sim_regbit.h>
#include <string.h>

/* ATmega8535 has the ATmega16's vector order and registers but 2-byte vector
 * slots; ATmega64 matches the ATmega128. ATmega8515 shares the UART registers
 * with the ATmega16, but its UART vectors are 9, 10, 11 (receive, data
 * register empty, transmit); its other peripherals are not modelled. */
static const struct sim_chip kChips[] = {
    {"atmega8", "atmega8", 0, 0},     {"atmega8515", "atmega16", 2, 9}, {"atmega8535", "atmega16", 2, 0},
    {"atmega16", "atmega16", 0, 0},   {"atmega32", "atmega32", 0, 0},   {"atmega64", "atmega128", 0, 0},
    {"atmega128", "atmega128", 0, 0},
};

const struct sim_chip* sim_chip_find(const char* name) {
  for (size_t i = 0; i < sizeof kChips / sizeof kChips[0]; i++)
    if (!strcmp(kChips[i].chip, name)) return &kChips[i];
  return NULL;
}

/* Moves a UART vector to the chip's number. */
static void renumber(avr_t* avr, avr_int_vector_t* v, int number) {
  v->vector = (uint8_t)number;
  avr->interrupts.vector[number] = v;
}

static void store(avr_t* avr, avr_io_addr_t addr, uint8_t v, avr_io_write_t w, void* param) {
  if (w)
    w(avr, addr, v, param);
  else
    avr->data[addr] = v;
}

static void ucsrb_write(avr_t* avr, avr_io_addr_t addr, uint8_t v, void* param) {
  struct sim_uart* u = param;
  int udre_before = avr_regbit_get(avr, u->port->udrc.raised);
  store(avr, addr, v, u->ucsrb_w, u->ucsrb_param);
  if (udre_before && !avr_regbit_get(avr, u->port->udrc.raised)) avr_raise_interrupt(avr, &u->port->udrc);
}

static void ubrrh_write(avr_t* avr, avr_io_addr_t addr, uint8_t v, void* param) {
  struct sim_uart* u = param;
  if (u->shared_ucsrc && (v & 0x80)) {
    u->ucsrc = v;
    return;
  }
  store(avr, addr, v, u->ubrrh_w, u->ubrrh_param);
}

uint8_t sim_uart_ucsrc(avr_t* avr, const struct sim_uart* u) {
  return u->shared_ucsrc ? u->ucsrc : avr->data[u->port->r_ucsrc];
}

unsigned sim_uart_ubrr(avr_t* avr, const struct sim_uart* u) {
  return avr_regbit_get(avr, u->port->ubrrl) | (avr_regbit_get(avr, u->port->ubrrh) << 8);
}

/* Start bit, data bits, parity bit if any, stop bits, as the chip reads its
 * registers. */
void sim_uart_retime(avr_t* avr, struct sim_uart* u) {
  static const int data_bits[8] = {5, 6, 7, 8, 8, 8, 8, 9};
  uint8_t c = sim_uart_ucsrc(avr, u);
  int size = ((c >> 1) & 3) | (avr_regbit_get(avr, u->port->ucsz2) << 2);
  int frame = 1 + data_bits[size] + (((c >> 4) & 3) ? 1 : 0) + 1 + ((c >> 3) & 1);
  avr_cycle_count_t bit = (avr_regbit_get(avr, u->port->u2x) ? 8 : 16) * (sim_uart_ubrr(avr, u) + 1);
  u->port->cycles_per_byte = bit * frame;
}

static void mend_uart(avr_t* avr, avr_uart_t* port, struct sim_uart* u) {
  memset(u, 0, sizeof *u);
  u->port = port;
  u->index = port->name - '0';
  uint32_t flags = 0;
  avr_ioctl(avr, AVR_IOCTL_UART_SET_FLAGS(port->name), &flags);

  avr_io_addr_t b = AVR_DATA_TO_IO(port->r_ucsrb);
  u->ucsrb_w = avr->io[b].w.c;
  u->ucsrb_param = avr->io[b].w.param;
  avr->io[b].w.c = ucsrb_write;
  avr->io[b].w.param = u;

  avr_io_addr_t h = AVR_DATA_TO_IO(port->ubrrh.reg);
  u->shared_ucsrc = port->ubrrh.reg == port->r_ucsrc;
  if (u->shared_ucsrc) {
    u->ucsrc = avr->data[port->ubrrh.reg];
    avr->data[port->ubrrh.reg] = 0;
  }
  u->ubrrh_w = avr->io[h].w.c;
  u->ubrrh_param = avr->io[h].w.param;
  avr->io[h].w.c = ubrrh_write;
  avr->io[h].w.param = u;
}

static void no_sleep(avr_t* avr, avr_cycle_count_t how_long) {
  (void)avr;
  (void)how_long;
}

avr_t* sim_chip_make(const struct sim_chip* chip, elf_firmware_t* fw, unsigned long hz,
                     struct sim_uart uarts[SIM_MAX_UARTS], int* uart_count) {
  avr_t* avr = avr_make_mcu_by_name(chip->core);
  if (!avr) return NULL;
  avr_init(avr);
  if (chip->vector_size) avr->vector_size = (uint8_t)chip->vector_size;
  avr_load_firmware(avr, fw);
  avr->frequency = (uint32_t)hz;
  avr->sleep = no_sleep;
  avr->log = 0;

  *uart_count = 0;
  for (avr_io_t* io = avr->io_port; io; io = io->next)
    if (io->kind && !strcmp(io->kind, "uart") && *uart_count < SIM_MAX_UARTS)
      mend_uart(avr, (avr_uart_t*)io, &uarts[(*uart_count)++]);
  if (chip->uart_vectors && *uart_count == 1) {
    renumber(avr, &uarts[0].port->rxc, chip->uart_vectors);
    renumber(avr, &uarts[0].port->udrc, chip->uart_vectors + 1);
    renumber(avr, &uarts[0].port->txc, chip->uart_vectors + 2);
  }
  return avr;
}

void sim_chip_reset(avr_t* avr, struct sim_uart uarts[], int uart_count) {
  avr_reset(avr);
  for (int i = 0; i < uart_count; i++) {
    struct sim_uart* u = &uarts[i];
    if (!u->shared_ucsrc) continue;
    u->ucsrc = avr->data[u->port->ubrrh.reg];
    avr->data[u->port->ubrrh.reg] = 0;
  }
}

const char* sim_state_name(int state, const char* otherwise) {
  switch (state) {
    case cpu_Running: return "running";
    case cpu_Sleeping: return "sleeping";
    case cpu_Done: return "done";
    case cpu_Crashed: return "crashed";
    default: return otherwise;
  }
}
