/*
 * VS1003 MP3 decoder on the hardware SPI (spi.h, master).
 *
 * SCI (XCS low): registers, written as 0x02 address high low, read as
 * 0x03 address and two bytes. SDI (XDCS low): the stream. DREQ high means
 * the chip takes at least 32 more stream bytes or the next SCI command.
 */
#include <macros.h>
#include "spi.h"
#include "vs1003.h"
#include "delay.h"

#define VS1003_WRITE        0x02
#define VS1003_READ         0x03

/* SCI registers */
#define SCI_MODE            0x00
#define SCI_CLOCKF          0x03
#define SCI_VOL             0x0B

#define SM_RESET            0x0004
#define SM_SDINEW           0x0800  /* native SPI modes: XDCS selects SDI */
#define CLOCKF_3X           0x9800  /* SC_MULT 3.0x, SC_ADD 1.5x, 12.288 MHz crystal */
#define VOLUME_START        0x2020  /* -16 dB on both channels */

#define VS1003_DREQ_WIR     (VS1003_DREQ_PIN & VS1003_DREQ_BIT)

/* SCK: the VS1003 takes SCI reads at CLKI/7 at most and SCI writes and SDI
   at CLKI/4. CLKI is the 12.288 MHz crystal until CLOCKF sets 3.0x (36.864
   MHz). Every access goes at the read limit of the clock in force, set up
   here for each byte and the SPI's own setting put back after it, so the
   rate spi.c chose for other devices does not matter. */
#define XTAL_HZ             $crystal_hz$UL  /* the project's crystal */
#define VS1003_SCK_START    (12288000UL / 7)
#define VS1003_SCK_RUN      (36864000UL / 7)
#define VS1003_SPIF_TRIES   1000            /* a byte takes at most 128 x 8 cycles */

static unsigned char vs1003_spcr = (1<<SPE)|(1<<MSTR)|(1<<SPR1)|(1<<SPR0);  /* mode 0, f/128 */
static unsigned char vs1003_spsr = 0;

//SPI时钟: 不超过max_hz的最快分频(2到128)
static void vs1003_rate(unsigned long max_hz)
{
	unsigned char step = 0;                 //分频2、4、8...128
	while(step < 6 && XTAL_HZ / (2UL << step) > max_hz)
		step++;
	//分频2、8、32用SPI2X倍速; SPR1:0为step/2 (分频128为SPR 11, 不倍速)
	vs1003_spsr = (step & 1) || step == 6 ? 0 : (1<<SPI2X);
	step = step / 2;
	vs1003_spcr = (1<<SPE)|(1<<MSTR)|(step & 1 ? (1<<SPR0) : 0)|(step & 2 ? (1<<SPR1) : 0);
}

//收发一个字节; SPIF的等待有界, 总线异常时不会死等
static unsigned char vs1003_spi(unsigned char b)
{
	unsigned char spcr = SPCR, spsr = SPSR & (1<<SPI2X);
	unsigned int tries = VS1003_SPIF_TRIES;
	SPCR = vs1003_spcr;
	SPSR = vs1003_spsr;
	SPDR = b;
	while(!(SPSR & (1<<SPIF)) && --tries)
		;
	b = SPDR;
	SPCR = spcr;
	SPSR = spsr;
	return b;
}

/* Waits for DREQ high; gives up after about 100 ms so a missing chip does
   not hang the program. */
static void vs1003_wait_dreq(void)
{
	unsigned int tries = 10000;
	while(!VS1003_DREQ_WIR && --tries)
		delay_nus(10);
}

//写SCI寄存器
void VS1003_cmd_write(unsigned char address,unsigned int data)
{
	vs1003_wait_dreq();
	VS1003_XDCS_H;
	VS1003_XCS_L;
	vs1003_spi(VS1003_WRITE);
	vs1003_spi(address);
	vs1003_spi((unsigned char)(data >> 8));
	vs1003_spi((unsigned char)data);
	VS1003_XCS_H;
}

//读SCI寄存器
unsigned int VS1003_read(unsigned char address)
{
	unsigned int value;
	vs1003_wait_dreq();
	VS1003_XDCS_H;
	VS1003_XCS_L;
	vs1003_spi(VS1003_READ);
	vs1003_spi(address);
	value = vs1003_spi(0xFF);
	value = (value << 8) | vs1003_spi(0xFF);
	VS1003_XCS_H;
	return value;
}

//写一个数据字节(SDI); 调用者在DREQ为高时最多连续写32字节
void VS1003_data_write(unsigned char data)
{
	VS1003_XCS_H;
	VS1003_XDCS_L;
	vs1003_spi(data);
	VS1003_XDCS_H;
}

//VS1003初始化: 硬件复位, 设置模式、时钟和音量
void VS1003_Init(void)
{
	VS1003_XRST_DDR |= VS1003_XRST_BIT;
	VS1003_XCS_DDR |= VS1003_XCS_BIT;
	VS1003_XDCS_DDR |= VS1003_XDCS_BIT;
	VS1003_DREQ_DDR &= ~VS1003_DREQ_BIT;    //DREQ为输入
	VS1003_XCS_H;
	VS1003_XDCS_H;
	SPI_MasterInit();                       //SPI引脚方向
	vs1003_rate(VS1003_SCK_START);          //倍频前: CLKI为晶振12.288MHz

	VS1003_XRST_L;                          //硬件复位
	delay_nms(2);
	VS1003_XRST_H;
	delay_nms(2);
	vs1003_wait_dreq();

	VS1003_cmd_write(SCI_MODE, SM_SDINEW | SM_RESET);   //软件复位
	delay_nms(2);
	VS1003_cmd_write(SCI_MODE, SM_SDINEW);
	VS1003_cmd_write(SCI_CLOCKF, CLOCKF_3X);
	delay_nms(2);                           //时钟倍频后的稳定时间
	vs1003_rate(VS1003_SCK_RUN);            //CLKI已为3.0倍
	VS1003_cmd_write(SCI_VOL, VOLUME_START);
}
