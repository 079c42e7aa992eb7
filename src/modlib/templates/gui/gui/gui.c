#include "gui.h"

/*-----------------------------------------------------------------------
图形函数库：直线、矩形、圆、椭圆、圆弧、扇形及填充。
所有画点都经过gui_point，超出GUI_LCM_XMAX/GUI_LCM_YMAX的点不画，
坐标在函数内部用有符号长整型计算，所以图形可以部分在屏幕之外。
-----------------------------------------------------------------------*/

/* 读点函数由液晶驱动提供（填充函数使用） */
unsigned char GUI_ReadPoint(unsigned int x, unsigned char y, TCOLOR *ret);

TCOLOR disp_color = 1;          /* 前景色 */
TCOLOR back_color = 0;          /* 背景色 */

/* 比屏幕大得多的尺寸没有意义，限制它可保证运算不溢出、循环有界 */
#define GUI_FAR         2047L

void GUI_SetColor(TCOLOR color1, TCOLOR color2)
{
	disp_color = color1;
	back_color = color2;
}

static void gui_point(int32 x, int32 y, TCOLOR color)
{
	if (x < 0 || y < 0 || x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX)
		return;
	GUI_Point((unsigned int)x, (unsigned char)y, color);
}

/* 水平线段，x0..x1（含两端），先裁剪再画 */
static void gui_hspan(int32 x0, int32 x1, int32 y, TCOLOR color)
{
	int32 t;
	if (x0 > x1) { t = x0; x0 = x1; x1 = t; }
	if (y < 0 || y >= GUI_LCM_YMAX || x1 < 0 || x0 >= GUI_LCM_XMAX)
		return;
	if (x0 < 0) x0 = 0;
	if (x1 >= GUI_LCM_XMAX) x1 = GUI_LCM_XMAX - 1;
	for (; x0 <= x1; x0++)
		GUI_Point((unsigned int)x0, (unsigned char)y, color);
}

static void gui_vspan(int32 x, int32 y0, int32 y1, TCOLOR color)
{
	int32 t;
	if (y0 > y1) { t = y0; y0 = y1; y1 = t; }
	if (x < 0 || x >= GUI_LCM_XMAX || y1 < 0 || y0 >= GUI_LCM_YMAX)
		return;
	if (y0 < 0) y0 = 0;
	if (y1 >= GUI_LCM_YMAX) y1 = GUI_LCM_YMAX - 1;
	for (; y0 <= y1; y0++)
		GUI_Point((unsigned int)x, (unsigned char)y0, color);
}

void GUI_HLine(unsigned int x0, unsigned char y0, unsigned int x1, TCOLOR color)
{
	gui_hspan(x0, x1, y0, color);
}

void GUI_RLine(unsigned int x0, unsigned char y0, unsigned char y1, TCOLOR color)
{
	gui_vspan(x0, y0, y1, color);
}

void GUI_Rectangle(uint16 x0, uint8 y0, uint16 x1, uint8 y1, TCOLOR color)
{
	gui_hspan(x0, x1, y0, color);
	gui_hspan(x0, x1, y1, color);
	gui_vspan(x0, y0, y1, color);
	gui_vspan(x1, y0, y1, color);
}

void GUI_RectangleFill(uint16 x0, uint8 y0, uint16 x1, uint8 y1, TCOLOR color)
{
	uint8 t;
	if (y0 > y1) { t = y0; y0 = y1; y1 = t; }
	for (;;)
	{
		gui_hspan(x0, x1, y0, color);
		if (y0 == y1)
			break;
		y0++;
	}
}

/* 正方形：边长with个点 */
void GUI_Square(uint32 x0, uint32 y0, uint32  with, TCOLOR  color)
{
	if (with == 0 || x0 > GUI_FAR || y0 > GUI_FAR)
		return;
	if (with > GUI_FAR)
		with = GUI_FAR;
	gui_hspan(x0, x0 + with - 1, y0, color);
	gui_hspan(x0, x0 + with - 1, y0 + with - 1, color);
	gui_vspan(x0, y0, y0 + with - 1, color);
	gui_vspan(x0 + with - 1, y0, y0 + with - 1, color);
}

