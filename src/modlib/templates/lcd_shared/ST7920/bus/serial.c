/*-----------------------------------------------------------------------
串行接口（PSB低电平）：CS高电平期间有效，SID在SCLK上升沿移入，高位在前。
每个字节先发同步字11111、RW、RS、0，再发高4位加4个0，低4位加4个0。
串口不能读，所以按最长执行时间等待（指令72us，清屏1.6ms）。画点要知道
同一个16点字里的其它点：内存够（副本不超过内存的一半）时用内存中的GDRAM
副本；内存不够时没有副本，画点会清掉同一个16点字里的其它点。
-----------------------------------------------------------------------*/
#define LCD_GDRAM_BYTES  (GUI_LCM_YMAX * PIC_WORDS * 2)
#if defined(RAMEND) && defined(RAMSTART) && (RAMEND - RAMSTART + 1) >= 2 * LCD_GDRAM_BYTES
#define LCD_GDRAM_COPY   1
static unsigned int lcd_gdram[GUI_LCM_YMAX][PIC_WORDS];
#else
#define LCD_GDRAM_COPY   0
#endif

static void lcd_bus_init(void)
{
	LCD_SCLK_DDR |= LCD_SCLK_BIT;
	LCD_SID_DDR |= LCD_SID_BIT;
	LCD_CS_DDR |= LCD_CS_BIT;
	SCLK_L;
	CS_L;
	PSB_S;
}

static void lcd_send(unsigned char b)
{
	unsigned char i;
	for (i = 0; i < 8; i++)
	{
		if (b & 0x80)
			SID_H;
		else
			SID_L;
		SCLK_H;
		b <<= 1;
		LCD_WAIT(200);              //SCLK高电平至少200ns（4.5V）
		SCLK_L;
	}
}

//写一个字节：rs为0写指令，为1写数据
static void lcd_write(unsigned char rs, unsigned char d)
{
	CS_H;
	lcd_send(rs ? 0xFA : 0xF8);
	lcd_send(d & 0xF0);
	lcd_send(d << 4);
	CS_L;
	lcd_delay_us(80);
}

static void lcd_wait_clear(void)
{
	lcd_delay_us(1600);
}

//在已设好的GDRAM地址写一个16点字，并记入副本
static void lcd_pic_word(unsigned char y, unsigned char w, unsigned int bits)
{
#if LCD_GDRAM_COPY
	lcd_gdram[y][w] = bits;
#else
	(void)y;
	(void)w;
#endif
	lcd_write(1, bits >> 8);
	lcd_write(1, bits & 0xFF);
}

static unsigned int lcd_pic_read(unsigned char y, unsigned char w)
{
#if LCD_GDRAM_COPY
	return lcd_gdram[y][w];
#else
	(void)y;
	(void)w;
	return 0;
#endif
}
