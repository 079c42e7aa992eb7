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
#include "gui.h"
#include "delay.h"

uint8 Select=0;

//-----------------------------------------------------------
//主函数
//-----------------------------------------------------------
void main(void)
{
   unsigned char  j=0;
   WINDOWS mw,message;
   MMENU mainmenu;
   SMENU smenu1,smenu2,smenu3;

   LCD_Init();
   LCD_clr();                     //显示清屏
   delay_nms(1); 
//GUI绘图演示
   GUI_Rectangle(0, 0, GUI_LCM_XMAX-1, GUI_LCM_YMAX-1, 1);

   GUI_Rectangle(60, 5, 123, 59, 1);
   GUI_HLine(60, 13, 123, 1);
   GUI_RLine(68, 5, 13, 1);
   GUI_Line(60, 5, 68, 13, 1);
   GUI_Line(60, 13, 68, 5, 1);

   GUI_Ellipse(10, 50, 10, 30, 1);
   GUI_EllipseFill(10, 50, 33, 53, 1);
   GUI_Circle(20, 20, 15, 1);
   GUI_CircleFill(20, 40, 15, 1);
   GUI_Arc4(20, 20, 15, 3, 1);
   GUI_Arc(20, 40, 15, 12, 60, 1);
   GUI_Pieslice(20, 30, 15, 25, 80, 1);
   message.x = 20;       // 设置窗口位置和大小
   message.y = 10;
   message.with = 150;
   message.hight = 48;
   message.title = (uint8 *)"hollowmere.com";       // 窗口标题
   message.state = (uint8 *) 0;

   mw.x = 0;
   mw.y = 0;
   mw.with = GUI_LCM_XMAX;
   mw.hight = GUI_LCM_YMAX;
   mw.title = (uint8 *)"Hollowmere BBS-----hollowmere.com";
   mw.state = "Welcome to Hollowmere BBS!";

   mainmenu.win=&mw;
   mainmenu.no=4;
   mainmenu.str[0]="File";
   mainmenu.str[1]="Edit";
   mainmenu.str[2]="Tool";
   mainmenu.str[3]="Help";

   smenu1.win =&mw;
   smenu1.mmenu_no=0;
   smenu1.no=3;
   smenu1.str[0]="Open";
   smenu1.str[1]="Save";
   smenu1.str[2]="Print";
   smenu1.state=0;

   smenu2.win =&mw;
   smenu2.mmenu_no=1;
   smenu2.no=3;
   smenu2.str[0]="Cut";
   smenu2.str[1]="Copy";
   smenu2.str[2]="Paste";
   smenu2.state=0;

   GUI_SetColor(1,0);             //设置前景色和背景色
   GUI_WindowsDraw(&mw);          //显示对话框窗口
   GUI_MMenuDraw(&mainmenu);      //显示主菜单
   GUI_SMenuDraw(&smenu1);        //显示子菜单

   DemoMessage(&message,Select);  //显示对话框

   while(1)
   {
      GUI_Rectangle(0, 0, GUI_LCM_XMAX-1, GUI_LCM_YMAX-1, 1);
      delay_nms(500);
   }
}
