// SPDX-License-Identifier: GPL-3.0-or-later
/* The SD and FAT drivers on the chip, where int has 16 bits: start the
 * card, open and read a file of several clusters, refuse a name that is not
 * 8.3, write a block while the card stays busy for a while. The results
 * stay in `result` for the runner to read. */
#include <avr/interrupt.h>
#include <avr/sleep.h>
#include <macros.h>
#include "spi.h"
#include "sd.h"
#include "fat.h"

unsigned char result[12];

int main(void)
{
   FAT_FILE f;
   unsigned int n;
   unsigned int i;
   unsigned long total = 0;
   unsigned int sum = 0;
   result[0] = SD_Init();
   result[1] = FAT_Init();
   if(result[1] == FAT_OK)
   {
      result[2] = FAT_Open("hello.txt", &f);
      if(result[2] == FAT_OK)
         while((n = FAT_Read(&f)) != 0)
         {
            for(i = 0; i < n; i++)
               sum += BUFFER[i];
            total += n;
         }
      result[3] = FAT_Open("LONGNAME1.TXT", &f);
   }
   result[4] = (unsigned char)(total >> 8);
   result[5] = (unsigned char)total;
   result[6] = (unsigned char)(sum >> 8);
   result[7] = (unsigned char)sum;
   for(i = 0; i < 512; i++)
      BUFFER[i] = 0x5A;
   result[8] = SD_Write_Block(7000UL * 512);
   result[9] = 0xA5;                       /* the run got to the end */
   cli();
   sleep_enable();
   sleep_cpu();
   return 0;
}
