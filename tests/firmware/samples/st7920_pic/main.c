/* Calls the ST7920 graphic functions the demo leaves out, for a picture the
 * checker can predict on a 128x64 panel: a 16x16 chequered block at word
 * column 2, rows 40-55; then a horizontal, a vertical and a 45-degree line,
 * the diagonal crossing the block (each of its dots is read back and merged
 * into its 16-dot word); then two dots side by side in one word. Replaces
 * the demo main.c of a generated project (gen_case.sh --main). */
#include "lcd.h"
#include "delay.h"

static unsigned char block[32];

int main(void)
{
   unsigned char i;
   for (i = 0; i < 32; i++)
      block[i] = (i & 2) ? 0x55 : 0xAA;
   LCD_Init();
   LCD_pic_init();
   LCD_pic_clear();
   LCD_pic_part(2, 40, block);
   LCD_pic_line(0, 63, 127, 63);
   LCD_pic_line(127, 0, 127, 63);
   LCD_pic_line(0, 0, 63, 63);
   LCD_pic_point(100, 10);
   LCD_pic_point(101, 10);
   while (1)
      ;
}
