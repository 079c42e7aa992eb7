#include <macros.h>
#include "lcd.h"
#include "delay.h"

/*-----------------------------------------------------------------------
KS0108 240x64点阵液晶驱动：四片KS0108，第1-3片各管64列，第4片管最后48列，
CS1-CS4低电平选中。
每片8页（每页8行），页内每字节为一列的8个点，低位在上。
写：D/I、R/W准备好后E置高，数据放上总线，E下降沿锁存。
读：E为高时控制器输出数据；设置地址后的第一次读是“空读”。
-----------------------------------------------------------------------*/

unsigned char CurOffset,CurRow,CurPage,CurCol;

#define BUSY_TRIES      1000   //显示器不应答时不死等

/*-----------------------------------------------------------------------
总线时序（KS0108B）：E高、低电平各至少450ns，读出的数据在E上升后320ns才有效，
RS、R/W和片选在E上升前至少140ns建立。等待按工程的晶振换算成空操作，
另留一个周期的余量，任何晶振都满足。
-----------------------------------------------------------------------*/
#define LCD_XTAL_HZ     $crystal_hz$UL
#define LCD_CYCLES(ns)  ((LCD_XTAL_HZ / 1000UL * (ns) + 999999UL) / 1000000UL + 1)
#define LCD_NOP_IF(ns, n)   if (LCD_CYCLES(ns) > (n)) NOP()
#define LCD_WAIT(ns)    do { LCD_NOP_IF(ns, 0); LCD_NOP_IF(ns, 1); LCD_NOP_IF(ns, 2); LCD_NOP_IF(ns, 3); \
                             LCD_NOP_IF(ns, 4); LCD_NOP_IF(ns, 5); LCD_NOP_IF(ns, 6); LCD_NOP_IF(ns, 7); \
                             LCD_NOP_IF(ns, 8); LCD_NOP_IF(ns, 9); LCD_NOP_IF(ns, 10); LCD_NOP_IF(ns, 11); } while (0)
//读数据：E上升后等到数据有效（输入同步器提前半个周期采样，故再多一个周期）
#define LCD_WAIT_DATA() do { LCD_WAIT(320); NOP(); } while (0)

//字库放在程序存储器中：ICC的const即在Flash，avr-gcc用__flash
#if defined(__GNUC__) && defined(__AVR__)
#define LCD_ROM const __flash
#else
#define LCD_ROM const
#endif

/*-----------------------------------------------------------------------
LCD_reset : 复位液晶（RST低电平至少1us）
-----------------------------------------------------------------------*/
void LCD_reset(void)
{
	LCD_RST_DDR |= LCD_RST_BIT;
	CLEAR_LCD_RST;
	delay_nus(50);
	NOP(); NOP(); NOP(); NOP(); NOP(); NOP(); NOP(); NOP();
	SET_LCD_RST;
}

//选中一片：block为BLOCK1-BLOCK4
static void LCD_select(unsigned char block)
{
	SET_LCD_CS1;
	SET_LCD_CS2;
	SET_LCD_CS3;
	SET_LCD_CS4;
	switch (block)
	{
		case BLOCK1: CLEAR_LCD_CS1; break;
		case BLOCK2: CLEAR_LCD_CS2; break;
		case BLOCK3: CLEAR_LCD_CS3; break;
		default:     CLEAR_LCD_CS4; break;
	}
}

//第x列（0-239）所在的片和片内的列
#define BLOCK_OF(x)     ((x) / 64 + 1)
#define COL_OF(x)       ((x) & 63)

/*-----------------------------------------------------------------------
LCD_BUSY : 等待选中的一片空闲（读状态字的BUSY位）
-----------------------------------------------------------------------*/
void LCD_BUSY(unsigned char block)
{
	unsigned char sreg = SREG;
	unsigned int tries = BUSY_TRIES;
	CLI();
	LCD_select(block);
	SET_LCD_CMD;
	LCD_DIR_PORT = 0x00;                //数据口输入，上拉
	LCD_OP_PORT = 0xff;
	SET_LCD_READ;
	LCD_WAIT(140);                      //地址建立时间
	SET_LCD_E;
	LCD_WAIT_DATA();                    //E上升后数据延迟出现
	while ((LCD_IP_PORT & LCD_STATUS_BUSY) && --tries)
	{
		CLEAR_LCD_E;
		LCD_WAIT(450);                  //E低电平
		SET_LCD_E;
		LCD_WAIT_DATA();
	}
	CLEAR_LCD_E;
	SET_LCD_WRITE;
	LCD_OP_PORT = 0xff;
	SREG = sreg;
}

