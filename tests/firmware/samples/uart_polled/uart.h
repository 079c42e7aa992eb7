#ifndef __UART__H
#define __UART__H

void Uart_Init(void);
unsigned char Getchar(void);
void Putchar(unsigned char c);
void Puts(char *s);

#endif
