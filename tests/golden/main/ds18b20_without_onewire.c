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

   Uart_Init();

   Puts("Hollowmere论坛RS232 通信测试程序");
   Puts("hollowmere.com");
   Puts("ATMega16 的串口测试");
   Putchar(0x0d);
   Putchar(0x0a);

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
   }
}
