#include <macros.h>
#include "ds18b20.h"
#include "delay.h"

unsigned char temp_buf[4];

/*
 * 1-Wire slot timing. delay_nus counts calls, not crystal cycles, and an
 * optimising compiler may drop its empty loop, so the slots are timed by a
 * loop of about six cycles counted from the project's crystal. The times are
 * those of the DS18B20 datasheet: reset low >= 480 us, presence within
 * 60 us and at most 240 us long, write-0 low 60..120 us, write-1 low 1..15 us,
 * read sampled within 15 us of the falling edge, slots >= 60 us.
 * An interrupt inside a slot would stretch these times (40 cycles are 40 us
 * at 1 MHz), so each slot runs with interrupts masked and then puts back
 * the state it found. The line is only ever released, never driven high,
 * while the sensor may pull it low.
 */
#define DS18B20_MASK()        do { sreg = SREG; CLI(); } while(0)
#define DS18B20_UNMASK()      SREG = sreg
#define DS18B20_CRYSTAL_KHZ   @CRYSTAL_KHZ@
#define DS18B20_LOOP_CYCLES   6
#define DS18B20_CALL_CYCLES   12     /* loading the count, the call and the return */
#define DS18B20_CYCLES(us)    ((unsigned long)(us) * DS18B20_CRYSTAL_KHZ / 1000)
#define DS18B20_LOOPS(us)     (DS18B20_CYCLES(us) >= DS18B20_CALL_CYCLES ? (unsigned int) \
                              ((DS18B20_CYCLES(us) - DS18B20_CALL_CYCLES + DS18B20_LOOP_CYCLES - 1) / DS18B20_LOOP_CYCLES) : 0)
/* Waits at least `us` (at slow crystals a wait shorter than the call itself
   is left out: the surrounding code takes that long already). */
#define DS18B20_WAIT(us)      do { if(DS18B20_CYCLES(us) >= DS18B20_CALL_CYCLES) ds18b20_wait(DS18B20_LOOPS(us)); } while(0)
/* One microsecond in single cycles (up to 16 MHz), for the slots' short lows,
   where the call of the loop alone would take too long at slow crystals. */
#define DS18B20_NOP_IF(n)     if(DS18B20_CYCLES(1) > (n)) NOP()
#define DS18B20_1US()         do { NOP(); DS18B20_NOP_IF(1); DS18B20_NOP_IF(2); DS18B20_NOP_IF(3); \
                              DS18B20_NOP_IF(4); DS18B20_NOP_IF(5); DS18B20_NOP_IF(6); DS18B20_NOP_IF(7); \
                              DS18B20_NOP_IF(8); DS18B20_NOP_IF(9); DS18B20_NOP_IF(10); DS18B20_NOP_IF(11); \
                              DS18B20_NOP_IF(12); DS18B20_NOP_IF(13); DS18B20_NOP_IF(14); DS18B20_NOP_IF(15); } while(0)

static void ds18b20_wait(unsigned int loops)
{
	while(loops--)
		NOP();
}

/*-----------------------------------------------------------------------
复位DS18B20: 拉低总线480us以上, 然后等待存在脉冲
返回0xff表示器件存在, 0x00表示没有应答
-----------------------------------------------------------------------*/
unsigned char resetDS18B20(void)
{
	unsigned char errTime=0;
	unsigned char sreg;
	RLS_DS18B20;                    //释放总线
	NOP();
	HLD_DS18B20;                    //Mega16控制总线
	CLR_DS18B20;                    //强制拉低
	DS18B20_WAIT(490);              //复位脉冲至少480us
	DS18B20_MASK();                 //存在脉冲的检测不被中断打断
	RLS_DS18B20;                    //释放总线
	NOP();
	while(STU_DS18B20)              //等待存在脉冲(15~60us后出现)
	{
		DS18B20_WAIT(6);
		errTime++;
		if(errTime>20)
		{
			DS18B20_UNMASK();
			return(0x00);           //没有存在脉冲
		}
	}
	errTime=0;
	while(!(STU_DS18B20))           //存在脉冲(60~240us)
	{
		DS18B20_WAIT(6);
		errTime++;
		if(errTime>50)
		{
			DS18B20_UNMASK();
			return(0x00);           //总线一直为低
		}
	}
	DS18B20_UNMASK();
	DS18B20_WAIT(420);              //释放后的接收时间至少480us
	return(0xff);
}

