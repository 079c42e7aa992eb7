/*--------------------------------------------------*/
/*             Hollowmere论坛                    */
/*           hollowmere.com                         */
/*            AVR生成代码测试程序                   */
/*--------------------------------------------------*/
/*     程序由TamberloV2.1.1自动生成          */
/*     AVR系统的处理器为：   ATMega16               */
/*     AVR系统的晶振频率：   7.3728 Mhz             */
/*--------------------------------------------------*/

#include <iom16v.h>
#include <macros.h>
#include "uart.h"


//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{
   unsigned char i=0;
   unsigned int  temp=0;

   Uart_Init();

   Puts("Hollowmere论坛RS232 通信测试程序");
   Puts("hollowmere.com");
   Puts("ATMega16 的串口测试");
   Putchar(0x0d);
   Putchar(0x0a);
   temp=resetDS18B20();             //检测DS1302的存在
   if(temp)
   { 
     Puts("检测到DS18B20 的存在，可以测试！ ");
     Puts("发送0x0C可以读取当前时间 ");
     Puts("用户可以自行开发其他功能 ");
     Puts("hollowmere.com ");
   } 
   else
     Puts("未检测到DS18B20 的存在!");

   while(1)
   {
      i=Getchar();
      if (i==0x0F)    //发送0x0F开始测试
      {
         i=0;
         Puts("Hollowmere论坛RS232 通信测试程序");
         Puts("hollowmere.com");
         Puts("ATMega16 的串口测试");
         Putchar(0x0d);
         Putchar(0x0a);
      }
      if (i==0x0C)             //发送0x0C读取温度
      {
         i=0;
         Putstr("当前环境温度为：");
         temp=readTempDS18B20();
         Puts(long2str(temp));
      }
   }
}
