/*
 * ZLG7290 LED display and keyboard controller on the TWI bus, driven by the
 * TWI interrupt: a transfer is described in strTWI and ZLG7290_Isr walks it
 * through its steps (ST_ values of zlg7290.h), one step per TWI interrupt,
 * retrying a failed transfer up to FAIL_MAX times. twi.h binds ZLG7290_Isr
 * to the TWI interrupt.
 *
 * The ZLG7290 takes at most 32 kHz on SCL, so ZLG7290_Init slows the bus
 * down to ZLG7290_SCL_HZ for the project's crystal, written in below when
 * the project was generated. The chip answers 300 ms after power-up and
 * needs 100 us between two accesses; these pauses are counted by a loop
 * calibrated from the same crystal, so they hold whatever delay.c does. A
 * transfer that cannot end (a bus held low) gives up. Digits are
 * numbered 0..7 from DpRam0; numbers are shown from digit x on, most
 * significant digit first.
 */
#include <macros.h>
#include "twi.h"
#include "zlg7290.h"
#include "delay.h"

#define XTAL_HZ             $crystal_hz$UL  /* the project's crystal */
#define ZLG7290_STOP_WAIT   5000    /* x 10 us: a STOP takes one SCL period */

/* DDRx and PINx lie one and two addresses below PORTx on the ports that
   carry SCL and SDA (port C, or port D on the ATmega64/128) */
#define ZLG7290_DDR(port)   (*(&(port) - 1))
#define ZLG7290_PIN(port)   (*(&(port) - 2))

#define ZLG7290_XFER_WAIT   50000U          /* x 10 us = 500 ms: a transfer with all its retries takes < 100 ms */
#define ZLG7290_SCL_HZ      30000UL         /* below the chip's 32 kHz limit */
/* SCL = XTAL_HZ / (16 + 2 * TWBR * 4^TWPS): the smallest prescaler whose
   TWBR fits, TWBR rounded up so that SCL stays at or below ZLG7290_SCL_HZ,
   and no lower than 10, the least the TWI master takes */
#define ZLG7290_DIV         ((XTAL_HZ + ZLG7290_SCL_HZ - 1) / ZLG7290_SCL_HZ - 16)
#define ZLG7290_TWBR_AT(p)  ((ZLG7290_DIV + 2 * (p) - 1) / (2 * (p)))
#if ZLG7290_TWBR_AT(1) <= 255
#define ZLG7290_TWPS        0
#define ZLG7290_TWBR_CALC   ZLG7290_TWBR_AT(1)
#elif ZLG7290_TWBR_AT(4) <= 255
#define ZLG7290_TWPS        1
#define ZLG7290_TWBR_CALC   ZLG7290_TWBR_AT(4)
#else
#define ZLG7290_TWPS        2
#define ZLG7290_TWBR_CALC   ZLG7290_TWBR_AT(16)
#endif
#define ZLG7290_TWBR        (ZLG7290_TWBR_CALC < 10 ? 10 : ZLG7290_TWBR_CALC)
#define ZLG7290_PAUSE       10              /* x 10 us between two accesses */

/* Commands written to ZLG7290_CmdBuf0 / CmdBuf1 */
#define ZLG7290_CMD_SEGMENT     0x01        /* CmdBuf1: bit 7 on/off, bits 5..0 segment */
#define ZLG7290_CMD_DOWNLOAD    0x60        /* | digit; CmdBuf1: dp<<7 | flash<<6 | code */
#define ZLG7290_CMD_FLASH       0x70        /* CmdBuf1: one bit a digit */
#define ZLG7290_BLANK_CODE      0x1F        /* download code of a dark digit */

#define ZLG7290_DIGITS          8

struct str_TWI strTWI;

static unsigned char s_read;                /* 1: the transfer reads */
static unsigned char *s_buf;                /* the transfer as asked, for retries */
static unsigned int s_len;

@include shared/bus_wait_10us.c prefix=zlg
@include shared/twi_bus_recover.c prefix=zlg PREFIX=ZLG7290

/* Ends the transfer: STOP, interrupt off, result in STATUS */
static void zlg_finish(unsigned char status)
{
   TWCR = (1<<TWINT)|(1<<TWEN)|(1<<TWSTO);
   strTWI.STATE = status == TW_OK ? ST_START : ST_FAIL;
   strTWI.STATUS = status;
}

/* A failed step: STOP, then START again unless the retries are used up */
static void zlg_retry(void)
{
   if(++strTWI.FAILCNT >= FAIL_MAX)
   {
      zlg_finish(TW_FAIL);
      return;
   }
   strTWI.pBUF = s_buf;
   strTWI.DATALEN = s_len;
   strTWI.STATE = ST_START;
   TWCR = TW_ACT|(1<<TWSTO)|(1<<TWSTA);     /* STOP followed by START */
}

