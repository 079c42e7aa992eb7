#include "gui.h"

/*-----------------------------------------------------------------------
窗口：边框、12点高的标题栏（反色标题）和11点高的状态栏。
-----------------------------------------------------------------------*/
extern TCOLOR disp_color;
extern TCOLOR back_color;

#define  WIN_BAR      12
#define  BUTTON_W     24
#define  BUTTON_H     13

/* 坐标超过uint8/uint16能表示的范围时截到屏幕外一点 */
static uint16 win_x(uint32 x) { return x > 1000 ? 1000 : (uint16)x; }
static uint8 win_y(uint32 y) { return y > 255 ? 255 : (uint8)y; }

uint8 GUI_WindowsDraw(WINDOWS *win)
{
	uint32 x1, y1;
	TCOLOR fore = disp_color, back = back_color;
	if (win == NULL || win->with < 2 * WIN_BAR || win->hight < 2 * WIN_BAR)
		return 0;
	x1 = win->x + win->with - 1;
	y1 = win->y + win->hight - 1;
	GUI_RectangleFill(win_x(win->x), win_y(win->y), win_x(x1), win_y(y1), back);
	GUI_Rectangle(win_x(win->x), win_y(win->y), win_x(x1), win_y(y1), fore);
	if (win->title)
	{
		GUI_RectangleFill(win_x(win->x), win_y(win->y), win_x(x1), win_y(win->y + WIN_BAR - 1), fore);
		GUI_SetColor(back, fore);
		GUI_PutNoStr(win->x + 3, win->y + 2, win->title, (win->with - 6) / 6);
		GUI_SetColor(fore, back);
	}
	if (win->state)
	{
		GUI_HLine(win_x(win->x), win_y(y1 - WIN_BAR + 1), win_x(x1), fore);
		GUI_PutNoStr(win->x + 3, y1 - WIN_BAR + 3, win->state, (win->with - 6) / 6);
	}
	return 1;
}

void GUI_WindowsHide(WINDOWS *win)
{
	if (win == NULL || win->with == 0 || win->hight == 0)
		return;
	GUI_RectangleFill(win_x(win->x), win_y(win->y), win_x(win->x + win->with - 1),
	                  win_y(win->y + win->hight - 1), back_color);
}

/* 清除标题栏和状态栏之间的工作区 */
void GUI_WindowsClr(WINDOWS *win)
{
	uint32 top, bottom;
	if (win == NULL || win->with < 2 * WIN_BAR || win->hight < 2 * WIN_BAR)
		return;
	top = win->y + (win->title ? WIN_BAR : 1);
	bottom = win->y + win->hight - 1 - (win->state ? WIN_BAR : 1);
	if (top <= bottom)
		GUI_RectangleFill(win_x(win->x + 1), win_y(top), win_x(win->x + win->with - 2), win_y(bottom), back_color);
}

/* 按钮：选中的按钮反色显示 */
static void win_button(uint32 x, uint32 y, const char *text, uint8 selected)
{
	TCOLOR fore = disp_color, back = back_color;
	uint8 n = 0;
	while (text[n])
		n++;
	GUI_RectangleFill(win_x(x), win_y(y), win_x(x + BUTTON_W - 1), win_y(y + BUTTON_H - 1), selected ? fore : back);
	GUI_Rectangle(win_x(x), win_y(y), win_x(x + BUTTON_W - 1), win_y(y + BUTTON_H - 1), fore);
	if (selected)
		GUI_SetColor(back, fore);
	GUI_PutNoStr(x + (BUTTON_W - n * 6) / 2, y + 3, (const uint8 *)text, n);
	GUI_SetColor(fore, back);
}

void GUI_Button_OK(uint32 x, uint32 y) { win_button(x, y, "OK", 0); }
void GUI_Button_OK1(uint32 x, uint32 y) { win_button(x, y, "OK", 1); }
void GUI_Button_Cancle(uint32 x, uint32 y) { win_button(x, y, "ESC", 0); }
void GUI_Button_Cancle1(uint32 x, uint32 y) { win_button(x, y, "ESC", 1); }

/* 对话框：窗口、提示文字和OK/ESC按钮；select为0时选中OK */
void DemoMessage(WINDOWS *win, uint8 select)
{
	if (!GUI_WindowsDraw(win))
		return;
	GUI_PutNoStr(win->x + 5, win->y + WIN_BAR + 6, (const uint8 *)"Hello!", 6);
	if (select == 0)
	{
		GUI_Button_OK1(win->x + 75, win->y + 15);
		GUI_Button_Cancle(win->x + 75, win->y + 31);
	}
	else
	{
		GUI_Button_OK(win->x + 75, win->y + 15);
		GUI_Button_Cancle1(win->x + 75, win->y + 31);
	}
}
