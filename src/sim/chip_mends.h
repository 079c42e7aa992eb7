// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * What running ordinary ATmega firmware in simavr 1.6 needs, shared by the
 * virtual board (tamberlo-sim) and the firmware tests' runner.
 *
 * Chips that simavr lacks run on the nearest core with the same UART
 * registers, with the chip's vector slots and UART vector numbers.
 *
 * simavr differs from the silicon in ways that would stop ordinary firmware;
 * the mends here put the chip's behaviour back:
 *  - a write of UCSRB clears the data-register-empty flag for good, so
 *    polled senders never get going; a UCSRB write never touches UDRE on
 *    the real chip, so the flag is put back;
 *  - single-UART chips share one address for UBRRH and UCSRC, told apart by
 *    URSEL (bit 7); simavr has no URSEL, so writes with bit 7 set are kept
 *    as UCSRC instead of landing in UBRRH; simavr also resets that address
 *    to UCSRC's 0x86, which reads as UBRRH 6, where the chip has 0;
 *  - it times bytes from a baud figure refreshed only on UBRRL writes and a
 *    frame size read through the shared address: sim_uart_retime() sets the
 *    byte time from UBRR, U2X and the frame format (call it before every
 *    step);
 *  - its uart sleeps in real time while firmware polls, and its sleep
 *    callback does too: both are turned off, runs depend only on cycles.
 */
#ifndef CHIP_MENDS_H
#define CHIP_MENDS_H

#include <simavr/avr_uart.h>
#include <simavr/sim_avr.h>
#include <simavr/sim_elf.h>

#define SIM_MAX_UARTS 2

struct sim_chip {
  const char* chip; /* atmega8 ... atmega128 */
  const char* core; /* the simavr core it runs on */
  int vector_size;  /* 0 keeps the core's own */
  int uart_vectors; /* receive vector of the chip's UART when it differs
                     * from the core's; the other two follow it */
};

struct sim_uart {
  avr_uart_t* port;
  int index; /* 0 or 1 */
  avr_io_write_t ucsrb_w;
  void* ucsrb_param;
  avr_io_write_t ubrrh_w;
  void* ubrrh_param;
  int shared_ucsrc; /* UBRRH and UCSRC share one address */
  uint8_t ucsrc;
};

/* The chip by its avr-gcc name, NULL when it is not one of ours. */
const struct sim_chip* sim_chip_find(const char* name);

/* A core for the chip with the firmware loaded and every mend in place;
 * uarts[] gets the core's UARTs (their count in *uart_count). NULL when
 * simavr has no such core. */
avr_t* sim_chip_make(const struct sim_chip* chip, elf_firmware_t* fw, unsigned long hz,
                     struct sim_uart uarts[SIM_MAX_UARTS], int* uart_count);

/* The reset pin: the chip starts over, the parts wired to it keep their state. */
void sim_chip_reset(avr_t* avr, struct sim_uart uarts[], int uart_count);

/* "running", "sleeping", "done" or "crashed"; `otherwise` for any other
 * state of the core. */
const char* sim_state_name(int state, const char* otherwise);

void sim_uart_retime(avr_t* avr, struct sim_uart* u);
uint8_t sim_uart_ucsrc(avr_t* avr, const struct sim_uart* u);
unsigned sim_uart_ubrr(avr_t* avr, const struct sim_uart* u);

#endif
