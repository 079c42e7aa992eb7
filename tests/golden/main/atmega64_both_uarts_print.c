/*--------------------------------------------------*/
/*             Hollowmere论坛                    */
/*           hollowmere.com                         */
/*            AVR生成代码测试程序                   */
/*--------------------------------------------------*/
/*     程序由TamberloV2.1.1自动生成          */
/*     AVR系统的处理器为：   ATMega64               */
/*     AVR系统的晶振频率：   7.3728 Mhz             */
/*--------------------------------------------------*/

#include <iom64v.h>
#include <macros.h>
#include "uart.h"
#include "twi.h"
#include "at24cxx.h"


//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{
   unsigned char i=0;
   unsigned char k=0;

   Uart0_Init();
   Uart1_Init();
   TWI_Init();
   AT24Cxx_Init();

   Puts0("Hollowmere论坛RS232 通信测试程序");
   Puts0("hollowmere.com");
   Puts0("ATMega64 的串口0 测试");
   Putchar0(0x0d);
   Putchar0(0x0a);

   Puts1("Hollowmere论坛RS232 通信测试程序");
   Puts1("hollowmere.com");
   Puts1("ATMega64 的串口1 测试");
   Putchar1(0x0d);
   Putchar1(0x0a);

   Puts0("发送0x0A可以写AT24Cxx ");
   Puts0("发送0x0B可以读取AT24Cxx ");
   Putchar0(0x0d);
   Putchar0(0x0a);

   while(1)
   {
      i = Getchar0();
      if (i==0x0F)    //发送0x0F开始测试
      {
         i=0;
         Puts0("Hollowmere论坛RS232 通信测试程序");
         Puts0("hollowmere.com");
         Puts0("ATMega64 的串口0 测试");
         Putchar0(0x0d);
         Putchar0(0x0a);
      }
      k=Getchar1();
      if (k==0x0F)    //发送0x0F开始测试
      {
         k=0;
         Puts1("Hollowmere论坛RS232 通信测试程序");
         Puts1("hollowmere.com");
         Puts1("ATMega64 的串口1 测试");
         Putchar1(0x0d);
         Putchar1(0x0a);
      }
      if (i==0x0A)    //发送0x0A开始写EEPROM
      {
         i=0;
         Puts0("对EEPROM的地址0x55写入0x99,地址0x56写入0x22");
         TWIWrite(0x55,0x99);
         TWIWrite(0x56,0x22);
      }
      if (i==0x0B)    //发送0x0B开始读EEPROM
      {
         Puts0("读取EEPROM的值，如果是187，则测试通过");
         i=TWIRead(0x55)+TWIRead(0x56);
         Putchar0(i);
         Putchar0(0x0a);
         Putchar0(0x0d);
         i=0;
      }
   }
}
