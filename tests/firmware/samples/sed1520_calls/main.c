/* Calls the SED1520 driver functions the demo leaves out, for a picture the
 * checker can predict: page 1 written whole (column c holds c), a byte on
 * each side of the halves' seam on page 2 (columns 60 and 61), a byte at
 * column 70 of page 0 and, through LCD122x32_SetRam, one just after it, and
 * "Tamberlo!" at character 16 of page 3, cut at the right edge. Replaces
 * the demo main.c of a generated project (gen_case.sh --main). */
#include "lcd.h"
#include "delay.h"

static unsigned char row[122];

int main(void)
{
   unsigned char i;
   for (i = 0; i < 122; i++)
      row[i] = i;
   LCD_Init();
   LCD122x32_PageWrite(1, row);
   LCD122x32_Write(2, 60, 0x81);
   LCD122x32_Write(2, 61, 0x42);
   LCD122x32_Write(0, 70, 0x18);
   LCD122x32_SetRam(1, 0x3C);
   Printf(16, 3, (unsigned char *)"Tamberlo!");
   while (1)
      ;
}
