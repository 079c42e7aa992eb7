/* Two UARTs at 7.3728 MHz: UART0 polled at 9600 bit/s, UART1 with the
 * receive interrupt at 38400 bit/s. Several handlers share one pragma. */
#include DEVICE_HEADER
#include "uart.h"

unsigned char rx1_buff = 0;
unsigned char tx1_done = 0;

void Uart0_Init(void)
{
    UCSR0B  =  0x00;
    UCSR0A  =  0x00;
    UCSR0C  =  0x06;
    UBRR0L  =  0x2F;
    UBRR0H  =  0x00;
    UCSR0B  =  0x18;
}

unsigned char Getchar0(void)
{
   while (!(UCSR0A & (1<<RXC0)));
   return UDR0;
}

void Putchar0(unsigned char c)
{
   while (!(UCSR0A&(1<<UDRE0)));
   UDR0=c;
}

void Puts0(char *s)
{
   while (*s)
      Putchar0(*s++);
   Putchar0(0x0d);
   Putchar0(0x0a);
}

void Uart1_Init(void)
{
    UCSR1B  =  0x00;
    UCSR1A  =  0x00;
    UCSR1C  =  0x06;
    UBRR1L  =  0x0B;
    UBRR1H  =  0x00;
    UCSR1B  =  0xD8;
}

#pragma interrupt_handler Uart1_Rx_Isr:iv_USART1_RX Uart1_Tx_Isr:iv_USART1_TX
void Uart1_Rx_Isr(void)
{
   rx1_buff = UDR1;
}

void Uart1_Tx_Isr(void)
{
   tx1_done++;
}

void Putchar1(unsigned char c)
{
   while (!(UCSR1A&(1<<UDRE1)));
   UDR1=c;
}

void Puts1(char *s)
{
   while (*s)
      Putchar1(*s++);
   Putchar1(0x0d);
   Putchar1(0x0a);
}
