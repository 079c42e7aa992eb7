#ifndef  __FONT8_8_H
#define  __FONT8_8_H

#ifndef  GUI_ROM
#if defined(__GNUC__) && defined(__AVR__)
#define  GUI_ROM  const __flash
#else
#define  GUI_ROM  const
#endif
#endif

void  GUI_SetColor(TCOLOR color1, TCOLOR color2);
void  GUI_PutChar8_8(uint32 x, uint32 y, uint8 ch);
void  GUI_PutString8_8(uint32 x, uint32 y, const char *str);

#endif