/* Sends the next data byte or ends a write */
static void zlg_write_next(void)
{
   if(strTWI.DATALEN)
   {
      TWDR = *strTWI.pBUF++;
      strTWI.DATALEN--;
      strTWI.STATE = ST_WDATA;
      TWCR = TW_ACT;
   }
   else
      zlg_finish(TW_OK);
}

/* One step of the transfer; called for every TWI interrupt */
static void zlg_step(void)
{
   unsigned char status = TW_STATUS;
   switch(strTWI.STATE)
   {
   case ST_START:
      if(status != TW_START && status != TW_REP_START)
         break;
      TWDR = strTWI.SLA & 0xFE;
      strTWI.STATE = ST_SLAW;
      TWCR = TW_ACT;
      return;
   case ST_SLAW:
      if(status != TW_MT_SLA_ACK)
         break;
      TWDR = (unsigned char)strTWI.ADDR;
      strTWI.STATE = ST_WADDR;
      TWCR = TW_ACT;
      return;
   case ST_WADDR:
      if(status != TW_MT_DATA_ACK)
         break;
      if(s_read)
      {
         strTWI.STATE = ST_RESTART;
         TWCR = TW_ACT|(1<<TWSTA);
      }
      else
         zlg_write_next();
      return;
   case ST_WDATA:
      if(status != TW_MT_DATA_ACK)
         break;
      zlg_write_next();
      return;
   case ST_RESTART:
      if(status != TW_REP_START)
         break;
      TWDR = strTWI.SLA | 0x01;
      strTWI.STATE = ST_SLAR;
      TWCR = TW_ACT;
      return;
   case ST_SLAR:
      if(status != TW_MR_SLA_ACK)
         break;
      strTWI.STATE = ST_RDATA;
      TWCR = strTWI.DATALEN > 1 ? (TW_ACT|(1<<TWEA)) : (TW_ACT);   /* NACK the last byte */
      return;
   case ST_RDATA:
      if(status != TW_MR_DATA_ACK && status != TW_MR_DATA_NACK)
         break;
      *strTWI.pBUF++ = TWDR;
      if(--strTWI.DATALEN == 0)
         zlg_finish(TW_OK);
      else
         TWCR = strTWI.DATALEN > 1 ? (TW_ACT|(1<<TWEA)) : (TW_ACT);
      return;
   default:
      break;
   }
   zlg_retry();
}

/* Starts a transfer and waits for its end. With interrupts off (inside a
   CLI section) the steps are run from here, so the call never hangs. */
static unsigned char zlg_transfer(unsigned char read, unsigned char addr, unsigned char *buf, unsigned int len)
{
   unsigned int n = ZLG7290_STOP_WAIT;
   if(len == 0)
      return TW_OK;
   while((TWCR & (1<<TWSTO)) && n--)         /* the last STOP must be out */
      zlg_wait_10us(1);
   zlg_wait_10us(ZLG7290_PAUSE);              /* the chip's pause after an access */
   s_read = read;
   s_buf = buf;
   s_len = len;
   strTWI.SLA = SLA_ZLG7290;
   strTWI.ADDR = addr;
   strTWI.pBUF = buf;
   strTWI.DATALEN = len;
   strTWI.FAILCNT = 0;
   strTWI.STATE = ST_START;
   strTWI.STATUS = TW_BUSY;
   TWCR = TW_ACT|(1<<TWSTA);
   n = ZLG7290_XFER_WAIT;
   while(strTWI.STATUS == TW_BUSY)
   {
      if(!(SREG & 0x80) && (TWCR & (1<<TWINT)))
         zlg_step();
      else if(n--)
         zlg_wait_10us(1);
      else
      {
         TWCR = (1<<TWEN);                    /* the bus is held: interrupt off, give up */
         strTWI.STATE = ST_FAIL;
         strTWI.STATUS = TW_FAIL;
      }
   }
   return strTWI.STATUS;
}

static unsigned char zlg_write(unsigned char addr, unsigned char *buf, unsigned char len)
{
   return zlg_transfer(0, addr, buf, len);
}

//TWI中断服务程序: 执行当前读写操作的下一步
void ZLG7290_Isr(void)
{
   zlg_step();
}

#if defined(__GNUC__) && defined(__AVR__)
#include <avr/interrupt.h>
/* GCC has no interrupt_handler pragma: bind the vector here */
ISR(TWI_vect)
{
   ZLG7290_Isr();
}
#endif

//向ZLG7290写入命令: cmd0写入CmdBuf0, cmd1写入CmdBuf1; 成功返回TW_OK
unsigned char ZLG7290_cmd(unsigned char cmd0, unsigned char cmd1)
{
   unsigned char cmd[2];
   cmd[0] = cmd0;
   cmd[1] = cmd1;
   return zlg_write(ZLG7290_CmdBuf0, cmd, 2);
}

