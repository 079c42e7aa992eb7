// SPDX-License-Identifier: GPL-3.0-or-later
/*
 * Reads the ZLG7290's Key register (0x01) over the TWI, polled, and shows
 * each key code that arrives on port B: the board's keypad test firmware.
 * The bus runs at about 4 kHz, below the chip's 32 kHz, with a millisecond
 * between two reads, above its 100 us; a read refused while the chip runs
 * its 300 ms power-up is simply tried again.
 */
#include <avr/io.h>
#include <util/delay.h>
#include <util/twi.h>

static uint8_t twi_go(uint8_t how) {
  TWCR = (uint8_t)(how | (1 << TWINT) | (1 << TWEN));
  while (!(TWCR & (1 << TWINT))) {}
  return TWSR & 0xF8;
}

static void twi_stop(void) {
  TWCR = (1 << TWINT) | (1 << TWSTO) | (1 << TWEN);
  while (TWCR & (1 << TWSTO)) {}
}

static uint8_t read_key(void) {
  uint8_t key = 0;
  if (twi_go(1 << TWSTA) != TW_START) goto done;
  TWDR = 0x70;
  if (twi_go(0) != TW_MT_SLA_ACK) goto done;
  TWDR = 0x01;
  if (twi_go(0) != TW_MT_DATA_ACK) goto done;
  if (twi_go(1 << TWSTA) != TW_REP_START) goto done;
  TWDR = 0x71;
  if (twi_go(0) != TW_MR_SLA_ACK) goto done;
  twi_go(0); /* one byte, not acknowledged */
  key = TWDR;
done:
  twi_stop();
  return key;
}

int main(void) {
  DDRB = 0xFF;
  TWSR = 1; /* prescaler 4 */
  TWBR = 255;
  for (;;) {
    uint8_t key = read_key();
    if (key) PORTB = key;
    _delay_ms(1);
  }
}
