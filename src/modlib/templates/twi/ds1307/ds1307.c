/*
 * DS1307 real-time clock on the TWI bus, through the polled routines of twi.c.
 *
 * Registers 0x00..0x06 hold second, minute, hour, weekday, day, month and
 * year in BCD; 0x07 is the control byte of the SQW/OUT pin; 0x08..0x3F are
 * 56 bytes of battery-backed RAM. The DS1307 runs the bus at 100 kHz at most:
 * set the TWI bit rate accordingly. Every transfer returns 1 on success and
 * 0 when the chip did not answer. The first transfer frees a bus that a
 * reset left stuck (the driver has no init function of its own).
 */
#include <macros.h>
#include "twi.h"
#include "ds1307.h"
#include "delay.h"

#define XTAL_HZ             $crystal_hz$UL  /* the project's crystal */
#define DS1307_STOP_WAIT    5000    /* x 10 us: a STOP takes one SCL period */

/* DDRx and PINx lie one and two addresses below PORTx on the ports that
   carry SCL and SDA (port C, or port D on the ATmega64/128) */
#define DS1307_DDR(port)    (*(&(port) - 1))
#define DS1307_PIN(port)    (*(&(port) - 2))

@include shared/bus_wait_10us.c prefix=ds1307

#define DS1307_REG_SECONDS  0x00
#define DS1307_REG_HOURS    0x02
#define DS1307_REG_CONTROL  0x07
#define DS1307_RAM_START    0x08
#define DS1307_RAM_SIZE     56

#define DS1307_CH           0x80    /* seconds bit 7: oscillator halted */
#define DS1307_12H          0x40    /* hours bit 6: 12 hour mode */
#define DS1307_PM           0x20    /* hours bit 5 in 12 hour mode: PM */
#define DS1307_OUT          0x80    /* control: level of OUT while SQW is off */
#define DS1307_SQWE         0x10    /* control: square wave on */
#define DS1307_RS_MASK      0x03    /* control: 1 Hz, 4.096, 8.192, 32.768 kHz */

char g_aTimeBuf[7];           /* second, minute, hour, weekday, day, month, year in BCD */
char g_aTimeBin[7];           /* the same as plain numbers */

/* The next START must not meet an unfinished STOP; gives up when SCL or
   SDA is held low */
static void ds1307_stop(void)
{
   unsigned int n = DS1307_STOP_WAIT;
   twi_stop();
   while((TWCR & (1<<TWSTO)) && n--)
      ds1307_wait_10us(1);
}

@include shared/twi_bus_recover.c prefix=ds1307 PREFIX=DS1307

/* START, address for writing and the register pointer; 1 on success */
static unsigned char ds1307_point(unsigned char addr)
{
   static unsigned char bus_checked;
   unsigned char st;
   if(!bus_checked)
   {
      ds1307_bus_recover();
      bus_checked = 1;
   }
   st = twi_start();
   if(st != TW_START && st != TW_REP_START)
      return 0;
   if(twi_writebyte(DS1307_ADDR | TW_WRITE) != TW_MT_SLA_ACK)
      return 0;
   return twi_writebyte(addr) == TW_MT_DATA_ACK;
}

//连续写DS1307: 从寄存器addr开始写入len个字节, 成功返回1
unsigned char rtc_write(unsigned char addr,unsigned char *buf,unsigned char len)
{
   unsigned char ok = ds1307_point(addr);
   while(ok && len--)
      ok = twi_writebyte(*buf++) == TW_MT_DATA_ACK;
   ds1307_stop();
   return ok;
}

//连续读DS1307: 从寄存器addr开始读出len个字节, 成功返回1
unsigned char rtc_read(unsigned char addr,unsigned char *buf,unsigned char len)
{
   unsigned char ok = ds1307_point(addr);
   unsigned char st;
   if(ok)
   {
      st = twi_start();
      ok = (st == TW_REP_START || st == TW_START) && twi_writebyte(DS1307_ADDR | TW_READ) == TW_MR_SLA_ACK;
   }
   while(ok && len)
   {
      len--;
      st = twi_readbyte(buf++, len != 0);   /* NACK the last byte */
      ok = (st == TW_MR_DATA_ACK) || (st == TW_MR_DATA_NACK);
   }
   ds1307_stop();
   return ok;
}

