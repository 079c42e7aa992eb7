//-----------------------------------------------------------
//程序由TamberloV2.1.1自动生成     
//MCU系统的处理器为：    ATMega16
//MCU系统的晶振频率：    7.3728 Mhz
//-----------------------------------------------------------

#include <iom16v.h>
#include "uart.h"

//-----------------------------------------------------------
//串口初始化子程序
//字符长度：8位
//奇偶校验：禁止
//通讯模式：同步
//-----------------------------------------------------------
void Uart_Init(void)
{
    UCSRB  =  0x00;     //disable while setting baud rate
    UCSRA  =  0x00;     //Bit1为1则倍速发送
    UCSRC  =  0xC6;  
    UBRRL  =  0x5C;     //波特率：110 Bps
    UBRRH  =  0x10;     //误差率：0.000%
    UCSRB  =  0x68;  
}

//-----------------------------------------------------------
//串口发送中断子程序
//-----------------------------------------------------------
#pragma interrupt_handler Uart_Tx_Isr:iv_USART_TX
void Uart_Tx_Isr(void)
{
//character has been transmitted
}

//-----------------------------------------------------------
//串口发送字节子程序
//-----------------------------------------------------------
void Putchar(unsigned char c)
{
   while (!(UCSRA&(1<<UDRE)));
   UDR=c;
}

//-----------------------------------------------------------
//串口发送字符串子程序
//-----------------------------------------------------------
void Putstr(char *s)
{
   while (*s)
   {
      Putchar(*s);
      s++;
   }
}

//-----------------------------------------------------------
//串口发送字符串子程序(带有换行符)
//-----------------------------------------------------------
void Puts(char *s)
{
   while (*s)
   {
      Putchar(*s);
      s++;
   }
   Putchar(0x0d);   //回车换行
   Putchar(0x0a);
}

//-----------------------------------------------------------
//串口数据寄存器空中断子程序
//-----------------------------------------------------------
#pragma interrupt_handler Uart_Udre_Isr:iv_USART_UDRE
void Uart_Udre_Isr(void)
{
//Character transferred to shift register so UDR is now empty
   UCSRB &= ~(1<<UDRIE);   //nothing to send: while UDR stays empty this interrupt fires again at once and starves the main loop
}

//-----------------------------------------------------------
//数组转换成可发送的字符串
//-----------------------------------------------------------
char *buffer2str(char *hhh)
{
   unsigned char i=0;
   while (i<40)
   {
      hhh[i]=hhh[i]+48;
      i++;
   }	
   return hhh;
}

//-----------------------------------------------------------
//数字转换成可发送的字符串
//-----------------------------------------------------------
char *long2str(unsigned long hh)
{
   static char ss[5];   //a literal must not be written to: the digits go to a buffer of our own
   ss[0]=48+hh/1000;
   ss[1]=48+(hh%1000)/100;
   ss[2]=48+(hh%100)/10;
   ss[3]=48+(hh%10);
   return ss;	
}

