/*--------------------------------------------------*/
/*             Hollowmere论坛                    */
/*           hollowmere.com                         */
/*            AVR生成代码测试程序                   */
/*--------------------------------------------------*/
/*     程序由TamberloV2.1.1自动生成          */
/*     AVR系统的处理器为：   ATMega128               */
/*     AVR系统的晶振频率：   7.3728 Mhz             */
/*--------------------------------------------------*/

#include <iom128v.h>
#include <macros.h>
#include "uart.h"
#include "spi.h"
#include "ds1302.h"
#include "twi.h"
#include "at24cxx.h"
#include "ds18b20.h"
#include "delay.h"

extern volatile unsigned char rx0_buff;       //串口0接收中断缓冲区
extern volatile unsigned char rx1_buff;       //串口1接收中断缓冲区

//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{
   unsigned char i=0;
   unsigned char k=0;
   unsigned int  temp=0;

   CLI();
   Uart0_Init();
   Uart1_Init();
   SPI_Init();
   DS1302_Init();
   TWI_Init();
   AT24Cxx_Init();
   SEI();

   Puts0("Hollowmere论坛RS232 通信测试程序");
   Puts0("hollowmere.com");
   Puts0("ATMega128的串口0 测试");
   Putchar0(0x0d);
   Putchar0(0x0a);

   Puts1("Hollowmere论坛RS232 通信测试程序");
   Puts1("hollowmere.com");
   Puts1("ATMega128的串口1 测试");
   Putchar1(0x0d);
   Putchar1(0x0a);

   Puts0("发送0x0A可以写AT24Cxx ");
   Puts0("发送0x0B可以读取AT24Cxx ");
   Putchar0(0x0d);
   Putchar0(0x0a);

   DS1302_EXIST=check_RTC();			//检测DS1302的存在 
   if(DS1302_EXIST)
   { 
     Puts0("检测到DS1302 的存在，可以测试！ ");
     Puts0("发送0x0E键可以初始化RTC 时间，默认为2005年10月06日23时59分50秒 星期四");
     Puts0("发送0x0D键可以读取当前时间 ");
     Puts0("用户可以自行开发其他功能 ");
     Puts0("hollowmere.com ");
   } 
   else
     Puts0("未检测到DS1302 的存在!");
   temp=resetDS18B20();             //检测DS1302的存在
   if(temp)
   { 
     Puts0("检测到DS18B20 的存在，可以测试！ ");
     Puts0("发送0x0C可以读取当前时间 ");
     Puts0("用户可以自行开发其他功能 ");
     Puts0("hollowmere.com ");
   } 
   else
     Puts0("未检测到DS18B20 的存在!");

   while(1)
   {
      CLI();
      i = rx0_buff;
      rx0_buff = 0;
      SEI();
      if (i==0x0F)    //发送0x0F开始测试
      {
         i=0;
         CLI();
         Puts0("Hollowmere论坛RS232 通信测试程序");
         Puts0("hollowmere.com");
         Puts0("ATMega128的串口0 测试");
         Putchar0(0x0d);
         Putchar0(0x0a);
         SEI();
      }
      CLI();
      k = rx1_buff;
      rx1_buff = 0;
      SEI();
      if (k==0x0F)    //发送0x0F开始测试
      {
         k=0;
         CLI();
         Puts1("Hollowmere论坛RS232 通信测试程序");
         Puts1("hollowmere.com");
         Puts1("ATMega128的串口1 测试");
         Putchar1(0x0d);
         Putchar1(0x0a);
         SEI();
      }
      if (i==0x0A)    //发送0x0A开始写EEPROM
      {
         i=0;
         CLI();
         Puts0("对EEPROM的地址0x55写入0x99,地址0x56写入0x22");
         TWIWrite(0x55,0x99);
         TWIWrite(0x56,0x22);
         SEI();
      }
      if (i==0x0B)    //发送0x0B开始读EEPROM
      {
         CLI();
         Puts0("读取EEPROM的值，如果是187，则测试通过");
         i=TWIRead(0x55)+TWIRead(0x56);
         Putchar0(i);
         Putchar0(0x0a);
         Putchar0(0x0d);
         SEI();
         i=0;
      }
      if (i==0x0E)        //发送0x0E开始初始化RTC
      {
         i=0;
         DS1302_Init();
         read_date();		  //读取当前时间，解释
         Puts0("RTC初始化...");
         Puts0(sCURDATE);	//发送到电脑
         Putchar0(0x0a);
         Putchar0(0x0d);
      }
      if (i==0x0D)        //发送0x0D读取RTC
      {
         i=0;
         read_date();		  //读取当前时间，解释
         Puts0("读取当前时间...");
         Puts0(sCURDATE);	//发送到电脑
         Putchar0(0x0a);
         Putchar0(0x0d);
      }
      if (i==0x0C)             //发送0x0C读取温度
      {
         i=0;
         Putstr0("当前环境温度为：");
         temp=readTempDS18B20();
         Puts0(long2str(temp));
      }
   }
}