/*-----------------------------------------------------------------------
write_LCD : 向一片写指令（cd为CMD）或显示数据（cd为DATA）
-----------------------------------------------------------------------*/
void write_LCD(unsigned char block, unsigned char cd, unsigned char data)
{
	unsigned char sreg = SREG;
	CLI();
	LCD_BUSY(block);
	if (cd == CMD)
		SET_LCD_CMD;
	else
		SET_LCD_DATA;
	SET_LCD_WRITE;
	LCD_WAIT(140);
	SET_LCD_E;
	LCD_DIR_PORT = 0xff;
	LCD_OP_PORT = data;
	delay_nus(4);
	NOP(); NOP(); NOP(); NOP(); NOP(); NOP(); NOP(); NOP();  //E高电平至少450ns
	CLEAR_LCD_E;                        //下降沿锁存
	LCD_OP_PORT = 0xff;
	SREG = sreg;
}

//一次读显示数据的总线周期
static unsigned char read_cycle(unsigned char block)
{
	unsigned char data;
	LCD_BUSY(block);
	SET_LCD_DATA;
	LCD_DIR_PORT = 0x00;
	LCD_OP_PORT = 0xff;
	SET_LCD_READ;
	LCD_WAIT(140);
	SET_LCD_E;
	LCD_WAIT_DATA();
	data = LCD_IP_PORT;
	CLEAR_LCD_E;
	SET_LCD_WRITE;
	return data;
}

/*-----------------------------------------------------------------------
read_LCD : 读当前地址的显示数据（先空读一次），读后列地址已前进，
           写回前须重新设置列地址
-----------------------------------------------------------------------*/
unsigned char read_LCD(unsigned char block)
{
	unsigned char sreg = SREG, data;
	CLI();
	read_cycle(block);                  //空读
	data = read_cycle(block);
	LCD_OP_PORT = 0xff;
	LCD_DIR_PORT = 0xff;
	SREG = sreg;
	return data;
}

//显示起始行（0-63）、页（0-7）、列（0-63）
void set_start_line(unsigned char block, unsigned char line) { write_LCD(block, CMD, 0xc0 | line); }
void set_page(unsigned char block, unsigned char page) { write_LCD(block, CMD, 0xb8 | page); }
void set_col_addr(unsigned char block, unsigned char col) { write_LCD(block, CMD, 0x40 | col); }

/*-----------------------------------------------------------------------
LCD_Init : 初始化接口，复位并打开显示
-----------------------------------------------------------------------*/
void LCD_Init(void)
{
	unsigned char block;
	LCD_DIR_PORT = 0xff;
	LCD_OP_PORT = 0xff;
	LCD_EN_DDR |= LCD_EN_BIT;
	LCD_DI_DDR |= LCD_DI_BIT;
	LCD_CS1_DDR |= LCD_CS1_BIT;
	LCD_CS2_DDR |= LCD_CS2_BIT;
	LCD_CS3_DDR |= LCD_CS3_BIT;
	LCD_CS4_DDR |= LCD_CS4_BIT;
	LCD_RW_DDR |= LCD_RW_BIT;
	SET_LCD_CS1;
	SET_LCD_CS2;
	SET_LCD_CS3;
	SET_LCD_CS4;
	CLEAR_LCD_E;
	SET_LCD_WRITE;
	LCD_reset();
	for (block = BLOCK1; block <= BLOCK4; block++)
	{
		set_start_line(block, 0);
		write_LCD(block, CMD, DISPLAY_ON);
	}
}

