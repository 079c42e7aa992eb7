#ifndef __DS1307_H
#define __DS1307_H

#define DS1307_ADDR    0xD0
#define TW_ACK         1
#define TW_NACK        0
#define RTC_READ       1
#define RTC_WRITE      0

extern char g_aTimeBuf[7];//日历、时钟BCD格式缓冲区
extern char g_aTimeBin[7];//时钟、日历数据(非BCD格式)

//连续写DS1307
unsigned char rtc_write(unsigned char addr,unsigned char *buf,unsigned char len);

//连续读DS1307
unsigned char rtc_read(unsigned char addr,unsigned char *buf,unsigned char len);

//更新或读取DS1307日历/时间数据
unsigned char RtcUpdateData(unsigned char direction);

//读取DS1307用户RAM
unsigned char RtcReadRAM(unsigned char addr,unsigned char *buf,unsigned char len);

//写DS1307用户RAM
unsigned char RtcWriteRAM(unsigned char addr,unsigned char *buf,unsigned char len);

unsigned char byte_bintobcd(unsigned char bin);
unsigned char byte_bcdtobin(unsigned char bcd);

//将二进制格式缓冲区(g_aTimeBin)转换成BCD格式缓冲区(g_aTimeBuf)
void RtcBinToBCD(void);

//将BCD格式缓冲区(g_aTimeBuf)转换成二进制格式缓冲区(g_aTimeBin)
void RtcBCDToBin(void);

//写DS1307配置字节
void RtcSetSQWOutput(unsigned char en,unsigned char level);

#endif
