// SPDX-License-Identifier: GPL-3.0-or-later
/* The DS1302 driver on the chip, started as main.c starts it at every
 * reset: the clock is set only when it was halted, and the RAM byte the
 * probe borrows is given back. The results stay in `result` for the runner
 * to read. */
#include <avr/interrupt.h>
#include <avr/sleep.h>
#include <macros.h>
#include "spi.h"
#include "ds1302.h"

unsigned char result[12];

int main(void)
{
   unsigned char i;
   SPI_Init();
   DS1302_Init();
   result[0] = check_RTC();
   read_date1();
   for(i = 0; i < 7; i++)
      result[1 + i] = CURDATE[i];
   result[8] = 0xA5;                       /* the run got to the end */
   cli();
   sleep_enable();
   sleep_cpu();
   return 0;
}
