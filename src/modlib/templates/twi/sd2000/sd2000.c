/*
 * SD2000 real-time clock on the TWI bus, through the polled routines of twi.c.
 *
 * The chip has no register pointer: the command sits in the address byte
 * (0110 CCC R/W, the CMD_ values of sd2000.h) and the data follow. Data
 * travel LSB first, while the TWI shifts MSB first, so every data byte is
 * bit-reversed with invert(). The time block is seven BCD bytes: year,
 * month, day, weekday, hour, minute, second (indexes year ... second of
 * sd2000.h). The hour byte carries the PM flag in bit 6; 24 hour mode is set
 * by SD2000_Init. The chip runs the bus at 100 kHz at most: TWBR_SELECT of
 * sd2000.h is loaded by SD2000_Init. After a power loss SD2000_Init resets
 * the chip with its reset command (SD2K_RESET, CMD_RESET) and waits out the
 * reset by a loop calibrated from the project's crystal.
 */
#include <macros.h>
#include "twi.h"
#include "sd2000.h"
#include "delay.h"

/* Status register bits (after invert) */
#define STUSR_24H           0x02    /* 1: 24 hour mode */
#define STUSR_BLD           0x40    /* supply dropped below detection voltage */
#define STUSR_POC           0x80    /* power-on detected: time is not valid */

#define HOUR_PM             0x40    /* hour byte: PM flag, also set in 24 hour mode after noon */

/* Results of SD2K_TWI */
#define SD2K_OK             0
#define SD2K_ERR_START      1
#define SD2K_ERR_ADDRESS    2
#define SD2K_ERR_DATA       3

unsigned char g_sd2k_stusr;               /* status register */
unsigned char g_sd2k_return;              /* result of the last command macro */
unsigned char g_sd2k_read_time [7];       /* time read by get_time_byte */
/* time written by SD2000_Init after a power loss: 2006-10-04, Wednesday, 20:31:00 */
unsigned char g_sd2k_set_time[7] = {0x06, 0x10, 0x04, 0x03, 0x20, 0x31, 0x00};

unsigned char year1;
unsigned char month1;
unsigned char day1;
unsigned char hour1;
unsigned char minute1;
unsigned char second1;

static unsigned char date_text[11] = "2006-10-04";
static unsigned char time_text[9] = "20:31:00";
unsigned char *date = date_text;          /* "yyyy-mm-dd", refreshed by get_time_byte */
unsigned char *time = time_text;          /* "hh:mm:ss", refreshed by get_time_byte */

#define XTAL_HZ             $crystal_hz$UL  /* the project's crystal */
#define SD2K_STOP_WAIT      5000    /* x 10 us: a STOP takes one SCL period */

/* DDRx and PINx lie one and two addresses below PORTx on the ports that
   carry SCL and SDA (port C, or port D on the ATmega64/128) */
#define SD2K_DDR(port)      (*(&(port) - 1))
#define SD2K_PIN(port)      (*(&(port) - 2))

@include shared/bus_wait_10us.c prefix=sd2k

/* Waits until the STOP has left the bus; gives up when SCL or SDA is held low */
static void sd2k_stop(void)
{
   unsigned int n = SD2K_STOP_WAIT;
   twi_stop();
   while((TWCR & (1<<TWSTO)) && n--)
      sd2k_wait_10us(1);
}

@include shared/twi_bus_recover.c prefix=sd2k PREFIX=SD2K

//SD2000初始化: 设置总线速率; 芯片掉过电时复位, 设为24小时制并写入默认时间
void SD2000_Init(void)
{
   TWBR = TWBR_SELECT;
   sd2k_bus_recover();
   sd2k_wait_10us(100);                      /* 1 ms after power-up */
   SD2K_READ_STUSR();
   if(g_sd2k_return != SD2K_OK)
      return;
   if(g_sd2k_stusr & (STUSR_POC | STUSR_BLD))
   {
      SD2K_RESET();                          /* the reset command of the chip */
      sd2k_wait_10us(100);                   /* the reset takes about 0.5 ms */
      g_sd2k_stusr = STUSR_24H;
      SD2K_WRITE_STUSR();
      SD2K_SET_TIME(g_sd2k_set_time);
   }
   else if(!(g_sd2k_stusr & STUSR_24H))
   {
      g_sd2k_stusr = STUSR_24H;
      SD2K_WRITE_STUSR();
   }
   get_time_byte();
}

