#include <macros.h>
#include "lcd.h"
#include "delay.h"

/*-----------------------------------------------------------------------
T6963C点阵液晶驱动（只用图形区，8点字宽FS1=0）
C/D高：写命令、读状态；C/D低：写数据、读数据。/CE与/WR同为低时写，
/WR上升沿锁存；/CE与/RD同为低时控制器输出。
命令的参数先作为数据写入（低字节在前），再写命令字。
每写一个命令或数据前读状态：STA0（可执行命令）与STA1（可读写数据）都为1；
自动写期间改查STA3（可自动写），此时STA0、STA1无效。
图形区从地址0开始，每行GUI_LCM_XMAX/8字节，字节高位在左。
-----------------------------------------------------------------------*/

#define LCD_BYTES_PER_ROW   (GUI_LCM_XMAX / 8)
#define LCD_GRH_HOME        0x0000
#define LCD_TXT_HOME        0x0800                  //文本区放在图形区之后（文本显示关闭）
#define STATUS_TRIES        1000                    //显示器不应答时不死等

//读出数据的延迟最长150ns：按工程的晶振换算成空操作，输入同步器提前半个周期
//采样，另留一个周期的余量
#define LCD_XTAL_HZ         $crystal_hz$UL
#define LCD_CYCLES(ns)      ((LCD_XTAL_HZ / 1000UL * (ns) + 999999UL) / 1000000UL + 1)
#define LCD_NOP_IF(ns, n)   if (LCD_CYCLES(ns) > (n)) NOP()
#define LCD_WAIT_DATA()     do { NOP(); LCD_NOP_IF(150, 0); LCD_NOP_IF(150, 1); LCD_NOP_IF(150, 2); \
                                 LCD_NOP_IF(150, 3); LCD_NOP_IF(150, 4); } while (0)

#define STA_CMD_DATA        0x03                    //STA0|STA1
#define STA_AUTO_WR         0x08                    //STA3

//每点在字节中的位号：最左一点是D7（位操作命令的D0-D2）
const unsigned char turnf[8] = {7, 6, 5, 4, 3, 2, 1, 0};

//控制线全部为高（不选中），数据口输出；先置高再设为输出，免得出现毛刺
static void LCD_PortInit(void)
{
	CS_H;
	RD_H;
	WR_H;
	CD_H;
	RES_H;
	LCD_CE_DDR |= LCD_CE_BIT;
	LCD_CD_DDR |= LCD_CD_BIT;
	LCD_RD_DDR |= LCD_RD_BIT;
	LCD_WR_DDR |= LCD_WR_BIT;
	LCD_RES_DDR |= LCD_RES_BIT;
	DATAINIT;
}

/*-----------------------------------------------------------------------
LCD_WaitStatus : 读状态字直到mask中的位都为1；超时返回0
-----------------------------------------------------------------------*/
static unsigned char LCD_WaitStatus(unsigned char mask)
{
	unsigned int tries = STATUS_TRIES;
	unsigned char stat;
	DATABUS = 0x00;                     //数据口输入，上拉
	DATAOUT = 0xFF;
	CD_H;
	do
	{
		CS_L;
		RD_L;
		LCD_WAIT_DATA();                //读出数据的延迟（最长150ns）与端口同步
		stat = DATAIN;
		RD_H;
		CS_H;
	} while (((stat & mask) != mask) && --tries);
	DATAINIT;
	return tries != 0;
}

//写一个字节：cd为1写命令，为0写数据
static void LCD_WriteByte(unsigned char cd, unsigned char dat)
{
	if (cd)
		CD_H;
	else
		CD_L;
	DATAOUT = dat;
	CS_L;
	WR_L;
	NOP();
	WR_H;                               //上升沿锁存
	CS_H;
}

static void LCD_WriteCmd(unsigned char cmd)
{
	LCD_WaitStatus(STA_CMD_DATA);
	LCD_WriteByte(1, cmd);
}

static void LCD_WriteData(unsigned char dat)
{
	LCD_WaitStatus(STA_CMD_DATA);
	LCD_WriteByte(0, dat);
}

