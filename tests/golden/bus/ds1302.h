#ifndef	__DS1302__H
#define	__DS1302__H

//管脚定义
#define DS1302_CE			4	//PB4,SS脚,必须设为输出,接DS1302的CE脚(第5脚)
#define DS1302_MOSI			5	//PB5,MOSI通过10K电阻接MISO,MISO接DS1302的I/O脚
#define DS1302_MISO			6	//PB6,MISO接DS1302的I/O脚(第6脚)
#define DS1302_SCK			7	//PB7,SCK接DS1302的SCLK脚(第7脚)

//宏定义
#define EnDS1302 PORTB|= (1<<DS1302_CE)	//CE置高,使能DS1302接口
#define DiDS1302 PORTB&=~(1<<DS1302_CE)	//CE置低,禁止DS1302接口

//读写操作位
#define CMD_READ			0x01	//读操作
#define CMD_WRITE			0x00	//写操作

//时钟 命令
#define CMD_SECOND			0x80	//秒
#define CMD_MINUTE			0x82	//分
#define CMD_HOUR			0x84	//时
#define CMD_DAY				0x86	//日
#define CMD_MONTH			0x88	//月
#define CMD_WEEK			0x8A	//星期
#define CMD_YEAR			0x8C	//年
#define CMD_CONTROL			0x8E	//控制(写保护)
#define CMD_TRICKLE_CHARGE	0x90	//涓流充电
#define CMD_CLOCK_BURST		0xBE	//时钟突发模式

//时钟配置常量
#define CFG_CLOCK_HALT		0x80	//SECOND bit7 时钟暂停
#define CFG_12_24			0x80	//HOUR bit7 12/24小时制
#define CFG_AM_PM			0x20	//HOUR bit5 上午/下午
#define CFG_PROTECT			0x80	//CONTROL bit7 写保护
#define CFG_UNPROTECT		0x00	//CONTROL bit7 去除写保护

//涓流充电控制常量
#define CFG_TC_D1R2			0xA5	//high 1 Diode +2K Resistors
#define CFG_TC_D2R8			0xAB	//low  2 Diodes+8K Resistors
#define CFG_TC_DISABLED		0x00	//Disabled(TCS<>1010 or DS=00 or RS=00)

//RAM 命令
#define CMD_RAM_BASE		0xC0	//RAM0~RAM30,地址需左移一位
#define CMD_RAM_BURST		0xFE	//突发模式读RAM

//通过SPI对DS1302读写一个字节
unsigned char Single_SPI(unsigned char command,unsigned char wdata);

//通过SPI对DS1302读写一块数据
void Burst_SPI(unsigned char CMD,unsigned char len,unsigned char *pwdata,unsigned char *prdata);

//检测DS1302是否存在
unsigned char check_RTC(void);

//DS1302初始化
void DS1302_Init(void);

//压缩BCD码转换为ASCII码
void BCDtoASCII(unsigned char cBCD,unsigned char *pstr);

//星期(0~7)转换为中文名称
void decodeWEEK(unsigned char WEEK,unsigned char *pstr);

//读取当前时间并解释
void read_date(void);

//读取当前时间并解释
void read_date1(void);

//全局变量声明
extern unsigned char DS1302_EXIST;
extern unsigned char INITDATE[8];
extern unsigned char CURDATE[7];
extern unsigned char sCURDATE[];
extern unsigned char sWEEK[];
extern unsigned char str1[];

#endif
