//-----------------------------------------------------------
//程序由TamberloV2.1.1自动生成     
//MCU系统的处理器为：    ATMega64
//MCU系统的晶振频率：    7.3728 Mhz
//-----------------------------------------------------------

#include <iom64v.h>
#include "uart.h"

volatile unsigned char rx1_buff = 0;       //串口1接收中断缓冲区

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