//更新或读取DS1307日历/时间数据: RTC_WRITE写入g_aTimeBuf, RTC_READ读到g_aTimeBuf
//读取时若振荡器停止(CH=1)则将其启动
unsigned char RtcUpdateData(unsigned char direction)
{
   unsigned char ok;
   if(direction == RTC_WRITE)
      return rtc_write(DS1307_REG_SECONDS, (unsigned char *)g_aTimeBuf, 7);
   ok = rtc_read(DS1307_REG_SECONDS, (unsigned char *)g_aTimeBuf, 7);
   if(ok && (g_aTimeBuf[0] & DS1307_CH))
   {
      g_aTimeBuf[0] &= ~DS1307_CH;
      ok = rtc_write(DS1307_REG_SECONDS, (unsigned char *)g_aTimeBuf, 1);
   }
   return ok;
}

//读取DS1307用户RAM: addr为0~55, 超出范围返回0
unsigned char RtcReadRAM(unsigned char addr,unsigned char *buf,unsigned char len)
{
   if(addr >= DS1307_RAM_SIZE || len > DS1307_RAM_SIZE - addr)
      return 0;
   return rtc_read(DS1307_RAM_START + addr, buf, len);
}

//写DS1307用户RAM: addr为0~55, 超出范围返回0
unsigned char RtcWriteRAM(unsigned char addr,unsigned char *buf,unsigned char len)
{
   if(addr >= DS1307_RAM_SIZE || len > DS1307_RAM_SIZE - addr)
      return 0;
   return rtc_write(DS1307_RAM_START + addr, buf, len);
}

//二进制数(0~99)转换为BCD码
unsigned char byte_bintobcd(unsigned char bin)
{
   return (unsigned char)(((bin / 10) << 4) | (bin % 10));
}

//BCD码转换为二进制数
unsigned char byte_bcdtobin(unsigned char bcd)
{
   return (unsigned char)((bcd >> 4) * 10 + (bcd & 0x0F));
}

//将二进制格式缓冲区(g_aTimeBin)转换成BCD格式缓冲区(g_aTimeBuf), 小时为24小时制
void RtcBinToBCD(void)
{
   unsigned char i;
   for(i = 0; i < 7; i++)
      g_aTimeBuf[i] = byte_bintobcd(g_aTimeBin[i]);
}

//将BCD格式缓冲区(g_aTimeBuf)转换成二进制格式缓冲区(g_aTimeBin), 小时换算为24小时制
void RtcBCDToBin(void)
{
   unsigned char i;
   unsigned char bcd;
   for(i = 0; i < 7; i++)
   {
      bcd = g_aTimeBuf[i];
      if(i == DS1307_REG_SECONDS)
         bcd &= ~DS1307_CH;
      else if(i == DS1307_REG_HOURS && (bcd & DS1307_12H))
      {
         /* 12 hour mode: 12 AM is hour 0, 1..11 PM are 13..23 */
         g_aTimeBin[i] = byte_bcdtobin(bcd & 0x1F) % 12 + ((bcd & DS1307_PM) ? 12 : 0);
         continue;
      }
      g_aTimeBin[i] = byte_bcdtobin(bcd);
   }
}

//写DS1307配置字节: en非0时SQW输出方波, level为频率选择(0:1Hz 1:4.096kHz
//2:8.192kHz 3:32.768kHz); en为0时关闭方波, OUT脚保持level(0或1)电平
void RtcSetSQWOutput(unsigned char en,unsigned char level)
{
   unsigned char control;
   if(en)
      control = DS1307_SQWE | (level & DS1307_RS_MASK);
   else
      control = level ? DS1307_OUT : 0;
   rtc_write(DS1307_REG_CONTROL, &control, 1);
}
