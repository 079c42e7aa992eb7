#ifndef  __SHOW_H
#define  __SHOW_H

/* 界面显示：带曲线区、日期时间和两组按钮的窗口 */
#define  AA_MAX     6

typedef  struct
{
	uint32  x;
	uint32  y;
	uint32  with;
	uint32  hight;
	uint8   *title;             /* 标题 */
	uint8   *date;              /* 日期文字 */
	uint8   *time;              /* 时间文字 */
	uint8   no1;                /* 第一组按钮个数 */
	char    *str1[AA_MAX];
	uint8   no2;                /* 第二组按钮个数 */
	char    *str2[AA_MAX];
	uint8   *state;             /* 状态栏文字 */
} WIN_AA;

void  GUI_SetColor(TCOLOR color1, TCOLOR color2);
uint8 GUI_AAWinDraw(WIN_AA *win);

#endif
