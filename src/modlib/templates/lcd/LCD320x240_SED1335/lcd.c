#include <macros.h>
#include "lcd.h"
#include "delay.h"

/*-----------------------------------------------------------------------
SED1335 320x240点阵液晶驱动（8080时序：/CS、/RD、/WR低电平有效）
A0高写命令，A0低写参数/数据；A0低读状态，A0高读显示数据。
显示存储器分两层，按OR方式叠加：
  第一层 文本：从0x0000开始，每行40个字符，共30行（字符由内部CGROM给出）
  第二层 图形：从0x0800开始，每行40字节，共240行，字节高位在左
-----------------------------------------------------------------------*/

#define LCD_COLS            40                      //每行字节数（文本字符数）
#define LCD_ROWS            30                      //文本行数
#define LCD_WIDTH           320                     //每行点数
#define LCD_LINES           240                     //点行数
#define LCD_TEXT_HOME       0x0000
#define LCD_GRAPH_HOME      0x0800
#define LCD_DISP_LAYERS     0x14                    //第一、二层显示，不闪
//TC/R：每行的总字节时间，按液晶振荡频率XTAL和约70Hz帧频计算，不小于C/R+4
#define LCD_TCR_CALC        (XTAL / 9 / LCD_LINES / 70)
#define LCD_TCR             (LCD_TCR_CALC > LCD_COLS + 3 ? LCD_TCR_CALC : LCD_COLS + 3)

//控制线全部为高（不选中），先置高再设为输出，免得出现毛刺
static void LCD_PortInit(void)
{
	CS_H;
	RD_H;
	WR_H;
	A0_H;
	RES_H;
	LCD_CS_DDR |= LCD_CS_BIT;
	LCD_A0_DDR |= LCD_A0_BIT;
	LCD_RD_DDR |= LCD_RD_BIT;
	LCD_WR_DDR |= LCD_WR_BIT;
	LCD_RES_DDR |= LCD_RES_BIT;
	DATAINIT;
}

static void LCDWriteByte(unsigned char byte)
{
	DATAOUT = byte;
	CS_L;
	WR_L;
	NOP();
	WR_H;                               //上升沿锁存
	CS_H;
}

/*-----------------------------------------------------------------------
LCDWriteCmd : 写命令字
-----------------------------------------------------------------------*/
void LCDWriteCmd(unsigned char byte)
{
	A0_H;
	LCDWriteByte(byte);
}

/*-----------------------------------------------------------------------
LCDWriteData : 写参数或显示数据
-----------------------------------------------------------------------*/
void LCDWriteData(unsigned char byte)
{
	A0_L;
	LCDWriteByte(byte);
}

/*-----------------------------------------------------------------------
LCDReadData : 读显示数据（先发MREAD），光标按方向移动
-----------------------------------------------------------------------*/
unsigned char LCDReadData(void)
{
	unsigned char byte;
	DATABUS = 0x00;                     //数据口输入，上拉
	DATAOUT = 0xFF;
	A0_H;
	CS_L;
	RD_L;
	NOP(); NOP(); NOP();                //读出数据的延迟与端口同步
	byte = DATAIN;
	RD_H;
	CS_H;
	DATAINIT;
	return byte;
}

//光标（读写地址）设置
static void LCDSetAddr(unsigned int addr)
{
	LCDWriteCmd(CSRW);
	LCDWriteData((unsigned char)(addr & 0xFF));
	LCDWriteData((unsigned char)(addr >> 8));
}

/*-----------------------------------------------------------------------
LCD_Init : 复位，SYSTEM SET、SCROLL、HDOT SCR、OVLAY、DISP ON，清两层
-----------------------------------------------------------------------*/
void LCD_Init(void)
{
	LCD_PortInit();
	RES_L;
	delay_nms(2);
	RES_H;
	delay_nms(5);                       //等振荡器稳定

	LCDWriteCmd(SYSTEM_SET);
	LCDWriteData(0x30);                 //P1：内部CGROM，8点高字符，单屏
	LCDWriteData(0x87);                 //P2：FX=8点，WF=1
	LCDWriteData(0x07);                 //P3：FY=8行
	LCDWriteData(LCD_COLS - 1);         //P4：C/R
	LCDWriteData(LCD_TCR);              //P5：TC/R
	LCDWriteData(LCD_LINES - 1);        //P6：L/F
	LCDWriteData(LCD_COLS);             //P7、P8：AP，每行地址数
	LCDWriteData(0x00);

	LCDWriteCmd(SCROLL);
	LCDWriteData((unsigned char)(LCD_TEXT_HOME & 0xFF));    //SAD1
	LCDWriteData((unsigned char)(LCD_TEXT_HOME >> 8));
	LCDWriteData(LCD_LINES - 1);                            //SL1
	LCDWriteData((unsigned char)(LCD_GRAPH_HOME & 0xFF));   //SAD2
	LCDWriteData((unsigned char)(LCD_GRAPH_HOME >> 8));
	LCDWriteData(LCD_LINES - 1);                            //SL2

	LCDWriteCmd(HDOT_SCR);
	LCDWriteData(0x00);                 //不水平滚动

	LCDWriteCmd(OVLAY);
	LCDWriteData(0x00);                 //两层，第一层文本，OR叠加

	LCDWriteCmd(CSRFORM);
	LCDWriteData(0x07);                 //光标宽8点
	LCDWriteData(0x87);                 //块状光标，高8行

	LCDWriteCmd(CSRDIR1);               //光标右移

	LCDWriteCmd(DISP_ON);
	LCDWriteData(LCD_DISP_LAYERS);      //光标关
	ClrSCR();
	GClrSCR();
}

