#include <macros.h>
#include "lcd.h"
#include "delay.h"

/*-----------------------------------------------------------------------
HD44780兼容字符液晶驱动：4位总线接数据口的高4位（D4-D7）。
R/W接MCU并保持低电平（写），每次操作前按最长执行时间等待。
等待用本文件自己的循环，按最高晶振16MHz计算，较低的晶振只会等得更久，
不受编译器优化的影响。
-----------------------------------------------------------------------*/
$geometry$

//HD44780指令
#define CMD_CLEAR        0x01   //清屏，地址归零（最长1.52ms）
#define CMD_ENTRY_INC    0x06   //写入后地址加1，显示不移动
#define CMD_DISPLAY_ON   0x0C   //显示开，光标关
#define CMD_DISPLAY_OFF  0x08
#define CMD_FUNC_4BIT    0x28   //4位总线，2行，5x8点
#define CMD_SET_DDRAM    0x80   //设置显示地址


static unsigned char lcd_second;   //1：操作第二个控制器（E2）

//至少等待us微秒：每次循环不少于10个时钟周期，16MHz时为0.625us
static void lcd_delay_us(unsigned int us)
{
	volatile unsigned int n = us * 2;
	while (n)
		n--;
}

//至少等待ms毫秒
static void lcd_delay_ms(unsigned char ms)
{
	while (ms--)
		lcd_delay_us(1000);
}

//使能脉冲：E高电平至少450ns，下降沿锁存
void LCD16xx_en_write(void)
{
#ifdef LCD_E2
	if (lcd_second)
	{
		E2_H;
		NOP(); NOP(); NOP(); NOP(); NOP(); NOP(); NOP(); NOP();
		E2_L;
		return;
	}
#endif
	E_H;
	NOP(); NOP(); NOP(); NOP(); NOP(); NOP(); NOP(); NOP();
	E_L;
}

//把高4位送到D4-D7并锁存
static void LCD16xx_nibble(unsigned char nibble)
{
	LCD_DATA_PORT = (LCD_DATA_PORT & ~LCD_DATA) | (nibble & LCD_DATA);
	LCD16xx_en_write();
}

/*-----------------------------------------------------------------------
LCD16xx_wait_Ready : 等待上一条指令执行完毕。按数据手册的最长执行时间定时
等待（一般指令37us，清屏和归位1.52ms），不读忙标志，R/W保持写状态。
-----------------------------------------------------------------------*/
static unsigned char lcd_long_wait;   //上一条指令是清屏或归位

void LCD16xx_wait_Ready(void)
{
	if (lcd_long_wait)
		lcd_delay_us(1600);
	else
		lcd_delay_us(40);
	lcd_long_wait = 0;
}

/*-----------------------------------------------------------------------
LCD16xx_write_char : 写指令或数据
输入参数：command 不为0时把command作为指令写入；
          为0时把data作为显示数据写入当前地址
-----------------------------------------------------------------------*/
void LCD16xx_write_char(unsigned char command, unsigned char data)
{
	unsigned char value = command ? command : data;
	LCD16xx_wait_Ready();
	if (command)
		RS_L;
	else
		RS_H;
	RW_L;
	LCD16xx_nibble(value);
	LCD16xx_nibble(value << 4);
	lcd_long_wait = command == CMD_CLEAR || command == 0x02;
}

//按数据手册的“指令初始化”把控制器设为4位总线
static void LCD16xx_init_one(void)
{
	RS_L;
	RW_L;
	LCD16xx_nibble(0x30);
	lcd_delay_ms(5);                    //至少4.1ms
	LCD16xx_nibble(0x30);
	lcd_delay_us(100);                  //至少100us
	LCD16xx_nibble(0x30);
	lcd_delay_us(100);
	LCD16xx_nibble(0x20);               //从此为4位总线
	lcd_delay_us(100);
	LCD16xx_write_char(CMD_FUNC_4BIT, 0);
	LCD16xx_write_char(CMD_DISPLAY_OFF, 0);
	LCD16xx_write_char(CMD_CLEAR, 0);
	LCD16xx_write_char(CMD_ENTRY_INC, 0);
	LCD16xx_write_char(CMD_DISPLAY_ON, 0);
}

/*-----------------------------------------------------------------------
LCD16xx_init : 初始化接口和液晶（上电后调用一次）
-----------------------------------------------------------------------*/
void LCD16xx_init(void)
{
	LCD_DATA_DDR |= LCD_DATA;
	LCD_EN_DDR |= LCD_EN;
	LCD_RW_DDR |= LCD_RW;
	LCD_RS_DDR |= LCD_RS;
	E_L;
	lcd_delay_ms(50);                   //电源升到4.5V后至少15ms（2.7V时40ms）
	lcd_second = 0;
	LCD16xx_init_one();
#ifdef LCD_E2
	LCD_E2_DDR |= LCD_E2;
	E2_L;
	lcd_second = 1;
	LCD16xx_init_one();
	lcd_second = 0;
#endif
}

/*-----------------------------------------------------------------------
LCD16xx_clr : 清除全部显示，写入位置回到第0行第0列
-----------------------------------------------------------------------*/
void LCD16xx_clr(void)
{
	lcd_second = 0;
	LCD16xx_write_char(CMD_CLEAR, 0);
#ifdef LCD_E2
	lcd_second = 1;
	LCD16xx_write_char(CMD_CLEAR, 0);
	lcd_second = 0;
#endif
}

/*-----------------------------------------------------------------------
LCD16xx_set_xy : 设置写入位置，x为列（0起），y为行（0起，超出的行取最后一行）
-----------------------------------------------------------------------*/
void LCD16xx_set_xy(unsigned char x, unsigned char y)
{
	if (y >= LCD_ROWS)
		y = LCD_ROWS - 1;
	if (x >= LCD_COLS)
		x = LCD_COLS - 1;
#ifdef LCD_E2
	lcd_second = y >= 2;                //第3、4行在第二个控制器上
#endif
	LCD16xx_write_char(CMD_SET_DDRAM | (lcd_row_addr(y) + x), 0);
}

/*-----------------------------------------------------------------------
LCD16xx_write_string : 从第X列第Y行起显示字符串，到行尾为止
-----------------------------------------------------------------------*/
void LCD16xx_write_string(unsigned char X, unsigned char Y, unsigned char *s)
{
	LCD16xx_set_xy(X, Y);
	while (*s && X < LCD_COLS)
	{
		LCD16xx_write_char(0, *s++);
		X++;
	}
}
