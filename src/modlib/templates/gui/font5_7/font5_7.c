#include "gui.h"

/* 在(x,y)起显示字符串，每字6点宽；'\n'换到下一行 */
void GUI_PutString(uint32 x, uint32 y, const char *str)
{
	uint32 x0 = x;
	if (str == NULL)
		return;
	for (; *str; str++)
	{
		if (*str == '\n')
		{
			x = x0;
			y += 8;
			continue;
		}
		GUI_PutChar(x, y, (uint8)*str);
		x += 6;
	}
}
