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
#include "spi.h"
#include "ds1302.h"
#include "lcd.h"
#include "delay.h"


//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{
   unsigned char i=0;

   Uart_Init();
   SPI_Init();
   DS1302_Init();
   LCD16xx_init();
   LCD16xx_clr();                     //显示清屏
   delay_nms(1); 

   Puts("Hollowmere论坛RS232 通信测试程序");
   Puts("hollowmere.com");
   Puts("ATMega16 的串口测试");
   Putchar(0x0d);
   Putchar(0x0a);

   DS1302_EXIST=check_RTC();			//检测DS1302的存在 
   if(DS1302_EXIST)
   { 
     Puts("检测到DS1302 的存在，可以测试！ ");
     Puts("发送0x0E键可以初始化RTC 时间，默认为2005年10月06日23时59分50秒 星期四");
     Puts("发送0x0D键可以读取当前时间 ");
     Puts("用户可以自行开发其他功能 ");
     Puts("hollowmere.com ");
   } 
   else
     Puts("未检测到DS1302 的存在!");
   LCD16xx_write_string(3,0,"Welcome to");
   LCD16xx_write_string(1,1,"hollowmere.com!");
   delay_nms(500);
   LCD16xx_clr();                     //显示清屏
   delay_nms(2);
   if(DS1302_EXIST)
   { 
      LCD16xx_write_string(1,0,"DS1302 EXIST!");
      LCD16xx_write_string(1,1,"hollowmere.com!");
   } 
   delay_nms(500);
   LCD16xx_clr();                     //显示清屏
   delay_nms(2);

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
      if (i==0x0E)        //发送0x0E开始初始化RTC
      {
         i=0;
         DS1302_Init();
         read_date();		  //读取当前时间，解释
         Puts("RTC初始化...");
         Puts(sCURDATE);	//发送到电脑
         Putchar(0x0a);
         Putchar(0x0d);
      }
      if (i==0x0D)        //发送0x0D读取RTC
      {
         i=0;
         read_date();		  //读取当前时间，解释
         Puts("读取当前时间...");
         Puts(sCURDATE);	//发送到电脑
         Putchar(0x0a);
         Putchar(0x0d);
      }
      read_date1();		  //读取当前时间，解释
      LCD16xx_write_string(0,0,"Current time :");
      LCD16xx_write_string(0,1,str1);
      delay_nms(500);
   }
}