/*-----------------------------------------------------------------------
ClrSCR : 文本层全部写空格
-----------------------------------------------------------------------*/
void ClrSCR(void)
{
	unsigned int i;
	LCDSetAddr(LCD_TEXT_HOME);
	LCDWriteCmd(MWRITE);
	for (i = 0; i < LCD_COLS * LCD_ROWS; i++)
		LCDWriteData(' ');
}

/*-----------------------------------------------------------------------
GotoXY : 文本光标移到第x列、第y行
-----------------------------------------------------------------------*/
void GotoXY(unsigned char x, unsigned char y)
{
	LCDSetAddr(LCD_TEXT_HOME + (unsigned int)y * LCD_COLS + x);
}

/*-----------------------------------------------------------------------
LCDWriteString : 从文本地址addr_h*256+addr_l起写字符串
-----------------------------------------------------------------------*/
void LCDWriteString(unsigned char addr_l, unsigned char addr_h, char *ptr)
{
	LCDWriteConstString(addr_l, addr_h, ptr);
}

void LCDWriteConstString(unsigned char addr_l, unsigned char addr_h, const char *ptr)
{
	LCDWriteCmd(CSRW);
	LCDWriteData(addr_l);
	LCDWriteData(addr_h);
	LCDWriteCmd(MWRITE);
	while (*ptr)
		LCDWriteData(*ptr++);
}

/*-----------------------------------------------------------------------
Cursor : 文本光标 0关 1开 2闪烁（约2Hz） 3闪烁（约1Hz）
-----------------------------------------------------------------------*/
void Cursor(unsigned char cursor)
{
	LCDWriteCmd(DISP_ON);
	LCDWriteData(LCD_DISP_LAYERS | (cursor & 0x03));
}

//图形层：把地址addr的字节中mask选中的位改为value的对应位
static void GWriteBits(unsigned int addr, unsigned char mask, unsigned char value)
{
	unsigned char old;
	if (mask == 0xFF)
	{
		old = 0;
	}
	else
	{
		LCDSetAddr(addr);
		LCDWriteCmd(MREAD);
		old = LCDReadData();
	}
	LCDSetAddr(addr);
	LCDWriteCmd(MWRITE);
	LCDWriteData((old & ~mask) | (value & mask));
}

static unsigned int GAddr(int x, int y)
{
	return LCD_GRAPH_HOME + (unsigned int)y * LCD_COLS + ((unsigned int)x >> 3);
}

/*-----------------------------------------------------------------------
LCDDisplay_bmp : 在图形层(x,y)处显示宽8点、高length行的位图，每行一字节，
                 高位在左；x可以不是8的倍数
-----------------------------------------------------------------------*/
void LCDDisplay_bmp(int x, unsigned char y, unsigned char length, const unsigned char *dat)
{
	unsigned char i, shift = x & 0x07;
	for (i = 0; i < length; i++, y++)
	{
		if (x < 0 || x >= LCD_WIDTH || y >= LCD_LINES)
			continue;
		GWriteBits(GAddr(x, y), 0xFF >> shift, dat[i] >> shift);
		if (shift && x + 8 < LCD_WIDTH)
			GWriteBits(GAddr(x, y) + 1, 0xFF << (8 - shift), dat[i] << (8 - shift));
	}
}