/*-----------------------------------------------------------------------
读一个字节, 低位在前
-----------------------------------------------------------------------*/
unsigned char readByteDS18B20(void)
{
	unsigned char i;
	unsigned char retVal=0;
	unsigned char sreg;
	RLS_DS18B20;                    //释放总线
	for(i=8;i>0;i--)
	{
		retVal>>=1;
		DS18B20_MASK();             //时隙内不响应中断
		HLD_DS18B20;                //Mega16控制总线
		CLR_DS18B20;                //强制拉低,开始读时隙
		DS18B20_1US();              //低电平至少1us
		RLS_DS18B20;                //先释放总线(器件可能正拉低)
		SET_DS18B20;                //再开上拉
		DS18B20_WAIT(8);            //在下降沿后15us内采样
		if(STU_DS18B20)
			retVal|=0x80;
		DS18B20_UNMASK();
		DS18B20_WAIT(55);           //时隙至少60us
		HLD_DS18B20;
		SET_DS18B20;
	}
	DS18B20_WAIT(5);
	return(retVal);
}

/*-----------------------------------------------------------------------
写一个字节, 低位在前
-----------------------------------------------------------------------*/
void writeByteDS18B20(unsigned char wb)
{
	unsigned char i;
	unsigned char sreg;
	RLS_DS18B20;                    //释放总线
	for(i=0;i<8;i++)
	{
		DS18B20_MASK();             //时隙内不响应中断
		HLD_DS18B20;                //Mega16控制总线
		CLR_DS18B20;                //强制拉低,开始写时隙
		DS18B20_1US();              //写1的低电平1~15us
		if(wb&0x01)                 //低位在前; 移位而不用BIT(i), 免得可变移位拖长低电平
			SET_DS18B20;
		else
			CLR_DS18B20;
		wb>>=1;
		DS18B20_WAIT(62);           //写0的低电平60~120us
		SET_DS18B20;
		DS18B20_UNMASK();
		DS18B20_WAIT(4);            //时隙间的恢复时间
	}
}

/*-----------------------------------------------------------------------
读温度: 返回上一次启动的转换结果, 并启动下一次转换
返回值为温度寄存器的原始值(高字节*256+低字节, 单位1/16度)
-----------------------------------------------------------------------*/
unsigned int readTempDS18B20(void)
{
	unsigned char tempL,tempH;
	delay_nms(1);
	resetDS18B20();
	writeByteDS18B20(0xcc);         //跳过ROM
	writeByteDS18B20(0xbe);         //读暂存器
	tempL=readByteDS18B20();
	tempH=readByteDS18B20();
	resetDS18B20();
	writeByteDS18B20(0xcc);         //跳过ROM
	writeByteDS18B20(0x44);         //启动温度转换
	return(tempH*256+tempL);
}

/*-----------------------------------------------------------------------
压缩BCD码转换为两个ASCII数字 (本文件内用: ds1302.c有同名的公共函数)
-----------------------------------------------------------------------*/
static void BCDtoASCII(unsigned char cBCD,unsigned char *pstr)
{
	pstr[0]='0'+(cBCD>>4);
	pstr[1]='0'+(cBCD&0x0f);
}

/*-----------------------------------------------------------------------
读取当前温度并解释: temp_buf为整数度数, 如" 25"或"-10", 以0结尾
-----------------------------------------------------------------------*/
void Read_Temp(void)
{
	unsigned int raw;
	unsigned char deg;
	raw=readTempDS18B20();
	temp_buf[0]=' ';
	if(raw&0x8000)                  //零下: 取补码
	{
		raw=~raw+1;
		temp_buf[0]='-';
	}
	deg=(unsigned char)(raw>>4);    //整数部分, 0~125
	if(deg>=100)
	{
		temp_buf[0]='1';
		deg-=100;
	}
	BCDtoASCII((unsigned char)(((deg/10)<<4)|(deg%10)),&temp_buf[1]);
	temp_buf[3]=0;
}