/*-----------------------------------------------------------------------
LCD_clr : 清屏
-----------------------------------------------------------------------*/
void LCD_clr(void)
{
	unsigned char page, col, block;
	for (page = 0; page < 8; page++)
	{
		for (block = BLOCK1; block <= BLOCK4; block++)
		{
			set_page(block, page);
			set_col_addr(block, 0);
			for (col = 0; col < 64; col++)   //写后列地址自动加1
				write_LCD(block, DATA, 0x00);
		}
	}
}

typedef struct
{
	unsigned char code;
	unsigned char msk[16];
} ASC_FONT;

typedef struct
{
	unsigned char code[2];
	unsigned char msk[24];
} GB_FONT;

/* font:ks0108 begin: written by scripts/lcd_fonts.py */
//8x16点阵ASCII字符（每字16字节：上8行8列，下8行8列，低位在上），取自GNU Unifont
LCD_ROM ASC_FONT ASC_16[] = {
   {'1', {
      0x00,0x00,0x04,0x02,0xFF,0x00,0x00,0x00,
      0x00,0x00,0x02,0x02,0x03,0x02,0x02,0x00
   }},
   {'2', {
      0x00,0x86,0x41,0x21,0x11,0x11,0x0E,0x00,
      0x00,0x03,0x02,0x02,0x02,0x02,0x02,0x00
   }},
   {'3', {
      0x00,0x86,0x01,0x11,0x11,0x11,0xEE,0x00,
      0x00,0x01,0x02,0x02,0x02,0x02,0x01,0x00
   }},
   {'4', {
      0x00,0x70,0x48,0x44,0x42,0xFF,0x40,0x00,
      0x00,0x00,0x00,0x00,0x00,0x03,0x00,0x00
   }},
   {'5', {
      0x00,0x1F,0x11,0x11,0x11,0x11,0xE1,0x00,
      0x00,0x01,0x02,0x02,0x02,0x02,0x01,0x00
   }},
   {'6', {
      0x00,0xFC,0x12,0x11,0x11,0x11,0xE0,0x00,
      0x00,0x01,0x02,0x02,0x02,0x02,0x01,0x00
   }},
   {'7', {
      0x00,0x01,0x01,0x01,0xC1,0x39,0x07,0x00,
      0x00,0x00,0x00,0x00,0x03,0x00,0x00,0x00
   }},
   {'8', {
      0x00,0xEE,0x11,0x11,0x11,0x11,0xEE,0x00,
      0x00,0x01,0x02,0x02,0x02,0x02,0x01,0x00
   }},
   {'9', {
      0x00,0x0E,0x11,0x11,0x11,0x11,0xFE,0x00,
      0x00,0x00,0x02,0x02,0x02,0x01,0x00,0x00
   }},
   {'0', {
      0x00,0xFC,0x42,0x21,0x11,0x0A,0xFC,0x00,
      0x00,0x00,0x01,0x02,0x02,0x01,0x00,0x00
   }},
   {'.', {
      0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
      0x00,0x00,0x00,0x03,0x03,0x00,0x00,0x00
   }},
   {',', {
      0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
      0x00,0x00,0x00,0x09,0x07,0x00,0x00,0x00
   }},
   {':', {
      0x00,0x00,0x00,0x8C,0x8C,0x00,0x00,0x00,
      0x00,0x00,0x00,0x01,0x01,0x00,0x00,0x00
   }},
   {';', {
      0x00,0x00,0x00,0x8C,0x8C,0x00,0x00,0x00,
      0x00,0x00,0x00,0x04,0x03,0x00,0x00,0x00
   }},
   {'-', {
      0x00,0x00,0x20,0x20,0x20,0x20,0x00,0x00,
      0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00
   }},
   {'_', {
      0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
      0x00,0x04,0x04,0x04,0x04,0x04,0x04,0x04
   }},
   {'A', {
      0x00,0xF8,0x26,0x21,0x21,0x26,0xF8,0x00,
      0x00,0x03,0x00,0x00,0x00,0x00,0x03,0x00
   }},
   {'B', {
      0x00,0xFF,0x11,0x11,0x11,0x11,0xEE,0x00,
      0x00,0x03,0x02,0x02,0x02,0x02,0x01,0x00
   }},
   {'C', {
      0x00,0xFE,0x01,0x01,0x01,0x01,0x86,0x00,
      0x00,0x01,0x02,0x02,0x02,0x02,0x01,0x00
   }},
   {'D', {
      0x00,0xFF,0x01,0x01,0x01,0x02,0xFC,0x00,
      0x00,0x03,0x02,0x02,0x02,0x01,0x00,0x00
   }},
   {'E', {
      0x00,0xFF,0x11,0x11,0x11,0x11,0x01,0x00,
      0x00,0x03,0x02,0x02,0x02,0x02,0x02,0x00
   }},
   {'F', {
      0x00,0xFF,0x11,0x11,0x11,0x11,0x01,0x00,
      0x00,0x03,0x00,0x00,0x00,0x00,0x00,0x00
   }},
   {' ', {
      0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,
      0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00
   }},
   {'=', {
      0x00,0x88,0x88,0x88,0x88,0x88,0x88,0x00,
      0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00
   }},
   {'(', {
      0x00,0x00,0x00,0xFC,0x03,0x00,0x00,0x00,
      0x00,0x00,0x00,0x00,0x03,0x04,0x00,0x00
   }},
   {')', {
      0x00,0x00,0x00,0x03,0xFC,0x00,0x00,0x00,
      0x00,0x00,0x04,0x03,0x00,0x00,0x00,0x00
   }},
   {'V', {
      0x00,0x07,0x38,0xC0,0x00,0xC0,0x38,0x07,
      0x00,0x00,0x00,0x00,0x03,0x00,0x00,0x00
   }},
   {'m', {
      0x00,0xFC,0x04,0x04,0xF8,0x04,0x04,0xF8,
      0x00,0x03,0x00,0x00,0x03,0x00,0x00,0x03
   }},
   {'H', {
      0x00,0xFF,0x10,0x10,0x10,0x10,0xFF,0x00,
      0x00,0x03,0x00,0x00,0x00,0x00,0x03,0x00
   }},
   {'*', {
      0x00,0x88,0x50,0x20,0xFC,0x20,0x50,0x88,
      0x00,0x00,0x00,0x00,0x01,0x00,0x00,0x00
   }}
};

