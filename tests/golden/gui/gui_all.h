#ifndef	__GUI__H
#define	__GUI__H

#include "lcd.h"

typedef unsigned char  uint8;     /* defined for unsigned 8-bits integer variable 	无符号8位整型变量  */
typedef signed   char  int8;      /* defined for signed 8-bits integer variable 	有符号8位整型变量  */
typedef unsigned int   uint16;    /* defined for unsigned 16-bits integer variable 	无符号16位整型变量  */
typedef signed   int   int16;     /* defined for signed 16-bits integer variable 	有符号16位整型变量  */
typedef unsigned long  uint32;    /* defined for unsigned 32-bits integer variable 	无符号32位整型变量  */
typedef signed   long  int32;     /* defined for signed 32-bits integer variable 	有符号32位整型变量  */
typedef float          fp32;      /* defined for single precision floating point variable (32bits) 	单精度浮点数（32位长度）  */
typedef double         fp64;      /* defined for double precision floating point variable (64bits) 	双精度浮点数（64位长度）  */

#ifndef NULL  
#define NULL    ((void*)0) 
#endif  

/* 定义坐标数据结构 */
typedef  struct
         {  
            uint32  x;				// x坐标变量
            uint32  y;				// y坐标变量
         }
         PointXY;

/* 有宽度的直线函数 */
#define   GUI_LineWith_EN    1
/* 画圆函数 */
#define   GUI_CircleX_EN     1
/* 椭圆函数 */
#define   GUI_EllipseX_EN    1
/* 填充函数 */
#define   GUI_FloodFill_EN   1
   /* 向上及向下节点个数(填充函数) */
   #define   DOWNP_N			20
   #define   UPP_N				20
/* 圆弧函数 */
#define   GUI_ArcX_EN        1
/* 扇形函数 */
#define   GUI_Pieslice_EN    1
/* 窗口管理 */
#define   GUI_WINDOW_EN      1
/* 图标菜单 */
#define  GUI_MenuIco_EN      1
/* 下拉菜单 */
#define  GUI_MenuDown_EN     1
/* 界面显示 */
#define  GUI_SHOW_EN         1
/* 5*7字体 */
#define  FONT5x7_EN          1
/* 8*8字体 */
#define  FONT8x8_EN          1
/* 24*32字体 */
#define  FONT24x32_EN        1
/* 汉字显示函数 */
#define  GUI_PutHZ_EN        1

void  GUI_HLine(unsigned int x0, unsigned char y0, unsigned int x1, TCOLOR color);
void  GUI_RLine(unsigned int x0, unsigned char y0, unsigned char y1, TCOLOR color);
void  GUI_Rectangle(uint16 x0, uint8 y0, uint16 x1, uint8 y1, TCOLOR color);
void  GUI_RectangleFill(uint16 x0, uint8 y0, uint16 x1, uint8 y1, TCOLOR color);
void  GUI_Square(uint32 x0, uint32 y0, uint32  with, TCOLOR  color);
void  GUI_Line(uint32 x0, uint32 y0, uint32 x1, uint32 y1, TCOLOR color);
void  GUI_LineWith(uint32 x0, uint32 y0, uint32 x1, uint32 y1, uint8 with, TCOLOR color);
void  GUI_LineS(uint32 const *points, uint8 no, TCOLOR color);
void  GUI_Circle(uint32 x0, uint32 y0, uint32 r, TCOLOR color);
void  GUI_CircleFill(uint32 x0, uint32 y0, uint32 r, TCOLOR color);
void  GUI_Ellipse(uint32 x0, uint32 x1, uint32 y0, uint32 y1, TCOLOR color);
void  GUI_EllipseFill(uint32 x0, uint32 x1, uint32 y0, uint32 y1, TCOLOR color);
void  GUI_FloodFill(uint32 x0, uint32 y0, TCOLOR color);
void  GUI_Arc4(uint32 x, uint32 y, uint32 r, uint8 angle, TCOLOR color);
void  GUI_Arc(uint32 x, uint32 y, uint32 r, uint32 stangle, uint32 endangle, TCOLOR color);
void  GUI_Pieslice(uint32 x, uint32 y, uint32 r, uint32 stangle, uint32 endangle, TCOLOR color);

#include "font5_7.h"
#include "font8_8.h"
#include "font24_32.h"
#include "GUI_StockC.h"
#include "loadbit.h"
#include "windows.h"
#include "menu.h"
#include "show.h"

#endif
