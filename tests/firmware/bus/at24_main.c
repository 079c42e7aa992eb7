// SPDX-License-Identifier: GPL-3.0-or-later
/* The AT24Cxx driver on the chip: a bus left stuck by a slave, two single
 * writes back to back, a page write across a 32-byte page boundary. The
 * results stay in `result` for the runner to read. */
#include <avr/interrupt.h>
#include <avr/sleep.h>
#include <macros.h>
#include "twi.h"
#include "at24cxx.h"

unsigned char result[6];

int main(void)
{
   unsigned char buf[30];
   unsigned char back[50];
   unsigned char i;
   unsigned char same = 1;
   unsigned char blank = 1;
   TWI_Init();
   AT24Cxx_Init();
   TWIWrite(0x55, 0x99);
   TWIWrite(0x56, 0x22);                   /* must wait out the first write cycle */
   result[0] = TWIRead(0x55);
   result[1] = TWIRead(0x56);
   for(i = 0; i < 30; i++)
      buf[i] = (unsigned char)(i + 1);
   TWIWriteBytes(20, buf, 30);             /* 20..31, then 32..49 */
   TWIReadBytes(0, back, 50);
   for(i = 0; i < 20; i++)
      blank &= back[i] == 0xFF;
   for(i = 0; i < 30; i++)
      same &= back[20 + i] == buf[i];
   result[2] = same;
   result[3] = blank;
   result[4] = 0xA5;                       /* the run got to the end */
   cli();
   sleep_enable();
   sleep_cpu();
   return 0;
}
