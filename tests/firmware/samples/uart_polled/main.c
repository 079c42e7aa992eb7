/* Prints a banner, then answers 0x0F with the banner again and echoes any
 * other byte plus one. */
#include DEVICE_HEADER
#include <macros.h>
#include "uart.h"

void main(void)
{
   unsigned char i;
   Uart_Init();
   Puts("READY");
   while(1)
   {
      i=Getchar();
      if (i==0x0F)
         Puts("READY");
      else
         Putchar(i+1);
   }
}
