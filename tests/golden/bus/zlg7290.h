#ifndef	__ZLG7290__H
#define	__ZLG7290__H

#define SLA_ZLG7290				0x70	//ZLG7290的器件地址(高4位)
#define ADDR_ZLG7290			0x00	//ZLG7290无此地址,不用
//ZLG7290的地址：	SLAW=0X70	SLAR=0X71

//定义ZLG7290内部寄存器地址（子地址）
#define ZLG7290_SystemReg		0x00
#define ZLG7290_Key				0x01
#define ZLG7290_RepeatCnt		0x02
#define ZLG7290_FunctionKey		0x03
#define ZLG7290_CmdBuf			0x07
#define ZLG7290_CmdBuf0			0x07
#define ZLG7290_CmdBuf1			0x08
#define ZLG7290_FlashOnOff		0x0C
#define ZLG7290_ScanNum			0x0D
#define ZLG7290_DpRam			0x10
#define ZLG7290_DpRam0			0x10
#define ZLG7290_DpRam1			0x11
#define ZLG7290_DpRam2			0x12
#define ZLG7290_DpRam3			0x13
#define ZLG7290_DpRam4			0x14
#define ZLG7290_DpRam5			0x15
#define ZLG7290_DpRam6			0x16
#define ZLG7290_DpRam7			0x17

//闪烁控制指令:Fn为一个字节,每一位控制一个数码管是否闪烁
//0:不闪烁,1:闪烁
#define ZLG7290_Flash(Fn) 	ZLG7290_cmd(0x70,(Fn))

//TWCR只能IN/OUT,直接赋值比逻辑运算(|= &=)更节省空间
#define TW_ACT				(1<<TWINT)|(1<<TWEN)|(1<<TWIE)

//TWI_操作状态
#define TW_BUSY					0
#define TW_OK					1
#define TW_FAIL					2
//TWI_读写命令状态
#define OP_BUSY					0
#define OP_RUN					1

//TWI读写操作公共步骤
#define ST_FAIL					0	//出错状态
#define ST_START				1	//START状态检查
#define ST_SLAW					2	//SLAW状态检查
#define ST_WADDR				3	//ADDR状态检查
//TWI读操作步骤
#define ST_RESTART				4	//RESTART状态检查
#define ST_SLAR					5	//SLAR状态检查
#define ST_RDATA				6	//读取数据状态检查,循环n字节
//TWI写操作步骤
#define ST_WDATA				7	//写数据状态检查,循环n字节
#define FAIL_MAX				20	//重试次数最大值

struct str_TWI                                  //TWI数据结构
{
	volatile unsigned char STATUS;              //TWI_操作状态
	unsigned char SLA;                          //从设备的器件地址
	unsigned int ADDR;                          //从设备的数据地址
	unsigned char *pBUF;                        //数据缓冲区指针
	unsigned int DATALEN;                       //数据长度
	unsigned char STATE;                        //TWI读写操作步骤
	unsigned char FAILCNT;                      //失败重试次数
};

extern struct str_TWI strTWI;                   //TWI的数据结构变量

//函数声明
void ZLG7290_Init(void);
void ZLG7290_Isr(void);
void ZLG7290_ClearAll(void);
void Test_DispBuf(void);
void Test_Download(void);
void Test_ScanNum(void);
void Test_Flash(void);
void Test_SegOnOff(void);
void DispValue2BIT(char x, unsigned char dat);
void DispValue4BIT(char x, unsigned long int dat);
void DispValue8BIT(char x, unsigned long int dat);
void DispHexValue2BIT(char x, unsigned char dat);
void DispHexValue4BIT(char x, unsigned int dat);
void DispHexValue8BIT(char x, unsigned int dat);

#endif
