#ifndef  __WINDOWS_H
#define  __WINDOWS_H

/* 窗口管理：WINDOWS定义在GUI_StockC.h中 */
uint8 GUI_WindowsDraw(WINDOWS *win);
void  GUI_WindowsHide(WINDOWS *win);
void  GUI_WindowsClr(WINDOWS *win);
void  GUI_Button_OK(uint32 x, uint32 y);
void  GUI_Button_OK1(uint32 x, uint32 y);
void  GUI_Button_Cancle(uint32 x, uint32 y);
void  GUI_Button_Cancle1(uint32 x, uint32 y);
void  DemoMessage(WINDOWS *win, uint8 select);

#endif
