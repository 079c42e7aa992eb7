#ifndef  __GUI_STOCKC_H
#define  __GUI_STOCKC_H

/* 字库放在程序存储器中：ICC的const即在Flash，avr-gcc用__flash */
#ifndef  GUI_ROM
#if defined(__GNUC__) && defined(__AVR__)
#define  GUI_ROM  const __flash
#else
#define  GUI_ROM  const
#endif
#endif

/* 窗口：位置、大小、标题和状态栏文字（窗口和菜单共用） */
typedef  struct
{
	uint32  x;                  /* 左上角x坐标 */
	uint32  y;                  /* 左上角y坐标 */
	uint32  with;               /* 宽度 */
	uint32  hight;              /* 高度 */
	uint8   *title;             /* 标题，为0时不显示标题栏 */
	uint8   *state;             /* 状态栏文字，为0时不显示状态栏 */
} WINDOWS;

/* 6*8点阵字符（5*7字形），ASCII 0x20..0x7E，每字6列，低位在上 */
extern GUI_ROM uint8 GUI_F6x8[95][6];

void  GUI_SetColor(TCOLOR color1, TCOLOR color2);
uint8 GUI_PutChar(uint32 x, uint32 y, uint8 ch);
void  GUI_PutNoStr(uint32 x, uint32 y, const uint8 *str, uint8 no);

#endif
