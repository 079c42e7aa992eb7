#include <macros.h>
#include "lcd.h"
#include "delay.h"

/*-----------------------------------------------------------------------
ST7920中文字库液晶驱动：$panel$
ST7920内部显示为256x32点：第1行文字地址0x80-0x8F，第2行0x90-0x9F，每个地址
16点宽（一个汉字或两个半角字符）。128x64的屏把右半边（0x88-0x8F、0x98-0x9F）
显示在下半屏，所以四行的首地址依次是0x80、0x90、0x88、0x98。
汉字用GB2312内码（两字节，须从偶数字节开始），半角字符用ASCII码。
绘图（GDRAM）：扩充指令集下先写垂直地址（0-31）再写水平地址（0-15，每个16点），
然后每两个字节写一个16点的字，高位在左，写完水平地址加1。
-----------------------------------------------------------------------*/

//基本指令集
#define CMD_CLEAR        0x01   //清屏（最长1.6ms）
#define CMD_ENTRY_INC    0x06   //写入后地址加1
#define CMD_DISPLAY_ON   0x0C   //显示开，光标关
#define CMD_BASIC        0x30   //8位接口，基本指令集
//扩充指令集
#define CMD_EXTEND       0x34   //扩充指令集，绘图显示关
#define CMD_GRAPHIC_ON   0x36   //扩充指令集，绘图显示开

#define PIC_WORDS        ((GUI_LCM_XMAX + 15) / 16)   //每行的16点字数
#define PIC_ROW_BYTES    (PIC_WORDS * 2)             //LCD_pic_all每行的字节数

//至少等待us微秒（us不超过30000）：每次循环不少于10个时钟周期，16MHz时为
//0.625us，较低的晶振只会等得更久，不受编译器优化的影响
static void lcd_delay_us(unsigned int us)
{
	volatile unsigned int n = us * 2;
	while (n)
		n--;
}

//总线上不足1us的等待按工程的晶振换算成空操作（另留一个周期的余量）
#define LCD_XTAL_HZ      $crystal_hz$UL
#define LCD_CYCLES(ns)   ((LCD_XTAL_HZ / 1000UL * (ns) + 999999UL) / 1000000UL + 1)
#define LCD_NOP_IF(ns, n)    if (LCD_CYCLES(ns) > (n)) NOP()
#define LCD_WAIT(ns)     do { LCD_NOP_IF(ns, 0); LCD_NOP_IF(ns, 1); LCD_NOP_IF(ns, 2); LCD_NOP_IF(ns, 3); \
                              LCD_NOP_IF(ns, 4); LCD_NOP_IF(ns, 5); LCD_NOP_IF(ns, 6); LCD_NOP_IF(ns, 7); } while (0)

static void lcd_pic_addr(unsigned char y, unsigned char word);

$bus$

/*-----------------------------------------------------------------------
LCD_command : 写一条指令
-----------------------------------------------------------------------*/
void LCD_command(unsigned char com_data)
{
	lcd_write(0, com_data);
	if (com_data == CMD_CLEAR)
		lcd_wait_clear();
}

/*-----------------------------------------------------------------------
LCD_Init : 复位并初始化：基本指令集，显示开，清屏，地址递增
-----------------------------------------------------------------------*/
void LCD_Init(void)
{
	unsigned char ms;
	LCD_PSB_DDR |= LCD_PSB_BIT;
	LCD_RST_DDR |= LCD_RST_BIT;
	lcd_bus_init();
	RST_L;
	lcd_delay_us(100);
	RST_H;
	for (ms = 0; ms < 50; ms++)  //复位后至少等待40ms
		lcd_delay_us(1000);
	LCD_command(CMD_BASIC);
	LCD_command(CMD_BASIC);
	LCD_command(CMD_DISPLAY_ON);
	LCD_command(CMD_CLEAR);
	LCD_command(CMD_ENTRY_INC);
}

//从显示地址out_addr（0x80-0x9F）起写字符串
static void lcd_string(unsigned char out_addr, unsigned char *out_data)
{
	LCD_command(CMD_BASIC);
	LCD_command(out_addr);
	while (*out_data)
		lcd_write(1, *out_data++);
}

/*-----------------------------------------------------------------------
LCD_chinese : 从显示地址out_addr起显示汉字串（GB2312内码，可夹半角字符）
-----------------------------------------------------------------------*/
void LCD_chinese(unsigned char out_addr,unsigned char *out_data)
{
	lcd_string(out_addr, out_data);
}

/*-----------------------------------------------------------------------
LCD_ascii : 从显示地址out_addr起显示半角字符串（每个地址两个字符）
-----------------------------------------------------------------------*/
void LCD_ascii(unsigned char out_addr,unsigned char *out_data)
{
	lcd_string(out_addr, out_data);
}

