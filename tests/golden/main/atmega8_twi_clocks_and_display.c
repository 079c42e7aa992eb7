/*--------------------------------------------------*/
/*             Hollowmere论坛                    */
/*           hollowmere.com                         */
/*            AVR生成代码测试程序                   */
/*--------------------------------------------------*/
/*     程序由TamberloV2.1.1自动生成          */
/*     AVR系统的处理器为：   ATMega8               */
/*     AVR系统的晶振频率：   7.3728 Mhz             */
/*--------------------------------------------------*/

#include <iom8v.h>
#include <macros.h>
#include "uart.h"
#include "spi.h"
#include "sd.h"
#include "fat.h"
#include "twi.h"
#include "sd2000.h"
#include "zlg7290.h"
#include "ds1307.h"
#include "stdlib.h"
#include "string.h"
#include "tea5767.h"
#include "adc.h"
#include "acp.h"
#include "lcd.h"
#include "delay.h"


//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{
   unsigned char i=0;
   char str1[20],str2[3];
   unsigned int  n=0;

   CLI();
   Uart_Init();
   SPI_Init();
   TWI_Init();
   SD2000_Init();
   ZLG7290_Init();
   TEA5767_Init();
   LCD16xx_init();
   LCD16xx_clr();                     //显示清屏
   delay_nms(1); 
   SEI();

   Puts("Hollowmere论坛RS232 通信测试程序");
   Puts("hollowmere.com");
   Puts("ATMega8的串口测试");
   Putchar(0x0d);
   Putchar(0x0a);
   LCD16xx_write_string(5,0,"Welcome to");
   LCD16xx_write_string(3,1,"hollowmere.com!");
   LCD16xx_write_string(10,2,"Tamberlo");
   LCD16xx_write_string(9,3,"2006.09.06");
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
         Puts("ATMega8的串口测试");
         Putchar(0x0d);
         Putchar(0x0a);
      }
      get_time_byte();
      hour1=bcd_to_byte(g_sd2k_read_time[hour]);
      time[0]=int_to_asc(hour1/10);
      time[1]=int_to_asc(hour1%10);
      minute1=bcd_to_byte(g_sd2k_read_time[minute]);
      time[3]=int_to_asc(minute1/10);
      time[4]=int_to_asc(minute1%10);
      second1=bcd_to_byte(g_sd2k_read_time[second]);
      time[6]=int_to_asc(second1/10);
      time[7]=int_to_asc(second1%10);

      RtcUpdateData(RTC_READ);
      RtcBCDToBin();
      strcpy(str1,"0");
      
      itoa(str2,g_aTimeBin[6],10);   //year
      strcat(str1,str2);
      strcat(str1,"-");
      itoa(str2,g_aTimeBin[5],10);   //month
      strcat(str1,str2);
      strcat(str1,"-");
      itoa(str2,g_aTimeBin[4],10);   //day
      strcat(str1,str2);
      
      strcat(str1," ");
      itoa(str2,g_aTimeBin[2],10);   //hour
      strcat(str1,str2);
      strcat(str1,":");
      itoa(str2,g_aTimeBin[1],10);   //minute
      strcat(str1,str2);
      strcat(str1,":");
      itoa(str2,g_aTimeBin[0],10);   //second
      strcat(str1,str2);
      
      DispHexValue8BIT(0,n++);	   //16数制显示(8位)
      delay_nms(10);
      LCD16xx_write_string(5,0,"Welcome to");
      LCD16xx_write_string(3,1,"hollowmere.com!");
      LCD16xx_write_string(10,2,"Tamberlo");
      LCD16xx_write_string(9,3,"2006.09.06");
      delay_nms(1000);
      LCD16xx_clr();                     //显示清屏
      delay_nms(1000);
   }
}
