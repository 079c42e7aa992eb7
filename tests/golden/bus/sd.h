#ifndef	__SD__H
#define	__SD__H

//说明：SD卡读取选用了单片机自身的硬件SPI接口
//片选脚由SS脚控制（如果需要改动请手动更改）

#define MMC_PORT       PORT_SPI
#define MMC_CS_PIN     (1<<DD_SS) 

//外部变量声明
extern unsigned char BUFFER[512];

//函数声明
void SD_Port_Init(void);
unsigned char SD_Write_Command(unsigned char cmd,unsigned long arg);
unsigned char SD_Init(void);
unsigned char SD_Read_Block(unsigned long address);

#endif
