#ifndef  __LOADBIT_H
#define  __LOADBIT_H

#ifndef  GUI_ROM
#if defined(__GNUC__) && defined(__AVR__)
#define  GUI_ROM  const __flash
#else
#define  GUI_ROM  const
#endif
#endif

void  GUI_SetColor(TCOLOR color1, TCOLOR color2);
/* 单色位图：hno点宽、lno点高，每行(hno+7)/8字节，高位在左；位图放在程序存储器中 */
void  GUI_LoadPic(uint32 x, uint32 y, GUI_ROM uint8 *dat, uint32 hno, uint32 lno);
#if GUI_PutHZ_EN==1
/* 12*12点阵汉字（GB2312），字库中没有的汉字空一格，ASCII字符空半格 */
void  GUI_PutHZ(uint32 x, uint32 y, const uint8 *str);
#endif

#endif
