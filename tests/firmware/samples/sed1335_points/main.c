/* Calls the SED1335 driver's GUI points, which the demo without the GUI
 * library leaves out (the test builds lcd.c with the GUI's colour type and
 * screen size, as lcd.h gives them with the library), for the picture of
 * samples/t6963_points: the graphic layer filled and cleared, a border and a
 * diagonal drawn with GUI_Point, a dot cleared again, and a middle line
 * whose dot x is drawn only when GUI_ReadPoint reads the top border at x as
 * set and the row below it as clear; points off the screen must be refused.
 * Replaces the demo main.c of a generated project (gen_case.sh --main). */
#include "lcd.h"
#include "delay.h"

unsigned char GUI_Point(unsigned int x, unsigned char y, unsigned char color);
unsigned char GUI_ReadPoint(unsigned int x, unsigned char y, TCOLOR *ret);

int main(void)
{
   unsigned int x;
   unsigned int y;
   TCOLOR top, below;

   LCD_Init();
   GFullPART(0, 0, GUI_LCM_XMAX - 1, GUI_LCM_YMAX - 1);
   GClrSCR();
   for (x = 0; x < GUI_LCM_XMAX; x++)
   {
      GUI_Point(x, 0, 1);
      GUI_Point(x, GUI_LCM_YMAX - 1, 1);
   }
   for (y = 0; y < GUI_LCM_YMAX; y++)
   {
      GUI_Point(0, y, 1);
      GUI_Point(GUI_LCM_XMAX - 1, y, 1);
      GUI_Point(y, y, 1);
   }
   GUI_Point(5, 5, 0);
   for (x = 0; x < GUI_LCM_XMAX; x++)
   {
      top = 0;
      below = 1;
      if (GUI_ReadPoint(x, 0, &top) && GUI_ReadPoint(x, 1, &below) && top == 1 && below == (x == 1 || x == 0 || x == GUI_LCM_XMAX - 1))
         GUI_Point(x, GUI_LCM_YMAX / 2, 1);
   }
   if (GUI_Point(GUI_LCM_XMAX, 0, 1) == 0 && GUI_ReadPoint(0, GUI_LCM_YMAX, &top) == 0)
      GUI_Point(2, GUI_LCM_YMAX - 3, 1);
   while (1)
      ;
}