/* Bresenham直线；每个点交给plot，with为线宽（1为普通直线） */
static void gui_line(int32 x0, int32 y0, int32 x1, int32 y1, uint8 with, TCOLOR color)
{
	int32 dx, dy, sx, sy, err, e2, half;
	if (x0 > GUI_FAR || y0 > GUI_FAR || x1 > GUI_FAR || y1 > GUI_FAR)
		return;
	if (with == 0)
		return;
	dx = x1 > x0 ? x1 - x0 : x0 - x1;
	dy = y1 > y0 ? y1 - y0 : y0 - y1;
	sx = x0 < x1 ? 1 : -1;
	sy = y0 < y1 ? 1 : -1;
	err = dx - dy;
	half = (with - 1) / 2;
	for (;;)
	{
		if (with == 1)
			gui_point(x0, y0, color);
		else if (dx >= dy)          /* 平缓的线加粗竖直方向 */
			gui_vspan(x0, y0 - half, y0 - half + with - 1, color);
		else
			gui_hspan(x0 - half, x0 - half + with - 1, y0, color);
		if (x0 == x1 && y0 == y1)
			break;
		e2 = 2 * err;
		if (e2 > -dy) { err -= dy; x0 += sx; }
		if (e2 < dx) { err += dx; y0 += sy; }
	}
}

void GUI_Line(uint32 x0, uint32 y0, uint32 x1, uint32 y1, TCOLOR color)
{
	gui_line(x0, y0, x1, y1, 1, color);
}

#if GUI_LineWith_EN==1
void GUI_LineWith(uint32 x0, uint32 y0, uint32 x1, uint32 y1, uint8 with, TCOLOR color)
{
	gui_line(x0, y0, x1, y1, with, color);
}
#endif

/* 折线：points依次为x0,y0,x1,y1...，共no个点 */
void GUI_LineS(uint32 const *points, uint8 no, TCOLOR color)
{
	uint8 i;
	if (points == NULL || no < 2)
		return;
	for (i = 1; i < no; i++)
		GUI_Line(points[2 * i - 2], points[2 * i - 1], points[2 * i], points[2 * i + 1], color);
}

#define GUI_OUTLINE     0
#define GUI_FILL        1

#if GUI_EllipseX_EN==1 || GUI_ArcX_EN==1 || GUI_Pieslice_EN==1
/* 整数平方根（向下取整） */
static uint32 gui_isqrt(uint32 n)
{
	uint32 root = 0, bit = 1UL << 30;
	while (bit > n)
		bit >>= 2;
	while (bit)
	{
		if (n >= root + bit)
		{
			n -= root + bit;
			root = (root >> 1) + bit;
		}
		else
			root >>= 1;
		bit >>= 2;
	}
	return root;
}

/* 第y行（距中心）的半宽：a*sqrt(1-(y/b)^2)，四舍五入 */
static int32 gui_half(int32 a, int32 b, int32 y)
{
	uint32 s;
	if (b == 0)
		return a;
	s = gui_isqrt((uint32)(b * b - y * y) << 10);        /* sqrt*32 */
	return (a * (int32)s + 16 * b) / (32 * b);
}

#endif

#if GUI_EllipseX_EN==1
/* 椭圆：中心(xc,yc)，半轴a、b；ox、oy为1时右/下半边再右移/下移一点（偶数宽高） */
static void gui_ellipse(int32 xc, int32 yc, int32 a, int32 b, int32 ox, int32 oy, uint8 fill, TCOLOR color)
{
	int32 y, w, next;
	if (a > 700) a = 700;
	if (b > 700) b = 700;
	for (y = 0; y <= b; y++)
	{
		w = gui_half(a, b, y);
		if (fill)
		{
			gui_hspan(xc - w, xc + w + ox, yc + y + oy, color);
			gui_hspan(xc - w, xc + w + ox, yc - y, color);
			continue;
		}
		/* 到下一行半宽之间的点都画上，边线才连续 */
		next = y < b ? gui_half(a, b, y + 1) + 1 : 0;
		if (next > w)
			next = w;
		gui_hspan(xc + next + ox, xc + w + ox, yc + y + oy, color);
		gui_hspan(xc - w, xc - next, yc + y + oy, color);
		gui_hspan(xc + next + ox, xc + w + ox, yc - y, color);
		gui_hspan(xc - w, xc - next, yc - y, color);
	}
}
#endif

#if GUI_CircleX_EN==1
/* 中点画圆：八个对称点一起画，圆对两轴和对角线都对称 */
static void gui_circle(int32 xc, int32 yc, int32 r, uint8 fill, TCOLOR color)
{
	int32 x = 0, y = r, d = 1 - r;
	while (x <= y)
	{
		if (fill)
		{
			gui_hspan(xc - x, xc + x, yc + y, color);
			gui_hspan(xc - x, xc + x, yc - y, color);
			gui_hspan(xc - y, xc + y, yc + x, color);
			gui_hspan(xc - y, xc + y, yc - x, color);
		}
		else
		{
			gui_point(xc + x, yc + y, color); gui_point(xc - x, yc + y, color);
			gui_point(xc + x, yc - y, color); gui_point(xc - x, yc - y, color);
			gui_point(xc + y, yc + x, color); gui_point(xc - y, yc + x, color);
			gui_point(xc + y, yc - x, color); gui_point(xc - y, yc - x, color);
		}
		if (d < 0)
			d += 2 * x + 3;
		else
		{
			d += 2 * (x - y) + 5;
			y--;
		}
		x++;
	}
}

