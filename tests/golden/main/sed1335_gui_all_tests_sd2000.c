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
#include "twi.h"
#include "sd2000.h"
#include "lcd.h"
#include "math.h"
#include "letters_lib.h"
#include "gui.h"
#include "delay.h"

uint8 Select=0;

//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{
   WINDOWS mw,message;
   MMENU mainmenu;
   SMENU smenu1,smenu2,smenu3;
   int x1,x2;
   float y1,y2;
   WIN_AA  Awin;

   TWI_Init();
   SD2000_Init();
   LCD_Init();
   ClrSCR();
   GClrSCR();

//GUI绘图演示
   GUI_HLine(40, 131, 230, 1);
   GUI_RLine(40, 131, 217, 1);
   GUI_HLine(40, 217, 230, 1);
   GUI_RLine(230, 131, 217, 1);

   GUI_Rectangle(140, 134, 227, 214, 1);
   GUI_HLine(140, 144, 227, 1);
   GUI_RLine(150, 134, 144, 1);
   GUI_Line(140, 134, 150, 144, 1);
   GUI_Line(140, 144, 150, 134, 1);

   GUI_Circle(65, 40, 15, 1);
   GUI_CircleFill(65, 85, 15, 1);
   GUI_Ellipse(48, 128, 146, 166, 1);
   GUI_EllipseFill(48, 128, 176, 196, 1);
   GUI_Arc4(120, 40, 15, 3, 1);
   GUI_Arc(120, 85, 15, 12, 60, 1);
   GUI_Pieslice(170, 40, 15, 25, 80, 1);
   delay_nms(1000);
   message.x = 60;       // 设置窗口位置和大小
   message.y = 60;
   message.with = 145;
   message.hight = 48;
   message.title = (uint8 *)"hollowmere.com";       // 窗口标题
   message.state = (uint8 *) 0;

   mw.x = 1;
   mw.y = 2;
   mw.with = GUI_LCM_XMAX-1;
   mw.hight = GUI_LCM_YMAX-2;
   mw.title = (uint8 *)"Hollowmere BBS-----hollowmere.com";
   mw.state = "Welcome to Hollowmere BBS!";

   mainmenu.win=&mw;
   mainmenu.no=7;
   mainmenu.str[0]="File";
   mainmenu.str[1]="Edit";
   mainmenu.str[2]="Tool";
   mainmenu.str[3]="Help";
   mainmenu.str[4]="Test";
   mainmenu.str[5]="Test";
   mainmenu.str[6]="Test";

   smenu1.win =&mw;
   smenu1.mmenu_no=5;
   smenu1.no=4;
   smenu1.str[0]="Open";
   smenu1.str[1]="Save";
   smenu1.str[2]="Print";
   smenu1.str[3]="Close";
   smenu1.state=0;

   smenu2.win =&mw;
   smenu2.mmenu_no=1;
   smenu2.no=5;
   smenu2.str[0]="Undo";
   smenu2.str[1]="Redo";
   smenu2.str[2]="Cut";
   smenu2.str[3]="Copy";
   smenu2.str[4]="Paste";
   smenu2.state=0;

   GUI_SetColor(1,0);             //设置前景色和背景色
   GUI_WindowsDraw(&mw);          //显示对话框窗口
   GUI_MMenuDraw(&mainmenu);      //显示主菜单

   DemoMessage(&message,Select);  //显示对话框

   GUI_SMenuDraw(&smenu2);        //显示子菜单
   Awin.x = 1;
   Awin.y = 2;
   Awin.with  = GUI_LCM_XMAX-1;
   Awin.hight = GUI_LCM_YMAX-2;
   Awin.title = (uint8 *)"        Hollowmere BBS ";
   Awin.date = date;
   Awin.time = time;
   Awin.no1 =3;
   Awin.str1[0]= "Statmet";
   Awin.str1[1]= "Options";
   Awin.str1[2]= "Systems";
   Awin.no2 =3;
   Awin.str2[0]= "Last";
   Awin.str2[1]= "Next";
   Awin.str2[2]= "Back";
   Awin.state = (uint8 *)"Welcome to hollowmere.com !";

   GUI_SetColor(1,0);             //设置前景色和背景色
   GUI_AAWinDraw(&Awin);
   GUI_PutString(40, 70, "Welcome to Hollowmere BBS!");
   GUI_PutString8_8(40, 90, "Welcome to Hollowmere BBS!");
   GUI_PutString24_32(50, 110, "012345");
   x1=x2=10;
   y1=y2=110;
   GClrPART(8, 45, 239, 225);

   delay_nms(4);

   while(1)
   {
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

      delay_nms(1000);
      if(Select==0)
      {
         GUI_Button_OK1(message.x+75,message.y+15);     // 选中"OK"按钮
         GUI_Button_Cancle(message.x+75,message.y+31);  // 取消"CANSEL"按钮的选中状态
         Select=1;
         GUI_SMenuHide(&smenu2);
         GUI_SMenuDraw(&smenu1);
      }
      else
      {
         GUI_Button_OK(message.x+75,message.y+15);
         GUI_Button_Cancle1(message.x+75,message.y+31);
         Select=0;
         GUI_SMenuHide(&smenu1);
         GUI_SMenuDraw(&smenu2);        //显示子菜单
      }
      delay_nms(1000);
      GLine(x1,y1,x2,y2); 
      x1=x2;
      y1=y2;
      x2+=1;
      if(x2>=230)
      {
         x2=10;
         GClrPART(8, 45, 239, 225);
         x1=10;
         y1=110;
      }
      y2=(30*sin((float)x2/5))+(20*cos((float)x2/3))+(15*cos((float)x2/2+2))+130;
      delay_nms(1);

      GUI_PutString(257,24,time);
      delay_nms(1);
      GUI_PutChar24_32(256,150,time[6]);
      GUI_PutChar24_32(280,150,time[7]);
   }
}