//12x16点阵汉字（每字24字节：上8行12列，下8行12列，低位在上），取自文泉驿点阵宋体
LCD_ROM GB_FONT GB_16[] = {
   {"\xD2\xBA", {   // 液
      0x84,0x89,0x62,0x58,0x22,0xF2,0x4E,0xB3,0x2E,0xCA,0x3A,0x00,
      0x00,0x07,0x00,0x00,0x00,0x07,0x04,0x02,0x01,0x02,0x04,0x00
   }},
   {"\xBE\xA7", {   // 晶
      0xC0,0x40,0x5F,0x55,0xD5,0x15,0xD5,0x55,0x5F,0x40,0xC0,0x00,
      0x07,0x05,0x05,0x05,0x07,0x00,0x07,0x05,0x05,0x05,0x07,0x00
   }},
   {"\xCF\xD4", {   // 显
      0x00,0x40,0x9F,0x15,0xF5,0x15,0xF5,0x15,0x1F,0xC0,0x00,0x00,
      0x04,0x04,0x05,0x04,0x07,0x04,0x07,0x04,0x05,0x04,0x04,0x00
   }},
   {"\xCA\xBE", {   // 示
      0x10,0x12,0xD2,0x12,0x12,0xF2,0x12,0x12,0x52,0x92,0x10,0x00,
      0x02,0x01,0x00,0x00,0x04,0x07,0x00,0x00,0x00,0x00,0x03,0x00
   }},
   {"\xB5\xC4", {   // 的
      0x00,0xFC,0x26,0x25,0xFC,0x08,0x24,0xC7,0x04,0x04,0xFC,0x00,
      0x00,0x07,0x02,0x02,0x07,0x00,0x00,0x00,0x04,0x04,0x03,0x00
   }},
   {"\xB5\xDA", {   // 第
      0x08,0xE7,0xAA,0xAE,0xAA,0xFC,0xAB,0xAA,0xAE,0xBA,0x82,0x00,
      0x04,0x04,0x02,0x01,0x00,0x07,0x00,0x00,0x02,0x02,0x01,0x00
   }},
   {"\xD2\xBB", {   // 一
      0x20,0x20,0x20,0x20,0x20,0x20,0x20,0x20,0x20,0x30,0x20,0x00,
      0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00
   }},
   {"\xB6\xFE", {   // 二
      0x00,0x04,0x04,0x04,0x04,0x04,0x04,0x04,0x04,0x04,0x00,0x00,
      0x02,0x02,0x02,0x02,0x02,0x02,0x02,0x02,0x02,0x02,0x02,0x00
   }},
   {"\xC8\xFD", {   // 三
      0x00,0x02,0x22,0x22,0x22,0x22,0x22,0x22,0x22,0x02,0x00,0x00,
      0x04,0x04,0x04,0x04,0x04,0x04,0x04,0x04,0x04,0x04,0x04,0x00
   }},
   {"\xCB\xC4", {   // 四
      0x00,0xFE,0x82,0x42,0x3E,0x02,0x7E,0x42,0x42,0xFE,0x00,0x00,
      0x00,0x07,0x02,0x02,0x02,0x02,0x02,0x02,0x02,0x07,0x00,0x00
   }},
   {"\xCE\xE5", {   // 五
      0x00,0x02,0x22,0x22,0xE2,0x3E,0x22,0x22,0xE2,0x02,0x00,0x00,
      0x04,0x04,0x04,0x04,0x07,0x04,0x04,0x04,0x07,0x04,0x04,0x00
   }},
   {"\xD0\xD0", {   // 行
      0x44,0x22,0xF1,0x08,0x10,0x11,0x11,0x11,0xF1,0x11,0x10,0x00,
      0x00,0x00,0x07,0x00,0x00,0x00,0x04,0x04,0x07,0x00,0x00,0x00
   }}
};
/* font:ks0108 end */

