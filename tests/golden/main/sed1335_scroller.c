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
#include "lcd.h"
#include "math.h"
#include "letters_lib.h"
#include "delay.h"

//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{

   LCD_Init();
   ClrSCR();
   GClrSCR();

   GBox(4,4,254,237,1);
   GBox(258,4,317,237,1);
   GLine(4,28,254,28);
   GLine(4,53,254,53);
   GLine(63,4,63,53);
   GLine(127,4,127,53);
   GLine(190,4,190,53);
   GLine(4,220,254,220);

   GLine(259,53,316,53);
   GLine(259,4,316,53);
   GLine(259,53,316,4);

   TextBox(6,9,6,1);
   TextBox(20,9,6,1);

   LCDWriteString(0x52,0x00,"Test1");
   LCDWriteString(0x59,0x00,"Test2");
   LCDWriteString(0x61,0x00,"Test3");
   LCDWriteString(0x69,0x00,"Test4");
   LCDWriteString(0xCA,0x00,"Test5");
   LCDWriteString(0xD1,0x00,"Test6");
   LCDWriteString(0xD9,0x00,"Test7");
   LCDWriteString(0xE1,0x00,"Test8");

   LCDDisplay_bmp(268,55,8,A);
   LCDDisplay_bmp(276,55,8,B);
   LCDDisplay_bmp(284,55,8,C);
   LCDDisplay_bmp(292,55,8,X);
   LCDDisplay_bmp(300,55,8,Y);
   LCDDisplay_bmp(308,55,8,Z);

   LCDWriteString(0x5D,0x02,"Welcome to Hollowmere BBS!");
   LCDWriteString(0x66,0x04,"hollowmere.com");

   delay_nms(4);

   while(1)
   {
      LCDDisplay_bmp(268,x1,8,A);
      LCDDisplay_bmp(276,x1,8,B);
      LCDDisplay_bmp(284,x1,8,C);
      LCDDisplay_bmp(292,x1,8,X);
      LCDDisplay_bmp(300,x1,8,Y);
      LCDDisplay_bmp(308,x1,8,Z);
      x1+=2;
      if(x1==141)
         GFullPART(100,63,148,108);
      if(x1>220)
      {
         x1=55;
         GClrPART(100,63,148,108);
      }
   }
}