void GUI_Circle(uint32 x0, uint32 y0, uint32 r, TCOLOR color)
{
	if (x0 > GUI_FAR || y0 > GUI_FAR || r > GUI_FAR)
		return;
	gui_circle(x0, y0, r, GUI_OUTLINE, color);
}

void GUI_CircleFill(uint32 x0, uint32 y0, uint32 r, TCOLOR color)
{
	if (x0 > GUI_FAR || y0 > GUI_FAR || r > GUI_FAR)
		return;
	gui_circle(x0, y0, r, GUI_FILL, color);
}
#endif

#if GUI_EllipseX_EN==1
/* 椭圆：外接矩形为x0..x1、y0..y1 */
static void gui_box_ellipse(uint32 x0, uint32 x1, uint32 y0, uint32 y1, uint8 fill, TCOLOR color)
{
	uint32 t;
	if (x0 > GUI_FAR || x1 > GUI_FAR || y0 > GUI_FAR || y1 > GUI_FAR)
		return;
	if (x0 > x1) { t = x0; x0 = x1; x1 = t; }
	if (y0 > y1) { t = y0; y0 = y1; y1 = t; }
	gui_ellipse(x0 + (x1 - x0) / 2, y0 + (y1 - y0) / 2, (x1 - x0) / 2, (y1 - y0) / 2,
	            (x1 - x0) & 1, (y1 - y0) & 1, fill, color);
}

void GUI_Ellipse(uint32 x0, uint32 x1, uint32 y0, uint32 y1, TCOLOR color)
{
	gui_box_ellipse(x0, x1, y0, y1, GUI_OUTLINE, color);
}

void GUI_EllipseFill(uint32 x0, uint32 x1, uint32 y0, uint32 y1, TCOLOR color)
{
	gui_box_ellipse(x0, x1, y0, y1, GUI_FILL, color);
}
#endif