#define ASC_CHR_WIDTH   8
#define ASC_CHR_HEIGHT  12
#define ASC_HZ_WIDTH    12
#define ASC_COUNT       (sizeof(ASC_16) / sizeof(ASC_16[0]))
#define GB_COUNT        (sizeof(GB_16) / sizeof(GB_16[0]))

unsigned char GetPage(void) { return CurPage; }
unsigned char GetCol(void) { return CurCol; }

/*-----------------------------------------------------------------------
SetPageCol : 设置页（0-7）和列（0-239）
-----------------------------------------------------------------------*/
void SetPageCol(unsigned char upage, unsigned char ucol)
{
	CurPage = upage;
	CurCol = ucol;
	if (ucol >= GUI_LCM_XMAX)
		return;
	set_page(BLOCK_OF(ucol), upage);
	set_col_addr(BLOCK_OF(ucol), COL_OF(ucol));
}

/*-----------------------------------------------------------------------
SetRowCol : 设置文字行（1-5，每行12点高）和列（0-239）
            第1-5行的顶端在第4、16、28、40、52点行
-----------------------------------------------------------------------*/
void SetRowCol(unsigned char urow, unsigned char ucol)
{
	static const unsigned char page[5] = {0, 1, 3, 4, 6};
	static const unsigned char offset[5] = {1, 2, 1, 2, 1};   //单位：半字节（4点）
	if (urow < 1)
		urow = 1;
	if (urow > 5)
		urow = 5;
	CurRow = urow;
	CurOffset = offset[urow - 1];
	CurCol = ucol;
	SetPageCol(page[urow - 1], ucol);
}

//把一列12点（bits低12位，低位在上）与屏上已有的点合并写到第x列
static void put_column(unsigned char x, unsigned int bits)
{
	unsigned char top = CurPage * 8 + CurOffset * 4;
	unsigned char shift = top & 7, p, block = BLOCK_OF(x), col = COL_OF(x);
	unsigned long value = (unsigned long)(bits & 0x0fff) << shift;
	unsigned long mask = 0x0fffUL << shift;
	for (p = 0; p < 3; p++)
	{
		unsigned char m = (unsigned char)(mask >> (8 * p)), old;
		if (!m || top / 8 + p > 7)
			continue;
		write_LCD(block, CMD, 0xb8 | (top / 8 + p));
		write_LCD(block, CMD, 0x40 | col);
		old = read_LCD(block);
		write_LCD(block, CMD, 0x40 | col); //读后地址已前进
		write_LCD(block, DATA, (old & ~m) | ((unsigned char)(value >> (8 * p)) & m));
	}
}

