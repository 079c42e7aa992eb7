#ifndef  __FONT5_7_H
#define  __FONT5_7_H

/* 5*7字体（6*8点阵），字形在GUI_StockC中 */
void  GUI_PutString(uint32 x, uint32 y, const char *str);

#endif
