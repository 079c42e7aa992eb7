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


//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{
   unsigned char i=0;
   unsigned char k=0;
   unsigned int  temp=0;

   Uart0_Init();
   Uart1_Init();
   SPI_Init();
   DS1302_Init();
   TWI_Init();
   AT24Cxx_Init();

   Puts1("Hollowmere论坛RS232 通信测试程序");
   Puts1("hollowmere.com");
   Puts1("ATMega128的串口1 测试");
   Putchar1(0x0d);
   Putchar1(0x0a);

   Puts1("发送0x0A可以写AT24Cxx ");
   Puts1("发送0x0B可以读取AT24Cxx ");
   Putchar1(0x0a);
   Putchar1(0x0d);

   DS1302_EXIST=check_RTC();			//检测DS1302的存在 
   if(DS1302_EXIST)
   { 
     Puts1("检测到DS1302 的存在，可以测试！ ");
     Puts1("发送0x0E键可以初始化RTC 时间，默认为2005年10月06日23时59分50秒 星期四");
     Puts1("发送0x0D键可以读取当前时间 ");
     Puts1("用户可以自行开发其他功能 ");
     Puts1("hollowmere.com ");
   } 
   else
     Puts1("未检测到DS1302的存在!");
   temp=resetDS18B20();             //检测DS1302的存在
   if(temp)
   { 
     Puts1("检测到DS18B20 的存在，可以测试！ ");
     Puts1("发送0x0C可以读取当前时间 ");
     Puts1("用户可以自行开发其他功能 ");
     Puts1("hollowmere.com ");
   } 
   else
     Puts1("未检测到DS18B20 的存在!");

   while(1)
   {
      i = Getchar0();
      k=Getchar1();
      if (k==0x0F)    //发送0x0F开始测试
      {
         k=0;
         Puts1("Hollowmere论坛RS232 通信测试程序");
         Puts1("hollowmere.com");
         Puts1("ATMega128的串口1 测试");
         Putchar1(0x0d);
         Putchar1(0x0a);
      }
      if (i==0x0A)    //发送0x0A开始写EEPROM
      {
         i=0;
         Puts1("对EEPROM的地址0x55写入0x99,地址0x56写入0x22");
         TWIWrite(0x55,0x99);
         TWIWrite(0x56,0x22);
      }
      if (i==0x0B)    //发送0x0B开始读EEPROM
      {
         Puts1("读取EEPROM的值，如果是187，则测试通过");
         i=TWIRead(0x55)+TWIRead(0x56);
         Putchar1(i);
         Putchar1(0x0a);
         Putchar1(0x0d);
         i=0;
      }
      if (i==0x0E)        //发送0x0E开始初始化RTC
      {
         i=0;
         DS1302_Init();
         read_date();		  //读取当前时间，解释
         Puts1("RTC初始化...");
         Puts1(sCURDATE);	//发送到电脑
         Putchar1(0x0a);
         Putchar1(0x0d);
      }
      if (i==0x0D)        //发送0x0D读取RTC
      {
         i=0;
         read_date();		  //读取当前时间，解释
         Puts1("读取当前时间...");
         Puts1(sCURDATE);	//发送到电脑
         Putchar1(0x0a);
         Putchar1(0x0d);
      }
      if (i==0x0C)             //发送0x0C读取温度
      {
         i=0;
         Putstr1("当前环境温度为：");
         temp=readTempDS18B20();
         Puts1(long2str(temp));
      }
   }
}
