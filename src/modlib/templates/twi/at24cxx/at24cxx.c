/*
 * AT24Cxx serial EEPROM on the TWI bus, through the polled routines of twi.c.
 *
 * Supported: the types with two address bytes, AT24C32, C64, C128, C256 and
 * C512, at device address CHIPADDR (A2..A0 tied low). The one-address-byte
 * types AT24C01 ... AT24C16 are NOT supported: they take the high address
 * bits in the device address and would be written at the wrong place.
 *
 * A write ends with the chip's internal write cycle (tWR, at most 10 ms),
 * waited out by acknowledge polling: the chip answers its address again
 * only when it is done. The polling is bounded by time, counted by a loop
 * calibrated from the crystal, so it holds however fast delay.c runs.
 * Page writes go in 32-byte pieces that never cross a 32-byte boundary:
 * the AT24C32/C64 have 32-byte pages (PAGESIZE 64 fits only the C128/C256)
 * and a write running past the end of a page wraps to its start.
 */
#include <macros.h>
#include "twi.h"
#include "at24cxx.h"
#include "delay.h"

#define XTAL_HZ             $crystal_hz$UL  /* the project's crystal */
#define AT24_SLA_W          (CHIPADDR | TW_WRITE)
#define AT24_SLA_R          (CHIPADDR | TW_READ)
#define AT24_CHUNK          32      /* page size of the AT24C32/C64, a divisor of every larger page */
#define AT24_POLL_ROUNDS    120     /* 120 x 100 us: past tWR (10 ms) with room to spare */
#define AT24_STOP_WAIT      5000    /* x 10 us: a STOP takes one SCL period */

/* DDRx and PINx lie one and two addresses below PORTx on the ports that
   carry SCL and SDA (port C, or port D on the ATmega64/128) */
#define AT24_DDR(port)      (*(&(port) - 1))
#define AT24_PIN(port)      (*(&(port) - 2))

@include shared/bus_wait_10us.c prefix=at24

/* Waits until a STOP has left the bus (a START written earlier would be
   lost); gives up when SCL or SDA is held low */
static void at24_stop(void)
{
   unsigned int n = AT24_STOP_WAIT;
   twi_stop();
   while((TWCR & (1<<TWSTO)) && n--)
      at24_wait_10us(1);
}

@include shared/twi_bus_recover.c prefix=at24 PREFIX=AT24

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

/* Acknowledge polling after a write: ends when the write cycle is over, or
   after more than tWR when the chip never answers */
static void at24_wait_ready(void)
{
   unsigned char rounds = AT24_POLL_ROUNDS;
   unsigned char st;
   while(rounds--)
   {
      st = twi_start();
      if((st == TW_START || st == TW_REP_START) && twi_writebyte(AT24_SLA_W) == TW_MT_SLA_ACK)
         break;
      at24_stop();
      at24_wait_10us(10);
   }
   at24_stop();
}

//AT24Cxx初始化: 等待芯片上电完成, 释放被卡住的总线并结束总线上可能未完成的操作
void AT24Cxx_Init(void)
{
   at24_wait_10us(1000);      /* power-up to first access, 10 ms */
   at24_bus_recover();
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

//从地址ad开始写入num个字节, 按32字节对齐分段写入(适用于AT24C32~AT24C512)
void TWIWriteBytes(unsigned int ad,unsigned char*p,unsigned char num)
{
   unsigned char room;
   unsigned char i;
   while(num)
   {
      room = AT24_CHUNK - (unsigned char)(ad % AT24_CHUNK);   /* bytes left in this piece */
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
