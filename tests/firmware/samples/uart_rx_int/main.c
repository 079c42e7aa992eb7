/* Receives through the interrupt and answers 0x0F with the banner, any
 * other byte with the byte plus one. */
#include DEVICE_HEADER
#include <macros.h>
#include "uart.h"

extern unsigned char rx_buff;

void main(void)
{
   unsigned char i;
   CLI();
   Uart_Init();
   SEI();
   Puts("IRQ");
   while(1)
   {
      CLI();            // take and clear as one step, or a byte can slip in between
      i = rx_buff;
      rx_buff = 0;
      SEI();
      if (i==0x0F)
      {
         CLI();
         Puts("IRQ");
         SEI();
      }
      else if (i)
         Putchar(i+1);
   }
}
