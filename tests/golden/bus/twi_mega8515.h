#ifndef	__TWI__H
#define	__TWI__H

//-----------------------------------------------------------
#define TWI_Start()   TWCR =(1<<TWINT)|(1<<TWSTA)|(1<<TWEN)
#define TWI_Stop()    TWCR =(1<<TWINT)|(1<<TWSTO)|(1<<TWEN)
#define TWI_Wait()    while(!(TWCR&(1<<TWINT)))
#define TWI_NoneAck() TWCR =(1<<TWINT)|(1<<TWEN)
#define TWI_Ack()     TWCR =(1<<TWINT)|(1<<TWEN)|(1<<TWEA)

//主机发送状态码
#define TW_START				0x08	//START已发送
#define TW_REP_START			0x10	//重复START已发送
#define TW_MT_SLA_ACK			0x18	//SLA+W已发送,收到ACK
#define TW_MT_SLA_NACK			0x20	//SLA+W已发送,收到NOT ACK
#define TW_MT_DATA_ACK			0x28	//数据已发送,收到ACK
#define TW_MT_DATA_NACK			0x30	//数据已发送,收到NOT ACK
#define TW_MT_ARB_LOST			0x38	//SLA+W或数据的仲裁失败

//主机接收状态码
#define TW_MR_ARB_LOST			0x38	//SLA+R或NOT ACK的仲裁失败
#define TW_MR_SLA_ACK			0x40	//SLA+R已发送,收到ACK
#define TW_MR_SLA_NACK			0x48	//SLA+R已发送,收到NOT ACK
#define TW_MR_DATA_ACK			0x50	//收到数据,ACK已返回
#define TW_MR_DATA_NACK			0x58	//收到数据,NOT ACK已返回

//从机接收状态码
#define TW_SR_SLA_ACK			0x60	//收到自己的SLA+W,ACK已返回
#define TW_SR_ARB_LOST_SLA_ACK	0x68	//主机SLA+R/W仲裁失败,收到自己的SLA+W,ACK已返回
#define TW_SR_GCALL_ACK			0x70	//收到广播地址,ACK已返回
#define TW_SR_ARB_LOST_GCALL_ACK 0x78	//主机SLA+R/W仲裁失败,收到广播地址,ACK已返回
#define TW_SR_DATA_ACK			0x80	//以前以自己的SLA+W被寻址,收到数据,ACK已返回
#define TW_SR_DATA_NACK			0x88	//以前以自己的SLA+W被寻址,收到数据,NOT ACK已返回
#define TW_SR_GCALL_DATA_ACK	0x90	//以前以广播方式被寻址,收到数据,ACK已返回
#define TW_SR_GCALL_DATA_NACK	0x98	//以前以广播方式被寻址,收到数据,NOT ACK已返回
#define TW_SR_STOP				0xA0	//收到STOP或重复START

//从发送状态码
#define TW_ST_SLA_ACK			0xA8	//收到自己的SLA+R,ACK已返回
#define TW_ST_ARB_LOST_SLA_ACK	0xB0	//主机SLA+R/W仲裁失败,收到自己的SLA+R,ACK已返回
#define TW_ST_DATA_ACK			0xB8	//数据已发送,收到ACK
#define TW_ST_DATA_NACK			0xC0	//数据已发送,收到NOT ACK
#define TW_ST_LAST_DATA			0xC8	//最后一个数据已发送,收到ACK

//其它状态码
#define TW_NO_INFO				0xF8	//没有相关的状态信息,TWINT=0
#define TW_BUS_ERROR			0x00	//非法的START或STOP引起的总线错误

#define TWS3    3
#define TWS4    4
#define TWS5    5
#define TWS6    6
#define TWS7    7
#define TW_STATUS_MASK    (1 << (TWS7))|(1 << (TWS6))|(1 << (TWS5))|(1 << (TWS4))|(1 << (TWS3))
#define TW_STATUS         (TWSR & (TW_STATUS_MASK))

#define TW_READ		1
#define TW_WRITE	0

//定义接口
#define SCL_H         TW_SCL_PORT |= TW_SCL_BIT     //
#define SDA_H         TW_SDA_PORT |= TW_SDA_BIT     //
//-----------------------------------------------------------
//TWI初始化子程序
//-----------------------------------------------------------
void TWI_Init(void);

//总线上起动停止条件
void twi_stop(void);

//总线上起动开始条件
unsigned char twi_start(void);

//写一字节
unsigned char twi_writebyte(unsigned char c);

//读一字节 ack: true时发ACK，false时发NACK
unsigned char twi_readbyte(unsigned char *c ,unsigned char ack);


//-----------------------------------------------------------

#endif
