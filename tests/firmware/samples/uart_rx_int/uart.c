/* Single UART with the receive-complete interrupt, 19200 bit/s at
 * 7.3728 MHz with the double-speed bit (UBRR 47, U2X). */
#include DEVICE_HEADER
#include "uart.h"

unsigned char rx_buff = 0;

void Uart_Init(void)
{
    UCSRB  =  0x00;
    UCSRA  =  0x02;
    UCSRC  =  0x86;
    UBRRL  =  0x2F;
    UBRRH  =  0x00;
    UCSRB  =  0x98;
}

#pragma interrupt_handler Uart_Rx_Isr:iv_USART_RX
void Uart_Rx_Isr(void)
{
   rx_buff = UDR;
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
