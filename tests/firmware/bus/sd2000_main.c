// SPDX-License-Identifier: GPL-3.0-or-later
/* The SD2000 driver on the chip: SD2000_Init at every start, then the time
 * it read. The results stay in `result` for the runner to read. */
#include <avr/interrupt.h>
#include <avr/sleep.h>
#include <macros.h>
#include "twi.h"
#include "sd2000.h"

unsigned char result[10];

int main(void)
{
   unsigned char i;
   TWI_Init();
   SD2000_Init();
   result[0] = g_sd2k_return;
   result[1] = g_sd2k_stusr;
   for(i = 0; i < 7; i++)
      result[2 + i] = g_sd2k_read_time[i];
   result[9] = 0xA5;                       /* the run got to the end */
   cli();
   sleep_enable();
   sleep_cpu();
   return 0;
}