/* Download command: shows code (0..15 hex digit, 0x1F dark) on one digit */
static void zlg_digit(unsigned char digit, unsigned char code)
{
   if(digit < ZLG7290_DIGITS)
      ZLG7290_cmd(ZLG7290_CMD_DOWNLOAD | digit, code);
}

//ZLG7290初始化: 降低TWI速率, 打开中断, 扫描8位数码管并清除显示
void ZLG7290_Init(void)
{
   unsigned char scan = ZLG7290_DIGITS - 1;
   zlg_bus_recover();
   TWSR = ZLG7290_TWPS;
   TWBR = (unsigned char)ZLG7290_TWBR;
   TWCR = (1<<TWEN);
   SEI();                                     /* the driver works from the TWI interrupt */
   zlg_wait_10us(30000);                      /* the chip resets itself after power-up: 300 ms */
   zlg_write(ZLG7290_ScanNum, &scan, 1);
   ZLG7290_ClearAll();
}

//清除全部显示
void ZLG7290_ClearAll(void)
{
   unsigned char blank[ZLG7290_DIGITS];
   unsigned char i;
   for(i = 0; i < ZLG7290_DIGITS; i++)
      blank[i] = 0;
   zlg_write(ZLG7290_DpRam0, blank, ZLG7290_DIGITS);
}

//测试: 直接写显示缓存, 依次点亮每一位的各段
void Test_DispBuf(void)
{
   unsigned char seg[ZLG7290_DIGITS];
   unsigned char i;
   unsigned char k;
   for(k = 0; k < 8; k++)
   {
      for(i = 0; i < ZLG7290_DIGITS; i++)
         seg[i] = (unsigned char)(1 << k);
      zlg_write(ZLG7290_DpRam0, seg, ZLG7290_DIGITS);
      delay_nms(300);
   }
   ZLG7290_ClearAll();
}

//测试: 下载数据并译码, 显示0~F
void Test_Download(void)
{
   unsigned char i;
   for(i = 0; i < 16; i++)
   {
      zlg_digit(i % ZLG7290_DIGITS, i);
      delay_nms(200);
   }
   ZLG7290_ClearAll();
}

//测试: 改变扫描位数(1~8位)
void Test_ScanNum(void)
{
   unsigned char n;
   for(n = 0; n < ZLG7290_DIGITS; n++)
   {
      zlg_write(ZLG7290_ScanNum, &n, 1);
      delay_nms(300);
   }
}

//测试: 闪烁控制, 各位轮流闪烁
void Test_Flash(void)
{
   unsigned char i;
   for(i = 0; i < ZLG7290_DIGITS; i++)
      zlg_digit(i, 8);
   for(i = 0; i < ZLG7290_DIGITS; i++)
   {
      ZLG7290_Flash((unsigned char)(1 << i));
      delay_nms(800);
   }
   ZLG7290_Flash(0x00);
   ZLG7290_ClearAll();
}

//测试: 段寻址, 逐段点亮再逐段熄灭
void Test_SegOnOff(void)
{
   unsigned char s;
   ZLG7290_ClearAll();
   for(s = 0; s < 64; s++)
   {
      ZLG7290_cmd(ZLG7290_CMD_SEGMENT, 0x80 | s);
      delay_nms(50);
   }
   for(s = 0; s < 64; s++)
   {
      ZLG7290_cmd(ZLG7290_CMD_SEGMENT, s);
      delay_nms(50);
   }
}

/* Shows the lowest `count` digits of value in base `radix` from digit x on */
static void zlg_number(char x, unsigned long value, unsigned char count, unsigned char radix)
{
   unsigned char i = count;
   while(i--)
   {
      zlg_digit((unsigned char)(x + i), (unsigned char)(value % radix));
      value /= radix;
   }
}

//以十进制显示2位数(0~99), x为起始位
void DispValue2BIT(char x, unsigned char dat)
{
   zlg_number(x, dat, 2, 10);
}

//以十进制显示4位数(0~9999), x为起始位
void DispValue4BIT(char x, unsigned long int dat)
{
   zlg_number(x, dat, 4, 10);
}

//以十进制显示8位数, x为起始位
void DispValue8BIT(char x, unsigned long int dat)
{
   zlg_number(x, dat, 8, 10);
}

//以十六进制显示2位数, x为起始位
void DispHexValue2BIT(char x, unsigned char dat)
{
   zlg_number(x, dat, 2, 16);
}

//以十六进制显示4位数, x为起始位
void DispHexValue4BIT(char x, unsigned int dat)
{
   zlg_number(x, dat, 4, 16);
}

//以十六进制显示8位数(高位补0), x为起始位
void DispHexValue8BIT(char x, unsigned int dat)
{
   zlg_number(x, dat, 8, 16);
}
