#ifndef  __FONT24_32_H
#define  __FONT24_32_H

#ifndef  GUI_ROM
#if defined(__GNUC__) && defined(__AVR__)
#define  GUI_ROM  const __flash
#else
#define  GUI_ROM  const
#endif
#endif

/* 24*32点阵数字：0..9、':'、'-'、'.'和空格，其余字符显示为空格 */
void  GUI_SetColor(TCOLOR color1, TCOLOR color2);
void  GUI_PutChar24_32(uint32 x, uint32 y, uint8 ch);
void  GUI_PutString24_32(uint32 x, uint32 y, const char *str);

#endif
