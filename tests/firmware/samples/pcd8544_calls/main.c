/* Calls the PCD8544 driver functions the demo leaves out, for a picture the
 * checker can predict: seven Chinese characters across pages 0-1, then a
 * string and two more characters on page 3, two characters at the bottom
 * page (only their upper halves fit: there is no page 6) and a string below
 * the last page (not shown). Replaces the demo main.c of a generated project
 * (gen_case.sh --main). */
#include "lcd.h"
#include "delay.h"

int main(void)
{
   LCD_Init();
   LCD_clear();
   LCD_write_chi(0,0,12,7,0,0);
   LCD_write_String(6,3,"Tamberlo");
   LCD_write_char('!');
   LCD_write_char('~');
   LCD_write_chi(60,5,12,2,1,0);
   LCD_write_String(0,6,"gone");
   while (1)
      ;
}