//GDRAM地址：屏上第y行（0-GUI_LCM_YMAX-1）的第word个16点字
static void lcd_pic_addr(unsigned char y, unsigned char word)
{
	if (y >= 32)
	{
		y -= 32;
		word += 8;
	}
	lcd_write(0, 0x80 | y);
	lcd_write(0, 0x80 | word);
}

/*-----------------------------------------------------------------------
LCD_pic_init : 进入扩充指令集并打开绘图显示
-----------------------------------------------------------------------*/
void LCD_pic_init(void)
{
	LCD_command(CMD_EXTEND);
	LCD_command(CMD_GRAPHIC_ON);
}

/*-----------------------------------------------------------------------
LCD_pic_clear : 清除整个绘图区
-----------------------------------------------------------------------*/
void LCD_pic_clear(void)
{
	unsigned char y, w;
	LCD_command(CMD_EXTEND);
	for (y = 0; y < GUI_LCM_YMAX; y++)
	{
		lcd_pic_addr(y, 0);
		for (w = 0; w < PIC_WORDS; w++)
			lcd_pic_word(y, w, 0);
	}
	LCD_command(CMD_GRAPHIC_ON);
}

/*-----------------------------------------------------------------------
LCD_pic_all : 显示整屏图片：逐行，每行PIC_ROW_BYTES字节，高位在左
-----------------------------------------------------------------------*/
void LCD_pic_all(unsigned char *out_data)
{
	unsigned char y, w;
	LCD_command(CMD_EXTEND);
	for (y = 0; y < GUI_LCM_YMAX; y++)
	{
		lcd_pic_addr(y, 0);
		for (w = 0; w < PIC_WORDS; w++, out_data += 2)
			lcd_pic_word(y, w, ((unsigned int)out_data[0] << 8) | out_data[1]);
	}
	LCD_command(CMD_GRAPHIC_ON);
}

/*-----------------------------------------------------------------------
LCD_pic_part : 显示16x16点的图块（32字节，每行两字节，高位在左），
               x为16点字的列号（0-PIC_WORDS-1），y为起始行
-----------------------------------------------------------------------*/
void LCD_pic_part(unsigned char x,unsigned char y,unsigned char *out_data)
{
	unsigned char i;
	if (x >= PIC_WORDS)
		return;
	LCD_command(CMD_EXTEND);
	for (i = 0; i < 16 && y + i < GUI_LCM_YMAX; i++, out_data += 2)
	{
		lcd_pic_addr(y + i, x);
		lcd_pic_word(y + i, x, ((unsigned int)out_data[0] << 8) | out_data[1]);
	}
	LCD_command(CMD_GRAPHIC_ON);
}

//点亮(x,y)：读出所在的16点字，置位后写回
static void lcd_dot(unsigned char x, unsigned char y)
{
	unsigned char w = x >> 4;
	unsigned int bits;
	if (x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX)
		return;
	bits = lcd_pic_read(y, w) | (0x8000 >> (x & 15));
	lcd_pic_addr(y, w);
	lcd_pic_word(y, w, bits);
}

/*-----------------------------------------------------------------------
LCD_pic_point : 画点
-----------------------------------------------------------------------*/
void LCD_pic_point(unsigned char x,unsigned char y)
{
	LCD_command(CMD_EXTEND);
	lcd_dot(x, y);
	LCD_command(CMD_GRAPHIC_ON);
}

/*-----------------------------------------------------------------------
LCD_pic_line : 画直线（Bresenham算法）
-----------------------------------------------------------------------*/
void LCD_pic_line(unsigned char x1,unsigned char y1,unsigned char x2,unsigned char y2)
{
	int dx = x2 > x1 ? x2 - x1 : x1 - x2;
	int dy = y2 > y1 ? y2 - y1 : y1 - y2;
	signed char sx = x1 < x2 ? 1 : -1;
	signed char sy = y1 < y2 ? 1 : -1;
	int err = dx - dy, e2;
	LCD_command(CMD_EXTEND);
	for (;;)
	{
		lcd_dot(x1, y1);
		if (x1 == x2 && y1 == y2)
			break;
		e2 = 2 * err;
		if (e2 > -dy)
		{
			err -= dy;
			x1 += sx;
		}
		if (e2 < dx)
		{
			err += dx;
			y1 += sy;
		}
	}
	LCD_command(CMD_GRAPHIC_ON);
}

//演示文字（GB2312内码）
unsigned char hanzi1[] = "欢迎使用ST7920";
unsigned char hanzi2[] = "中文字库液晶模块";
unsigned char hanzi3[] = "Hollowmere论坛";
unsigned char hanzi4[] = "hollowmere.com";