/*-----------------------------------------------------------------------
disp_char : 在当前位置显示一个ASCII字符并右移列位置；
            字库中没有的字符不显示，只右移一个字宽
-----------------------------------------------------------------------*/
void disp_char(unsigned char c)
{
	unsigned char i, k, width = ASC_CHR_WIDTH;
	if (c == '-' || c == ':')
		width = 6;
	else if (c == '|')
		width = 4;
	for (i = 0; i < ASC_COUNT; i++)
	{
		if (ASC_16[i].code != c)
			continue;
		for (k = 0; k < width && CurCol + k < GUI_LCM_XMAX; k++)
			put_column(CurCol + k, ASC_16[i].msk[k] | ((unsigned int)ASC_16[i].msk[8 + k] << 8));
		break;
	}
	CurCol = CurCol + width > GUI_LCM_XMAX ? GUI_LCM_XMAX : CurCol + width;
}

/*-----------------------------------------------------------------------
disp_hz : 在当前位置显示一个GB2312汉字（两字节）并右移12列；
          字库中没有的汉字不显示，只右移12列
-----------------------------------------------------------------------*/
void disp_hz(unsigned char *hz)
{
	unsigned char i, k;
	for (i = 0; i < GB_COUNT; i++)
	{
		if (GB_16[i].code[0] != hz[0] || GB_16[i].code[1] != hz[1])
			continue;
		for (k = 0; k < ASC_HZ_WIDTH && CurCol + k < GUI_LCM_XMAX; k++)
			put_column(CurCol + k, GB_16[i].msk[k] | ((unsigned int)GB_16[i].msk[12 + k] << 8));
		break;
	}
	CurCol = CurCol + ASC_HZ_WIDTH > GUI_LCM_XMAX ? GUI_LCM_XMAX : CurCol + ASC_HZ_WIDTH;
}

/*-----------------------------------------------------------------------
disp_str : 显示以0结尾的字符串，ASCII与汉字混排
-----------------------------------------------------------------------*/
void disp_str(unsigned char *p)
{
	while (*p)
	{
		if (*p < 128)
		{
			disp_char(*p++);
		}
		else
		{
			if (!p[1])
				break;                  //残缺的汉字
			disp_hz(p);
			p += 2;
		}
	}
}

/*-----------------------------------------------------------------------
GUI_Point : 画点（flag为1）或清点（flag为0），xx为0-239，yy为0-63
-----------------------------------------------------------------------*/
void GUI_Point(unsigned char xx, unsigned char yy, unsigned char flag)
{
	unsigned char block, col, old, bit;
	if (xx >= GUI_LCM_XMAX || yy >= 64)
		return;
	block = BLOCK_OF(xx);
	col = COL_OF(xx);
	bit = 1 << (yy & 7);
	write_LCD(block, CMD, 0xb8 | (yy >> 3));
	write_LCD(block, CMD, 0x40 | col);
	old = read_LCD(block);
	write_LCD(block, CMD, 0x40 | col);
	write_LCD(block, DATA, flag ? (old | bit) : (old & ~bit));
}

/*-----------------------------------------------------------------------
GUI_ReadPoint : 读点，*ret为1（亮）或0；点在屏外时返回0，否则返回1
                （图形库的填充函数用它判断边界）
-----------------------------------------------------------------------*/
unsigned char GUI_ReadPoint(unsigned int x, unsigned char y, TCOLOR *ret)
{
	unsigned char block, col;
	if (x >= GUI_LCM_XMAX || y >= 64)
		return 0;
	block = BLOCK_OF(x);
	col = COL_OF(x);
	write_LCD(block, CMD, 0xb8 | (y >> 3));
	write_LCD(block, CMD, 0x40 | col);
	*ret = (read_LCD(block) >> (y & 7)) & 1;
	return 1;
}
