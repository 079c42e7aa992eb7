/* UART0 answers 0x0F with its banner; UART1 echoes each byte plus one and
 * answers 0x0F with 1234 once its transmit-complete interrupt has run, which
 * also shows the ICC order of itoa's arguments. */
#include DEVICE_HEADER
#include <macros.h>
#include <stdlib.h>
#include "uart.h"

extern unsigned char rx1_buff;
extern unsigned char tx1_done;

void main(void)
{
   unsigned char k;
   char text[8];
   CLI();
   Uart0_Init();
   Uart1_Init();
   SEI();
   Puts0("PORT0");
   Puts1("PORT1");
   while(1)
   {
      if (UCSR0A & (1<<RXC0))
      {
         if (Getchar0()==0x0F)
            Puts0("PORT0");
      }
      CLI();
      k = rx1_buff;
      rx1_buff = 0;
      SEI();
      if (k==0x0F)
      {
         CLI();
         itoa(text, tx1_done ? 1234 : 0, 10);
         SEI();
         Puts1(text);
      }
      else if (k)
         Putchar1(k+1);
   }
}