#if GUI_ArcX_EN==1 || GUI_Pieslice_EN==1
/* sin(0..90度)*1024 */
#if defined(__GNUC__) && defined(__AVR__)
static const __flash uint16 gui_sin[91] = {
#else
static const uint16 gui_sin[91] = {
#endif
	0, 18, 36, 54, 71, 89, 107, 125, 143, 160, 178, 195, 213, 230, 248, 265,
	282, 299, 316, 333, 350, 367, 384, 400, 416, 433, 449, 465, 481, 496, 512,
	527, 543, 558, 573, 587, 602, 616, 630, 644, 658, 672, 685, 698, 711, 724,
	737, 749, 761, 773, 784, 796, 807, 818, 828, 839, 849, 859, 868, 878, 887,
	896, 904, 912, 920, 928, 935, 943, 949, 956, 962, 968, 974, 979, 984, 989,
	994, 998, 1002, 1005, 1008, 1011, 1014, 1016, 1018, 1020, 1022, 1023, 1023, 1024, 1024};

/* 点(dx,dy)（y向上）的角度，0..359度 */
static uint16 gui_angle(int32 dx, int32 dy)
{
	int32 ax = dx < 0 ? -dx : dx, ay = dy < 0 ? -dy : dy;
	uint16 lo = 0, hi = 90, mid;
	/* 最小的d使tan(d)>=ay/ax */
	while (lo < hi)
	{
		mid = (lo + hi) / 2;
		if ((int32)gui_sin[mid] * ax >= (int32)gui_sin[90 - mid] * ay)
			hi = mid;
		else
			lo = mid + 1;
	}
	if (dx >= 0 && dy >= 0) return lo % 360;
	if (dx < 0 && dy >= 0) return 180 - lo;
	if (dx < 0) return 180 + lo;
	return lo ? 360 - lo : 0;
}

static uint8 gui_in_arc(uint16 a, uint16 st, uint16 end)
{
	if (st <= end)
		return a >= st && a <= end;
	return a >= st || a <= end;                 /* 跨过0度 */
}

/* 圆弧：从stangle逆时针到endangle（度，0度向右） */
static void gui_arc(int32 x, int32 y, int32 r, uint32 stangle, uint32 endangle, TCOLOR color)
{
	int32 dy, w, next, dx;
	uint16 st = stangle % 360, end = endangle % 360;
	if (r > 700)
		r = 700;
	for (dy = 0; dy <= r; dy++)
	{
		w = gui_half(r, r, dy);
		next = dy < r ? gui_half(r, r, dy + 1) + 1 : 0;
		if (next > w)
			next = w;
		for (dx = next; dx <= w; dx++)
		{
			if (gui_in_arc(gui_angle(dx, dy), st, end)) gui_point(x + dx, y - dy, color);
			if (gui_in_arc(gui_angle(-dx, dy), st, end)) gui_point(x - dx, y - dy, color);
			if (gui_in_arc(gui_angle(-dx, -dy), st, end)) gui_point(x - dx, y + dy, color);
			if (gui_in_arc(gui_angle(dx, -dy), st, end)) gui_point(x + dx, y + dy, color);
		}
	}
}
#endif

#if GUI_ArcX_EN==1
/* 四分之一圆弧：angle为1..4，依次为右上、左上、左下、右下 */
void GUI_Arc4(uint32 x, uint32 y, uint32 r, uint8 angle, TCOLOR color)
{
	if (x > GUI_FAR || y > GUI_FAR || r > GUI_FAR || angle < 1 || angle > 4)
		return;
	gui_arc(x, y, r, (angle - 1) * 90, angle * 90, color);
}

void GUI_Arc(uint32 x, uint32 y, uint32 r, uint32 stangle, uint32 endangle, TCOLOR color)
{
	if (x > GUI_FAR || y > GUI_FAR || r > GUI_FAR)
		return;
	gui_arc(x, y, r, stangle, endangle, color);
}
#endif

#if GUI_Pieslice_EN==1
static int32 gui_cos_r(int32 r, uint16 a)
{
	int32 v;
	a %= 360;
	if (a <= 90) v = gui_sin[90 - a];
	else if (a <= 180) v = -(int32)gui_sin[a - 90];
	else if (a <= 270) v = -(int32)gui_sin[270 - a];
	else v = gui_sin[a - 270];
	return (r * v + (v >= 0 ? 512 : -512)) / 1024;
}

/* 扇形：圆弧加两条半径 */
void GUI_Pieslice(uint32 x, uint32 y, uint32 r, uint32 stangle, uint32 endangle, TCOLOR color)
{
	if (x > GUI_FAR || y > GUI_FAR || r > GUI_FAR)
		return;
	gui_arc(x, y, r, stangle, endangle, color);
	gui_line(x, y, x + gui_cos_r(r, stangle % 360), y - gui_cos_r(r, (stangle % 360 + 270) % 360), 1, color);
	gui_line(x, y, x + gui_cos_r(r, endangle % 360), y - gui_cos_r(r, (endangle % 360 + 270) % 360), 1, color);
}
#endif

#if GUI_FloodFill_EN==1
/* 扫描线种子填充：种子点分放向上、向下两个栈，栈满即停止（不越界） */
typedef struct
{
	uint16 x;
	uint16 y;
} GUI_SEED;

static GUI_SEED gui_up[UPP_N];
static GUI_SEED gui_down[DOWNP_N];

static uint8 gui_is(int32 x, int32 y, TCOLOR old)
{
	TCOLOR c;
	if (x < 0 || y < 0 || x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX)
		return 0;
	if (!GUI_ReadPoint((unsigned int)x, (unsigned char)y, &c))
		return 0;
	return GUI_CmpColor(c, old);
}

/* 把y行xl..xr中每段旧颜色的点压一个种子；栈满返回0 */
static uint8 gui_seeds(int32 xl, int32 xr, int32 y, TCOLOR old, GUI_SEED *stack, uint8 *top, uint8 size)
{
	uint8 inside = 0;
	for (; xl <= xr; xl++)
	{
		if (gui_is(xl, y, old))
		{
			if (!inside)
			{
				if (*top >= size)
					return 0;
				stack[*top].x = xl;
				stack[*top].y = y;
				(*top)++;
				inside = 1;
			}
		}
		else
			inside = 0;
	}
	return 1;
}

void GUI_FloodFill(uint32 x0, uint32 y0, TCOLOR color)
{
	TCOLOR old;
	uint8 up = 0, down = 0;
	int32 x, y, xl, xr;
	if (x0 >= GUI_LCM_XMAX || y0 >= GUI_LCM_YMAX)
		return;
	if (!GUI_ReadPoint(x0, y0, &old) || GUI_CmpColor(old, color))
		return;
	gui_up[up].x = x0;
	gui_up[up].y = y0;
	up++;
	while (up || down)
	{
		if (up) { up--; x = gui_up[up].x; y = gui_up[up].y; }
		else { down--; x = gui_down[down].x; y = gui_down[down].y; }
		if (!gui_is(x, y, old))
			continue;
		for (xl = x; gui_is(xl - 1, y, old); xl--)
			;
		for (xr = x; gui_is(xr + 1, y, old); xr++)
			;
		gui_hspan(xl, xr, y, color);
		if (!gui_seeds(xl, xr, y - 1, old, gui_up, &up, UPP_N) ||
		    !gui_seeds(xl, xr, y + 1, old, gui_down, &down, DOWNP_N))
			return;                     /* 节点不够：已填的部分保留 */
	}
}
#endif
