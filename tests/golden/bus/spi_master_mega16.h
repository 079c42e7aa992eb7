#ifndef	__SPI__H
#define	__SPI__H

#define	DDR_SPI    DDRB
#define	PORT_SPI   PORTB

#define	DD_SS      4
#define	DD_MOSI    5
#define	DD_MISO    6
#define	DD_SCK     7

#define	SPI_Init() SPI_MasterInit()

//-----------------------------------------------------------
//SPI Master初始化子程序
//-----------------------------------------------------------
void SPI_MasterInit(void);

//-----------------------------------------------------------
//SPI Master发送子程序
//-----------------------------------------------------------
void SPI_MasterTransmit(unsigned char cData);

//-----------------------------------------------------------
//SPI Master接收子程序
//-----------------------------------------------------------
unsigned char SPI_MasterReceive(void);

//-----------------------------------------------------------

#endif
