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
#include "twi.h"
#include "at24cxx.h"

extern volatile unsigned char rx_buff;       //串口接收中断缓冲区

//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{
   unsigned char i=0;

   CLI();
   Uart_Init();
   TWI_Init();
   AT24Cxx_Init();
   SEI();

   Puts("Hollowmere论坛RS232 通信测试程序");
   Puts("hollowmere.com");
   Puts("ATMega16 的串口测试");
   Putchar(0x0d);
   Putchar(0x0a);

   Puts("发送0x0A可以写AT24Cxx ");
   Puts("发送0x0B可以读取AT24Cxx ");
   Putchar(0x0a);
   Putchar(0x0d);

   while(1)
   {
      CLI();
      i = rx_buff;
      rx_buff = 0;
      SEI();
      if (i==0x0F)    //发送0x0F开始测试
      {
         i=0;
         CLI();
         Puts("Hollowmere论坛RS232 通信测试程序");
         Puts("hollowmere.com");
         Puts("ATMega16 的串口测试");
         Putchar(0x0d);
         Putchar(0x0a);
         SEI();
      }
      if (i==0x0A)    //发送0x0A开始写EEPROM
      {
         i=0;
         CLI();
         Puts("对EEPROM的地址0x55写入0x99,地址0x56写入0x22");
         TWIWrite(0x55,0x99);
         TWIWrite(0x56,0x22);
         SEI();
      }
      if (i==0x0B)    //发送0x0B开始读EEPROM
      {
         CLI();
         Puts("读取EEPROM的值，如果是187，则测试通过");
         i=TWIRead(0x55)+TWIRead(0x56);
         Putchar(i);
         Putchar(0x0a);
         Putchar(0x0d);
         SEI();
         i=0;
      }
   }
}
