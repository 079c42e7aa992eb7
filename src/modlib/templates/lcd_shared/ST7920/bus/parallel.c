/*-----------------------------------------------------------------------
8位并口（PSB高电平）：RS、R/W准备好后E置高，E下降沿锁存写入的数据；
读时E为高电平期间ST7920输出数据。每次写之前读忙标志（BF，状态字D7）。
-----------------------------------------------------------------------*/
#define BUSY_TRIES       2000   //显示器不应答时不死等

static void lcd_bus_init(void)
{
	LCD_EN_DDR |= LCD_EN_BIT;
	LCD_RW_DDR |= LCD_RW_BIT;
	LCD_RS_DDR |= LCD_RS_BIT;
	E_L;
	data_ddr = 0xFF;
	PSB_P;
}

//读一个字节：rs为0读状态字，为1读RAM
static unsigned char lcd_read(unsigned char rs)
{
	unsigned char d;
	data_ddr = 0x00;
	if (rs)
		RS_H;
	else
		RS_L;
	RW_H;
	E_H;
	NOP(); NOP(); NOP(); NOP();
	d = data_in;
	E_L;
	data_ddr = 0xFF;
	return d;
}

static void lcd_wait(void)
{
	unsigned int tries = BUSY_TRIES;
	while ((lcd_read(0) & 0x80) && --tries)
		;
}

//写一个字节：rs为0写指令，为1写数据
static void lcd_write(unsigned char rs, unsigned char d)
{
	lcd_wait();
	if (rs)
		RS_H;
	else
		RS_L;
	RW_L;
	data_out = d;
	E_H;
	NOP(); NOP(); NOP(); NOP();
	E_L;
}

//清屏：忙标志会一直等到清屏完成
static void lcd_wait_clear(void)
{
	lcd_wait();
}

//在已设好的GDRAM地址写一个16点字
static void lcd_pic_word(unsigned char y, unsigned char w, unsigned int bits)
{
	(void)y;
	(void)w;
	lcd_write(1, bits >> 8);
	lcd_write(1, bits & 0xFF);
}

//读出屏上第y行第w个16点字（设地址后第一次读为空读）
static unsigned int lcd_pic_read(unsigned char y, unsigned char w)
{
	unsigned int bits;
	lcd_pic_addr(y, w);
	lcd_wait();
	lcd_read(1);
	lcd_wait();
	bits = (unsigned int)lcd_read(1) << 8;
	lcd_wait();
	return bits | lcd_read(1);
}
