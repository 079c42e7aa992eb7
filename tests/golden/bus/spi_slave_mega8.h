#ifndef	__SPI__H
#define	__SPI__H

#define	DDR_SPI    DDRB
#define	PORT_SPI   PORTB

#define	DD_SS      2
#define	DD_MOSI    3
#define	DD_MISO    4
#define	DD_SCK     5

#define	SPI_Init() SPI_SlaveInit()

//-----------------------------------------------------------
//SPI Slave初始化子程序
//-----------------------------------------------------------
void SPI_SlaveInit(void);

//-----------------------------------------------------------
//SPI Slave发送子程序
//-----------------------------------------------------------
void SPI_SlaveTransmit(unsigned char cData);

//-----------------------------------------------------------
//SPI Slave接收子程序
//-----------------------------------------------------------
unsigned char SPI_SlaveReceive(void);

//-----------------------------------------------------------

#endif