//字节位序颠倒(bit0<->bit7 ...), SD2000的数据低位在前
unsigned char invert(unsigned char data)
{
   unsigned char i;
   unsigned char out = 0;
   for(i = 0; i < 8; i++)
   {
      out = (unsigned char)((out << 1) | (data & 0x01));
      data >>= 1;
   }
   return out;
}

//二进制数(0~99)转换为BCD码
unsigned char byte_to_bcd(unsigned char data)
{
   return (unsigned char)(((data / 10) << 4) | (data % 10));
}

//BCD码转换为二进制数
unsigned char bcd_to_byte(unsigned char data)
{
   return (unsigned char)((data >> 4) * 10 + (data & 0x0F));
}

//一位数字(0~9)转换为ASCII字符
unsigned char int_to_asc(unsigned char data)
{
   return (unsigned char)(data + '0');
}

//读取当前时间到g_sd2k_read_time, 并更新year1~second1和date, time字符串
void get_time_byte(void)
{
   SD2K_READ_TIME(g_sd2k_read_time);
   if(g_sd2k_return != SD2K_OK)
      return;
   g_sd2k_read_time[hour] &= (unsigned char)~HOUR_PM;
   year1 = bcd_to_byte(g_sd2k_read_time[year]);
   month1 = bcd_to_byte(g_sd2k_read_time[month]);
   day1 = bcd_to_byte(g_sd2k_read_time[day]);
   hour1 = bcd_to_byte(g_sd2k_read_time[hour]);
   minute1 = bcd_to_byte(g_sd2k_read_time[minute]);
   second1 = bcd_to_byte(g_sd2k_read_time[second]);
   date[2] = int_to_asc(year1 / 10);
   date[3] = int_to_asc(year1 % 10);
   date[5] = int_to_asc(month1 / 10);
   date[6] = int_to_asc(month1 % 10);
   date[8] = int_to_asc(day1 / 10);
   date[9] = int_to_asc(day1 % 10);
   time[0] = int_to_asc(hour1 / 10);
   time[1] = int_to_asc(hour1 % 10);
   time[3] = int_to_asc(minute1 / 10);
   time[4] = int_to_asc(minute1 % 10);
   time[6] = int_to_asc(second1 / 10);
   time[7] = int_to_asc(second1 % 10);
}

//SD2000命令传输: SLA为命令(最低位1为读), 读写data中的nSize个字节; 成功返回0
unsigned char SD2K_TWI (unsigned char SLA,unsigned char* data, unsigned char nSize)
{
   unsigned char st = twi_start();
   unsigned char i;
   unsigned char dummy;
   if(st != TW_START && st != TW_REP_START)
   {
      sd2k_stop();
      return SD2K_ERR_START;
   }
   if(SLA & TW_READ)
   {
      if(twi_writebyte(SLA) != TW_MR_SLA_ACK)
      {
         sd2k_stop();
         return SD2K_ERR_ADDRESS;
      }
      if(nSize == 0)                           /* a read must take at least one byte */
         twi_readbyte(&dummy, 0);
      for(i = 0; i < nSize; i++)
      {
         st = twi_readbyte(&data[i], i + 1 < nSize);
         data[i] = invert(data[i]);
         if(st != TW_MR_DATA_ACK && st != TW_MR_DATA_NACK)
         {
            sd2k_stop();
            return SD2K_ERR_DATA;
         }
      }
   }
   else
   {
      if(twi_writebyte(SLA) != TW_MT_SLA_ACK)
      {
         sd2k_stop();
         return SD2K_ERR_ADDRESS;
      }
      for(i = 0; i < nSize; i++)
      {
         if(twi_writebyte(invert(data[i])) != TW_MT_DATA_ACK)
         {
            sd2k_stop();
            return SD2K_ERR_DATA;
         }
      }
   }
   sd2k_stop();
   return SD2K_OK;
}

//把7字节BCD时间(年月日星期时分秒)转换为"20yy-mm-dd hh:mm:ss"字符串(20字节)
void SD2K_SHOW_TIME(unsigned char* source_time, unsigned char* show_time)
{
   static const unsigned char fields[6] = {year, month, day, hour, minute, second};
   static const char marks[6] = {'-', '-', ' ', ':', ':', 0};
   unsigned char i;
   unsigned char bcd;
   unsigned char at = 2;
   show_time[0] = '2';
   show_time[1] = '0';
   for(i = 0; i < 6; i++)
   {
      bcd = source_time[fields[i]];
      if(fields[i] == hour)
         bcd &= (unsigned char)~HOUR_PM;
      show_time[at++] = int_to_asc(bcd >> 4);
      show_time[at++] = int_to_asc(bcd & 0x0F);
      show_time[at++] = marks[i];
   }
}
