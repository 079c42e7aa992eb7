#ifndef	__CH375__H
#define	__CH375__H

/* 本例假定不开放系统总线,所以用I/O引脚模拟产生CH375的并口读写时序 */

//定义MCU与CH375的接口
#define  CH375_DATAOUT     PORTA
#define  CH375_DATABUS     DDRA
#define  CH375_DATAIN      PINA

#define  CH375_CS_DDR      DDRC
#define  CH375_CS_PORT     PORTC
#define  CH375_CS_BIT      (1<<PC0)
#define  CH375_A0_DDR      DDRC
#define  CH375_A0_PORT     PORTC
#define  CH375_A0_BIT      (1<<PC1)
#define  CH375_RD_DDR      DDRC
#define  CH375_RD_PORT     PORTC
#define  CH375_RD_BIT      (1<<PC2)
#define  CH375_WR_DDR      DDRC
#define  CH375_WR_PORT     PORTC
#define  CH375_WR_BIT      (1<<PC3)
#define  CH375_RST_DDR     DDRC
#define  CH375_RST_PORT    PORTC
#define  CH375_RST_BIT     (1<<PC4)
#define  CH375_INT_DDR     DDRD
#define  CH375_INT_PORT    PORTD
#define  CH375_INT_PIN     PIND
#define  CH375_INT_BIT     (1<<PD2)

#define  CH375_CS_H        CH375_CS_PORT |= CH375_CS_BIT      //
#define  CH375_CS_L        CH375_CS_PORT &= ~CH375_CS_BIT     //
#define  CH375_A0_H        CH375_A0_PORT |= CH375_A0_BIT      //
#define  CH375_A0_L        CH375_A0_PORT &= ~CH375_A0_BIT     //
#define  CH375_RD_H        CH375_RD_PORT |= CH375_RD_BIT      //
#define  CH375_RD_L        CH375_RD_PORT &= ~CH375_RD_BIT     //读模式
#define  CH375_WR_H        CH375_WR_PORT |= CH375_WR_BIT      //
#define  CH375_WR_L        CH375_WR_PORT &= ~CH375_WR_BIT     //写模式
#define  CH375_RST_H       CH375_RST_PORT |= CH375_RST_BIT    //
#define  CH375_RST_L       CH375_RST_PORT &= ~CH375_RST_BIT   //
#define  CH375_INT_H       CH375_INT_PORT |= CH375_INT_BIT    //
#define  CH375_INT_L       CH375_INT_PORT &= ~CH375_INT_BIT   //

/* CH375的中断线INT#引脚,连接CH375的INT#引脚,用于查询中断状态 */
#define  CH375_INT_WIR		( CH375_INT_PIN & (0x00|CH375_INT_BIT) )  

/* 以下定义的详细说明请看CH375HF9.H文件 */
#define LIB_CFG_FILE_IO		1	/* 文件读写的数据的复制方式,0为"外部子程序",1为"内部复制" */
#define LIB_CFG_INT_EN		0	/* CH375的INT#引脚连接方式,0为"查询方式",1为"中断方式" */

/* 单片机的RAM有限,其中CH375子程序用512字节,剩余RAM部分可以用于文件读写缓冲 */
#define FILE_DATA_BUF_LEN	0x0200	/* 外部RAM的文件数据缓冲区,缓冲区长度不小于一次读写的数据长度 */
/* 如果准备使用双缓冲区交替读写,那么不要定义FILE_DATA_BUF_LEN,而是在参数中指定缓
冲区起址,用CH375FileReadX代替CH375FileRead,用CH375FileWriteX代替CH375FileWrite */

//函数声明
void CH375_PORT_INIT(void );
void xWriteCH375Cmd( unsigned char mCmd );
void xWriteCH375Data( unsigned char mData )	;
unsigned char xReadCH375Data( void );

#endif
