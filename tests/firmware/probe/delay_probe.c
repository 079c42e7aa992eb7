// SPDX-License-Identifier: GPL-3.0-or-later
/* Measures the delay functions of a generated delay.c in CPU cycles with
 * Timer1 and reports them on the UART as "nus480=N nms10=N\r\n". Built with
 * the project's own Makefile in place of main.c (ATmega16). */
#include <avr/interrupt.h>
#include <avr/io.h>
#include <stdint.h>

#include "delay.h"

static volatile uint16_t overflows;

ISR(TIMER1_OVF_vect) { overflows++; }

static void start(void)
{
	overflows = 0;
	TCNT1 = 0;
	TIFR = _BV(TOV1);
	TCCR1B = _BV(CS10); /* the CPU clock, undivided */
}

static uint32_t stop(void)
{
	uint16_t count, wraps;
	cli();
	count = TCNT1; /* read while running: a stopped timer may read as 0 */
	wraps = overflows;
	if ((TIFR & _BV(TOV1)) && count < 0x8000) /* wrapped, not yet counted */
		wraps++;
	TCCR1B = 0;
	sei();
	return ((uint32_t)wraps << 16) + count;
}

static void put(char c)
{
	while (!(UCSRA & _BV(UDRE)))
		;
	UDR = c;
}

static void put_text(const char *s)
{
	while (*s)
		put(*s++);
}

static void put_number(uint32_t v)
{
	char digits[11];
	uint8_t n = 0;
	do {
		digits[n++] = (char)('0' + v % 10);
		v /= 10;
	} while (v);
	while (n)
		put(digits[--n]);
}

int main(void)
{
	uint32_t empty, nus, nms;

	UCSRA = _BV(U2X);
	UBRRH = 0;
	UBRRL = (uint8_t)(F_CPU / 8 / 9600 - 1);
	UCSRC = _BV(URSEL) | _BV(UCSZ1) | _BV(UCSZ0);
	UCSRB = _BV(TXEN);
	TIMSK = _BV(TOIE1);
	sei();

	start();
	empty = stop();
	start();
	delay_nus(480);
	nus = stop() - empty;
	start();
	delay_nms(10);
	nms = stop() - empty;

	put_text("nus480=");
	put_number(nus);
	put_text(" nms10=");
	put_number(nms);
	put_text("\r\n");
	for (;;)
		;
}
