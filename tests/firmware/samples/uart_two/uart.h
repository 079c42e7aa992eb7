#ifndef __UART__H
#define __UART__H

void Uart0_Init(void);
unsigned char Getchar0(void);
void Putchar0(unsigned char c);
void Puts0(char *s);
void Uart1_Init(void);
void Putchar1(unsigned char c);
void Puts1(char *s);

#endif
