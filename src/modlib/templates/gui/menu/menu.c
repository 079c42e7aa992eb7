#include "gui.h"

extern TCOLOR disp_color;
extern TCOLOR back_color;

#define  MENU_BAR_TOP(w)    ((w)->y + ((w)->title ? 12 : 1))
#define  MENU_BAR_H         11

static uint16 menu_x(uint32 x) { return x > 1000 ? 1000 : (uint16)x; }
static uint8 menu_y(uint32 y) { return y > 255 ? 255 : (uint8)y; }

static uint8 menu_len(const char *s)
{
	uint8 n = 0;
	while (s && s[n] && n < 40)
		n++;
	return n;
}

void GUI_MMenuDraw(MMENU *menu)
{
	uint8 i, n;
	uint32 top, right;
	if (menu == NULL || menu->win == NULL)
		return;
	top = MENU_BAR_TOP(menu->win);
	right = menu->win->x + menu->win->with - 2;
	n = menu->no > MENU_MAX ? MENU_MAX : menu->no;
	GUI_RectangleFill(menu_x(menu->win->x + 1), menu_y(top), menu_x(right), menu_y(top + MENU_BAR_H - 1), back_color);
	for (i = 0; i < n; i++)
		GUI_PutNoStr(menu->win->x + 3 + i * MENU_ITEM_W, top + 2, (const uint8 *)menu->str[i], MENU_ITEM_W / 6 - 1);
	GUI_HLine(menu_x(menu->win->x), menu_y(top + MENU_BAR_H - 1), menu_x(right + 1), disp_color);
}

/* 子菜单所占的矩形 */
static void smenu_box(SMENU *menu, uint32 *x0, uint32 *y0, uint32 *x1, uint32 *y1)
{
	uint8 i, w = 0, n = menu->no > MENU_MAX ? MENU_MAX : menu->no;
	for (i = 0; i < n; i++)
		if (menu_len(menu->str[i]) > w)
			w = menu_len(menu->str[i]);
	*x0 = menu->win->x + 1 + menu->mmenu_no * MENU_ITEM_W;
	*y0 = MENU_BAR_TOP(menu->win) + MENU_BAR_H - 1;
	*x1 = *x0 + w * 6 + 5;
	*y1 = *y0 + n * 10 + 2;
}

void GUI_SMenuDraw(SMENU *menu)
{
	uint8 i, n;
	uint32 x0, y0, x1, y1;
	TCOLOR fore = disp_color, back = back_color;
	if (menu == NULL || menu->win == NULL)
		return;
	n = menu->no > MENU_MAX ? MENU_MAX : menu->no;
	smenu_box(menu, &x0, &y0, &x1, &y1);
	GUI_RectangleFill(menu_x(x0), menu_y(y0), menu_x(x1), menu_y(y1), back);
	GUI_Rectangle(menu_x(x0), menu_y(y0), menu_x(x1), menu_y(y1), fore);
	for (i = 0; i < n; i++)
	{
		if (i == menu->state)
		{
			GUI_RectangleFill(menu_x(x0 + 1), menu_y(y0 + 1 + i * 10), menu_x(x1 - 1), menu_y(y0 + 10 + i * 10), fore);
			GUI_SetColor(back, fore);
		}
		GUI_PutNoStr(x0 + 3, y0 + 2 + i * 10, (const uint8 *)menu->str[i], menu_len(menu->str[i]));
		GUI_SetColor(fore, back);
	}
}

void GUI_SMenuHide(SMENU *menu)
{
	uint32 x0, y0, x1, y1;
	if (menu == NULL || menu->win == NULL)
		return;
	smenu_box(menu, &x0, &y0, &x1, &y1);
	/* 上边是主菜单栏的下边线，保留 */
	GUI_RectangleFill(menu_x(x0), menu_y(y0 + 1), menu_x(x1), menu_y(y1), back_color);
}

#if GUI_MenuIco_EN==1
void GUI_MenuIcoDraw(MENUICO *ico)
{
	if (ico == NULL)
		return;
	GUI_LoadPic(ico->x + 2, ico->y + 2, ico->icon, 32, 32);
	GUI_PutNoStr(ico->x + 2, ico->y + 36, (const uint8 *)ico->title, 6);
	GUI_Rectangle(menu_x(ico->x), menu_y(ico->y), menu_x(ico->x + 37), menu_y(ico->y + 45),
	              ico->state ? disp_color : back_color);
}
#endif
