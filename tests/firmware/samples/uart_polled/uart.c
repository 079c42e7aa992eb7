/* Polled single-UART driver in the ICC dialect: 9600 bit/s at 7.3728 MHz,
 * 8N1. UCSRC is written with URSEL set, UBRRH without. */
#include DEVICE_HEADER
#include "uart.h"

void Uart_Init(void)
{
    UCSRB  =  0x00;
    UCSRA  =  0x00;
    UCSRC  =  0x86;
    UBRRL  =  0x2F;
    UBRRH  =  0x00;
    UCSRB  =  0x18;
}

unsigned char Getchar(void)
{
   while (!(UCSRA & (1<<RXC)));
   return UDR;
}

void Putchar(unsigned char c)
{
   while (!(UCSRA&(1<<UDRE)));
   UDR=c;
}

void Puts(char *s)
{
   while (*s)
      Putchar(*s++);
   Putchar(0x0d);
   Putchar(0x0a);
}
