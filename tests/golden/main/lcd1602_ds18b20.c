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
#include "ds18b20.h"
#include "delay.h"

//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{
   unsigned int  temp=0;

   LCD16xx_init();
   LCD16xx_clr();                     //显示清屏
   delay_nms(1); 
   temp=resetDS18B20();             //检测DS1302的存在
   LCD16xx_write_string(3,0,"Welcome to");
   LCD16xx_write_string(1,1,"hollowmere.com!");
   delay_nms(500);
   LCD16xx_clr();                     //显示清屏
   delay_nms(2);
   if(temp)
   { 
      LCD16xx_write_string(2,0,"DS18B20 EXIST!");
      LCD16xx_write_string(1,1,"hollowmere.com!");
   } 
   delay_nms(500);
   LCD16xx_clr();                     //显示清屏
   delay_nms(2);

   while(1)
   {
      Read_Temp();
      LCD16xx_write_string(0,0,"Current temp :");
      LCD16xx_write_string(4,1,temp_buf);
      delay_nms(500);
   }
}
