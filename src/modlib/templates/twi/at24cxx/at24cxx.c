/*
 * AT24Cxx serial EEPROM on the TWI bus, through the polled routines of twi.c.
 *
 * Types with two address bytes (AT24C32 ... AT24C512); device address
 * CHIPADDR with A2..A0 tied low. A write ends with the chip's internal
 * write cycle (tWR, at most 10 ms), which is waited out by acknowledge
 * polling: the chip answers its address again only when it is done.
 * Page writes never cross a PAGESIZE boundary, where the chip would wrap.
 */
#include <macros.h>
#include "twi.h"
#include "at24cxx.h"
#include "delay.h"

#define AT24_SLA_W          (CHIPADDR | TW_WRITE)
#define AT24_SLA_R          (CHIPADDR | TW_READ)
#define AT24_POLL_TRIES     20      /* each poll takes >20 ms in twi.c: well past tWR */

/* Waits until a STOP has left the bus; a START written earlier would be lost */
static void at24_stop(void)
{
   twi_stop();
   while(TWCR & (1<<TWSTO));
}

/* START, device address for writing and the two address bytes; 1 on success */
static unsigned char at24_address(unsigned int ad)
{
   unsigned char st = twi_start();
   if(st != TW_START && st != TW_REP_START)
      return 0;
   if(twi_writebyte(AT24_SLA_W) != TW_MT_SLA_ACK)
      return 0;
   if(twi_writebyte((unsigned char)(ad >> 8)) != TW_MT_DATA_ACK)
      return 0;
   if(twi_writebyte((unsigned char)ad) != TW_MT_DATA_ACK)
      return 0;
   return 1;
}

/* Acknowledge polling after a write: ends when the write cycle is over */
static void at24_wait_ready(void)
{
   unsigned char tries = AT24_POLL_TRIES;
   while(tries--)
   {
      unsigned char st = twi_start();
      if((st == TW_START || st == TW_REP_START) && twi_writebyte(AT24_SLA_W) == TW_MT_SLA_ACK)
         break;
   }
   at24_stop();
}

//AT24Cxx初始化: 等待芯片上电完成并结束总线上可能未完成的操作
void AT24Cxx_Init(void)
{
   delay_nms(10);             /* power-up to first access */
   at24_stop();
}

//向地址ad写入一个字节da
void TWIWrite(unsigned int ad,unsigned char da)
{
   if(at24_address(ad))
      twi_writebyte(da);
   at24_stop();
   at24_wait_ready();
}

//读取地址ad的一个字节(随机读), 失败时返回0xFF
unsigned char TWIRead(unsigned int ad)
{
   unsigned char da = 0xFF;
   unsigned char st;
   if(at24_address(ad))
   {
      st = twi_start();                          /* repeated START */
      if((st == TW_REP_START || st == TW_START) && twi_writebyte(AT24_SLA_R) == TW_MR_SLA_ACK)
         twi_readbyte(&da, 0);                   /* NACK: only one byte */
   }
   at24_stop();
   return da;
}

//从地址ad开始写入num个字节, 按页(PAGESIZE)分段写入
void TWIWriteBytes(unsigned int ad,unsigned char*p,unsigned char num)
{
   unsigned char room;
   unsigned char i;
   while(num)
   {
      room = PAGESIZE - (ad % PAGESIZE);         /* bytes left in this page */
      if(room > num)
         room = num;
      if(at24_address(ad))
      {
         for(i = 0; i < room; i++)
            if(twi_writebyte(p[i]) != TW_MT_DATA_ACK)
               break;
      }
      at24_stop();
      at24_wait_ready();                         /* the page is programmed after the STOP */
      p += room;
      ad += room;
      num -= room;
   }
}

//从地址ad开始连续读出num个字节到p, 读失败的字节为0xFF
void TWIReadBytes(unsigned int ad,unsigned char *p,unsigned char num)
{
   unsigned char i;
   unsigned char ok = 0;
   unsigned char st;
   if(num == 0)
      return;
   if(at24_address(ad))
   {
      st = twi_start();
      ok = (st == TW_REP_START || st == TW_START) && twi_writebyte(AT24_SLA_R) == TW_MR_SLA_ACK;
   }
   for(i = 0; i < num; i++)
   {
      p[i] = 0xFF;
      if(ok)                                     /* ACK every byte but the last */
         ok = twi_readbyte(&p[i], i + 1 < num) != TW_BUS_ERROR;
   }
   at24_stop();
}
