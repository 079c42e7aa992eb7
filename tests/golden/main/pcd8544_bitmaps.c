/*--------------------------------------------------*/
/*             Hollowmere论坛                    */
/*           hollowmere.com                         */
/*            AVR生成代码测试程序                   */
/*--------------------------------------------------*/
/*     程序由TamberloV2.1.1自动生成          */
/*     AVR系统的处理器为：   ATMega32               */
/*     AVR系统的晶振频率：   7.3728 Mhz             */
/*--------------------------------------------------*/

#include <iom32v.h>
#include <macros.h>
#include "lcd.h"
#include "bmp.h"
#include "delay.h"

//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{

   LCD_Init();
   LCD_clear();
   LCD_write_String(0,5,"hollowmere.com");      // 显示网址 
   LCD_draw_map(0,2,AVR_bmp,40,24);        // 显示“AVR”位图 
   LCD_draw_map(44,3,china_bmp,36,15);     // 显示”实验室“位图 
   delay_nms(4);

   while(1)
   {
      LCD_move_chi(0, 0, 25);              // 汉字移动显示 
   }
}