/*-----------------------------------------------------------------------
GClrSCR : 图形层清零
-----------------------------------------------------------------------*/
void GClrSCR(void)
{
	unsigned int i;
	LCDSetAddr(LCD_GRAPH_HOME);
	LCDWriteCmd(MWRITE);
	for (i = 0; i < (unsigned int)LCD_COLS * LCD_LINES; i++)
		LCDWriteData(0x00);
}

//矩形区(x1,y1)-(x2,y2)全部置为stat（超出屏幕的部分不画）
static void GFillArea(int x1, int y1, int x2, int y2, unsigned char stat)
{
	int x, y;
	unsigned char mask;
	if (x1 > x2) { x = x1; x1 = x2; x2 = x; }
	if (y1 > y2) { y = y1; y1 = y2; y2 = y; }
	if (x1 < 0) x1 = 0;
	if (y1 < 0) y1 = 0;
	if (x2 >= LCD_WIDTH) x2 = LCD_WIDTH - 1;
	if (y2 >= LCD_LINES) y2 = LCD_LINES - 1;
	for (y = y1; y <= y2; y++)
	{
		for (x = x1 & ~0x07; x <= x2; x += 8)
		{
			mask = 0xFF;
			if (x < x1) mask &= 0xFF >> (x1 - x);
			if (x + 7 > x2) mask &= 0xFF << (x + 7 - x2);
			GWriteBits(GAddr(x, y), mask, stat ? 0xFF : 0x00);
		}
	}
}

void GClrPART(int x1, int y1, int x2, int y2)
{
	GFillArea(x1, y1, x2, y2, 0);
}

void GFullPART(int x1, int y1, int x2, int y2)
{
	GFillArea(x1, y1, x2, y2, 1);
}

/*-----------------------------------------------------------------------
GPix : 图形层画点，stat为1点亮、0熄灭
-----------------------------------------------------------------------*/
void GPix(int x, int y, unsigned char stat)
{
	unsigned char mask;
	if (x < 0 || y < 0 || x >= LCD_WIDTH || y >= LCD_LINES)
		return;
	mask = 0x80 >> (x & 0x07);
	GWriteBits(GAddr(x, y), mask, stat ? 0xFF : 0x00);
}

/*-----------------------------------------------------------------------
GBox : 矩形框，stat为1画出、0擦除
-----------------------------------------------------------------------*/
void GBox(int x1, int y1, int x2, int y2, int stat)
{
	GFillArea(x1, y1, x2, y1, stat);
	GFillArea(x1, y2, x2, y2, stat);
	GFillArea(x1, y1, x1, y2, stat);
	GFillArea(x2, y1, x2, y2, stat);
}

/*-----------------------------------------------------------------------
TextBox : 围住文本第y行、从第x列起length个字符的框，stat为1画出、0擦除
-----------------------------------------------------------------------*/
void TextBox(int x, int y, int length, int stat)
{
	GBox(x * 8 - 2, y * 8 - 2, (x + length) * 8 + 1, y * 8 + 9, stat);
}

/*-----------------------------------------------------------------------
GLine : 两点间画直线（Bresenham）
-----------------------------------------------------------------------*/
void GLine(int x1, int y1, int x2, int y2)
{
	int dx = x2 > x1 ? x2 - x1 : x1 - x2;
	int dy = y2 > y1 ? y1 - y2 : y2 - y1;
	int sx = x1 < x2 ? 1 : -1;
	int sy = y1 < y2 ? 1 : -1;
	int err = dx + dy, e2;
	for (;;)
	{
		GPix(x1, y1, 1);
		if (x1 == x2 && y1 == y2)
			break;
		e2 = 2 * err;
		if (e2 >= dy) { err += dy; x1 += sx; }
		if (e2 <= dx) { err += dx; y1 += sy; }
	}
}

#ifdef GUI_LCM_XMAX
/*-----------------------------------------------------------------------
GUI_Point : 画点，color为1点亮、0熄灭；点在屏外返回0，否则返回1
-----------------------------------------------------------------------*/
unsigned char GUI_Point(unsigned int x, unsigned char y, unsigned char color)
{
	if (x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX)
		return 0;
	GPix((int)x, y, color & 0x01);
	return 1;
}

/*-----------------------------------------------------------------------
GUI_ReadPoint : 读点(x,y)的颜色到*ret；点在屏外返回0，否则返回1
-----------------------------------------------------------------------*/
unsigned char GUI_ReadPoint(unsigned int x, unsigned char y, TCOLOR *ret)
{
	if (x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX)
		return 0;
	LCDSetAddr(GAddr((int)x, y));
	LCDWriteCmd(MREAD);
	*ret = (LCDReadData() >> (7 - (x & 0x07))) & 0x01;
	return 1;
}
#endif
