// SPDX-License-Identifier: GPL-3.0-or-later
/* The ZLG7290 driver on the chip: its start-up, a hexadecimal and a decimal
 * number, digits set to flash. Every access must keep the chip's pauses by
 * itself (delay.c returns at once here). The results stay in `result` for
 * the runner to read. */
#include <avr/interrupt.h>
#include <avr/sleep.h>
#include <macros.h>
#include "twi.h"
#include "zlg7290.h"

unsigned char result[4];

/* zlg7290.h's ZLG7290_Flash calls it but the header does not declare it */
unsigned char ZLG7290_cmd(unsigned char cmd0, unsigned char cmd1);

int main(void)
{
   TWI_Init();
   ZLG7290_Init();
   DispHexValue4BIT(0, 0x1A2B);            /* digits 0..3: 1 A 2 b */
   DispValue4BIT(4, 1234);                 /* digits 4..7: 1 2 3 4 */
   result[0] = ZLG7290_Flash(0x81);        /* TW_OK */
   result[1] = strTWI.STATUS;
   result[2] = 0xA5;                       /* the run got to the end */
   cli();
   sleep_enable();
   sleep_cpu();
   return 0;
}
