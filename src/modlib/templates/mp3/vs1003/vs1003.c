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
	SPI_MasterTransmit(VS1003_WRITE);
	SPI_MasterTransmit(address);
	SPI_MasterTransmit((unsigned char)(data >> 8));
	SPI_MasterTransmit((unsigned char)data);
	VS1003_XCS_H;
}

//读SCI寄存器
unsigned int VS1003_read(unsigned char address)
{
	unsigned int value;
	vs1003_wait_dreq();
	VS1003_XDCS_H;
	VS1003_XCS_L;
	SPI_MasterTransmit(VS1003_READ);
	SPI_MasterTransmit(address);
	value = SPI_MasterReceive();
	value = (value << 8) | SPI_MasterReceive();
	VS1003_XCS_H;
	return value;
}

//写一个数据字节(SDI); 调用者在DREQ为高时最多连续写32字节
void VS1003_data_write(unsigned char data)
{
	VS1003_XCS_H;
	VS1003_XDCS_L;
	SPI_MasterTransmit(data);
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
	SPI_MasterInit();

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
	VS1003_cmd_write(SCI_VOL, VOLUME_START);
}
