/* Writes every row of a character LCD through the generated driver, so a
 * 40x4 module shows that its second enable reaches rows 3 and 4. Replaces
 * the demo main.c of a generated project (gen_case.sh --main). */
#include "lcd.h"
#include "delay.h"

int main(void)
{
   LCD16xx_init();
   LCD16xx_clr();
   LCD16xx_write_string(0,0,(unsigned char *)"row one on E");
   LCD16xx_write_string(2,1,(unsigned char *)"row two on E");
   LCD16xx_write_string(4,2,(unsigned char *)"row three on E2");
   LCD16xx_write_string(6,3,(unsigned char *)"row four on E2");
   while (1)
      ;
}
