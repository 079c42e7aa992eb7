#include "gui.h"

/*-----------------------------------------------------------------------
界面显示：左边是曲线区，右边一栏显示日期、时间和两组按钮。
-----------------------------------------------------------------------*/
extern TCOLOR disp_color;
extern TCOLOR back_color;

#define  AA_PANEL    62         /* 右栏宽度 */

static uint16 aa_x(uint32 x) { return x > 1000 ? 1000 : (uint16)x; }
static uint8 aa_y(uint32 y) { return y > 255 ? 255 : (uint8)y; }

static void aa_buttons(uint32 x, uint32 y, uint8 no, char **str)
{
	uint8 i, n;
	for (i = 0; i < no && i < AA_MAX; i++, y += 15)
	{
		for (n = 0; str[i] && str[i][n] && n < 8; n++)
			;
		GUI_Rectangle(aa_x(x), aa_y(y), aa_x(x + AA_PANEL - 10), aa_y(y + 12), disp_color);
		GUI_PutNoStr(x + 3, y + 3, (const uint8 *)str[i], n);
	}
}

uint8 GUI_AAWinDraw(WIN_AA *win)
{
	uint32 x1, y1, panel, top;
	TCOLOR fore = disp_color, back = back_color;
	if (win == NULL || win->with < AA_PANEL + 40 || win->hight < 60)
		return 0;
	x1 = win->x + win->with - 1;
	y1 = win->y + win->hight - 1;
	panel = x1 - AA_PANEL;
	GUI_RectangleFill(aa_x(win->x), aa_y(win->y), aa_x(x1), aa_y(y1), back);
	GUI_Rectangle(aa_x(win->x), aa_y(win->y), aa_x(x1), aa_y(y1), fore);
	top = win->y + 12;
	GUI_RectangleFill(aa_x(win->x), aa_y(win->y), aa_x(x1), aa_y(top - 1), fore);
	if (win->title)
	{
		GUI_SetColor(back, fore);
		GUI_PutNoStr(win->x + 3, win->y + 2, win->title, (win->with - 6) / 6);
		GUI_SetColor(fore, back);
	}
	GUI_RLine(aa_x(panel), aa_y(top), aa_y(y1), fore);
	GUI_PutNoStr(panel + 4, top + 4, win->date, 10);
	GUI_PutNoStr(panel + 4, top + 14, win->time, 10);
	GUI_HLine(aa_x(panel), aa_y(top + 24), aa_x(x1), fore);
	aa_buttons(panel + 5, top + 30, win->no1, win->str1);
	aa_buttons(panel + 5, top + 32 + 15 * (win->no1 < AA_MAX ? win->no1 : AA_MAX), win->no2, win->str2);
	if (win->state)
	{
		GUI_HLine(aa_x(win->x), aa_y(y1 - 11), aa_x(panel), fore);
		GUI_PutNoStr(win->x + 3, y1 - 9, win->state, (panel - win->x - 4) / 6);
	}
	return 1;
}