//带两个参数的命令（低字节在前）
static void LCD_WriteCmd2(unsigned char cmd, unsigned int para)
{
	LCD_WriteData((unsigned char)(para & 0xFF));
	LCD_WriteData((unsigned char)(para >> 8));
	LCD_WriteCmd(cmd);
}

static unsigned char LCD_ReadData(void)
{
	unsigned char dat;
	LCD_WaitStatus(STA_CMD_DATA);
	DATABUS = 0x00;
	DATAOUT = 0xFF;
	CD_L;
	CS_L;
	RD_L;
	LCD_WAIT_DATA();
	dat = DATAIN;
	RD_H;
	CS_H;
	DATAINIT;
	return dat;
}

/*-----------------------------------------------------------------------
LCD_Init : 复位，设置图形区和文本区，只开图形显示，清屏
-----------------------------------------------------------------------*/
void  LCD_Init(void)
{
	LCD_PortInit();
	RES_L;
	delay_nus(50);
	RES_H;
	delay_nus(50);

	LCD_WriteCmd2(LC_GRH_STP, LCD_GRH_HOME);
	LCD_WriteCmd2(LC_GRH_WID, LCD_BYTES_PER_ROW);
	LCD_WriteCmd2(LC_TXT_STP, LCD_TXT_HOME);
	LCD_WriteCmd2(LC_TXT_WID, LCD_BYTES_PER_ROW);
	LCD_WriteCmd(LC_MOD_OR);
	LCD_WriteCmd(LC_DIS_SW | 0x08);     //图形开，文本、光标关
	GUI_ClearSCR();
}

/*-----------------------------------------------------------------------
GUI_FillSCR : 整屏填充颜色dat（1点亮，0熄灭），用自动写
-----------------------------------------------------------------------*/
void  GUI_FillSCR(TCOLOR dat)
{
	unsigned int i;
	unsigned char fill = (dat & 0x01) ? 0xFF : 0x00;
	LCD_WriteCmd2(LC_ADD_POS, LCD_GRH_HOME);
	LCD_WriteCmd(LC_AUT_WR);
	for (i = 0; i < (unsigned int)LCD_BYTES_PER_ROW * GUI_LCM_YMAX; i++)
	{
		LCD_WaitStatus(STA_AUTO_WR);
		LCD_WriteByte(0, fill);
	}
	LCD_WaitStatus(STA_AUTO_WR);
	LCD_WriteByte(1, LC_AUT_OVR);       //退出自动写
}

void  GUI_ClearSCR(void)
{
	GUI_FillSCR(0);
}

//点(x,y)所在字节的地址
static unsigned int LCD_PointAddr(unsigned int x, unsigned char y)
{
	return LCD_GRH_HOME + (unsigned int)y * LCD_BYTES_PER_ROW + (x >> 3);
}

/*-----------------------------------------------------------------------
GUI_Point : 画点，color为1点亮、0熄灭；点在屏外返回0，否则返回1
-----------------------------------------------------------------------*/
unsigned char GUI_Point(unsigned int x, unsigned char y, unsigned char color)
{
	if (x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX)
		return 0;
	LCD_WriteCmd2(LC_ADD_POS, LCD_PointAddr(x, y));
	LCD_WriteCmd(LC_BIT_OP | ((color & 0x01) << 3) | turnf[x & 0x07]);
	return 1;
}

/*-----------------------------------------------------------------------
GUI_ReadPoint : 读点(x,y)的颜色到*ret；点在屏外返回0，否则返回1
-----------------------------------------------------------------------*/
unsigned char GUI_ReadPoint(unsigned int x, unsigned char y, TCOLOR *ret)
{
	unsigned char dat;
	if (x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX)
		return 0;
	LCD_WriteCmd2(LC_ADD_POS, LCD_PointAddr(x, y));
	LCD_WriteCmd(LC_NOC_RD);
	dat = LCD_ReadData();
	*ret = (dat >> turnf[x & 0x07]) & 0x01;
	return 1;
}
