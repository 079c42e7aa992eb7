#ifndef  __MENU_H
#define  __MENU_H

/* 下拉菜单：主菜单在窗口标题栏下，每项占MENU_ITEM_W点宽；子菜单在第mmenu_no项下 */
#define  MENU_ITEM_W    30
#define  MENU_MAX       8

typedef  struct
{
	WINDOWS *win;               /* 所属窗口 */
	uint8   no;                 /* 菜单项个数 */
	char    *str[MENU_MAX];     /* 菜单项文字 */
} MMENU;

typedef  struct
{
	WINDOWS *win;               /* 所属窗口 */
	uint8   mmenu_no;           /* 在第几个主菜单项下（从0起） */
	uint8   no;                 /* 菜单项个数 */
	char    *str[MENU_MAX];     /* 菜单项文字 */
	uint8   state;              /* 选中的菜单项（从0起），反色显示 */
} SMENU;

void  GUI_MMenuDraw(MMENU *menu);
void  GUI_SMenuDraw(SMENU *menu);
void  GUI_SMenuHide(SMENU *menu);

#if GUI_MenuIco_EN==1
/* 图标菜单：32*32点阵图标，下面是文字 */
typedef  struct
{
	uint32  x;
	uint32  y;
	GUI_ROM uint8 *icon;        /* 图标位图，每行4字节，高位在左 */
	char    *title;
	uint8   state;              /* 为1时加框表示选中 */
} MENUICO;

void  GUI_MenuIcoDraw(MENUICO *ico);
#endif

#endif
