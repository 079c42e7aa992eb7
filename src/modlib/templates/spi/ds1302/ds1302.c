/*
 * DS1302 real-time clock on the hardware SPI pins.
 *
 * Wiring: CE on the SS pin of the SPI port (an ordinary output here), SCLK
 * on SCK, the DS1302 I/O line on MISO, and MOSI tied to MISO through a 10K
 * resistor so that the DS1302 can overdrive it while it answers.
 * The DS1302 shifts data LSB first, takes bits on the rising edge of SCLK
 * and puts its own bits out on the falling edge: SPI mode 0 with DORD set.
 * Its clock must stay below 2 MHz at 5 V (500 kHz at 2 V), so every access
 * runs at fosc/16 and the SPI settings of the project are restored after it.
 * A battery keeps the DS1302 counting while the MCU is off, so the first
 * DS1302_Init after a reset sets the clock only when it is halted (CH set:
 * it lost power, or was never started); every later call sets it.
 */
#include <macros.h>
#include "spi.h"
#include "ds1302.h"
#include "delay.h"

#define XTAL_HZ         $crystal_hz$UL      /* the project's crystal */

/* SPI set-up used while talking to the DS1302: enable, master, LSB first, fosc/16 */
#define DS1302_SPCR     ((1<<SPE)|(1<<MSTR)|(1<<DORD)|(1<<SPR0))

/* The RAM byte check_RTC writes and reads back to find the chip */
#define DS1302_PROBE_RAM    30
#define DS1302_PROBE_VALUE  0xA5

unsigned char DS1302_EXIST;                   /* 1 when check_RTC found the chip */
static unsigned char started;                 /* DS1302_Init has run since the reset */
/* Start time in burst order: second, minute, hour, day, month, weekday, year,
   control. 2005-10-06 23:59:50, Thursday, write protect on afterwards. */
unsigned char INITDATE[8] = {0x50, 0x59, 0x23, 0x06, 0x10, 0x04, 0x05, CFG_PROTECT};
unsigned char CURDATE[7];                     /* last read time, burst order, BCD */
unsigned char sCURDATE[32];                   /* "2005-10-06 23:59:50 星期四" */
unsigned char sWEEK[8];                       /* weekday name of the last read */
unsigned char str1[20];                       /* "05-10-06 23:59:50" for displays */

static unsigned char saved_spcr;
static unsigned char saved_spsr;

/* Waits at least 4 us, whatever the compiler: the counter is volatile, and
   one round of the loop takes no fewer than 4 cycles */
static void ds1302_wait_4us(void)
{
   volatile unsigned char rounds;
   for(rounds = (unsigned char)(XTAL_HZ / 1000000UL + 1); rounds; rounds--)
      ;
}

/* Claims the SPI port for the DS1302 and raises CE */
static void ds1302_begin(void)
{
   saved_spcr = SPCR;
   saved_spsr = SPSR;
   PORT_SPI &= ~(1<<DD_SS);                   /* CE low before the lines change */
   DDR_SPI |= (1<<DD_SS)|(1<<DD_MOSI)|(1<<DD_SCK);
   DDR_SPI &= ~(1<<DD_MISO);
   PORT_SPI &= ~(1<<DD_SCK);                  /* SCLK must be low when CE rises */
   SPCR = DS1302_SPCR;
   SPSR = 0x00;
   PORT_SPI |= (1<<DD_SS);                    /* CE high */
   ds1302_wait_4us();                         /* tCC: CE to first SCLK edge, 4 us at 2 V */
}

/* Drops CE and gives the SPI port back */
static void ds1302_end(void)
{
   PORT_SPI &= ~(1<<DD_SS);
   ds1302_wait_4us();                         /* tCWH: CE inactive time, 4 us at 2 V */
   SPCR = saved_spcr;
   SPSR = saved_spsr & (1<<SPI2X);
}

static unsigned char ds1302_exchange(unsigned char out)
{
   SPDR = out;
   while(!(SPSR & (1<<SPIF)));
   return SPDR;
}

//通过SPI对DS1302读写一个字节: command为命令字(最低位为1时读), wdata为写入的数据
//返回读到的数据(写操作时返回0)
unsigned char Single_SPI(unsigned char command,unsigned char wdata)
{
   unsigned char rdata = 0;
   ds1302_begin();
   ds1302_exchange(command);
   if(command & CMD_READ)
      rdata = ds1302_exchange(0xFF);          /* MOSI idles high; the 10K lets the DS1302 drive I/O */
   else
      ds1302_exchange(wdata);
   ds1302_end();
   return rdata;
}

//通过SPI对DS1302读写一块数据(突发模式): 读时结果存入prdata, 写时从pwdata取数据
void Burst_SPI(unsigned char CMD,unsigned char len,unsigned char *pwdata,unsigned char *prdata)
{
   unsigned char i;
   ds1302_begin();
   ds1302_exchange(CMD);
   for(i = 0; i < len; i++)
   {
      if(CMD & CMD_READ)
         prdata[i] = ds1302_exchange(0xFF);
      else
         ds1302_exchange(pwdata[i]);
   }
   ds1302_end();
}

//检测DS1302是否存在: 写一个RAM字节再读回(之后恢复原值), 存在返回1, 否则返回0
unsigned char check_RTC(void)
{
   unsigned char found;
   unsigned char kept = Single_SPI(CMD_RAM_BASE|(DS1302_PROBE_RAM<<1)|CMD_READ, 0);
   Single_SPI(CMD_CONTROL|CMD_WRITE, CFG_UNPROTECT);
   Single_SPI(CMD_RAM_BASE|(DS1302_PROBE_RAM<<1)|CMD_WRITE, DS1302_PROBE_VALUE);
   found = Single_SPI(CMD_RAM_BASE|(DS1302_PROBE_RAM<<1)|CMD_READ, 0) == DS1302_PROBE_VALUE;
   if(found)
   {
      Single_SPI(CMD_RAM_BASE|(DS1302_PROBE_RAM<<1)|CMD_WRITE, (unsigned char)~DS1302_PROBE_VALUE);
      found = Single_SPI(CMD_RAM_BASE|(DS1302_PROBE_RAM<<1)|CMD_READ, 0) == (unsigned char)~DS1302_PROBE_VALUE;
   }
   Single_SPI(CMD_RAM_BASE|(DS1302_PROBE_RAM<<1)|CMD_WRITE, kept);   /* the byte is the user's */
   Single_SPI(CMD_CONTROL|CMD_WRITE, CFG_PROTECT);
   DS1302_EXIST = found;
   return found;
}

//DS1302初始化: 关闭涓流充电, 把时间设为2005年10月06日23时59分50秒 星期四
//复位后的第一次调用只在时钟停振(CH=1, 掉过电)时设置, 以保留电池维持的时间
void DS1302_Init(void)
{
   unsigned char first = !started;
   started = 1;
   if(first && !(Single_SPI(CMD_SECOND|CMD_READ, 0) & CFG_CLOCK_HALT))
      return;                                 /* running on its battery: keep its time and charger */
   Single_SPI(CMD_CONTROL|CMD_WRITE, CFG_UNPROTECT);       /* writes need WP cleared first */
   Single_SPI(CMD_TRICKLE_CHARGE|CMD_WRITE, CFG_TC_DISABLED);
   /* A clock burst must write all eight registers; the last one sets WP again */
   Burst_SPI(CMD_CLOCK_BURST|CMD_WRITE, 8, INITDATE, 0);
}

//压缩BCD码转换为两个ASCII字符, 存入pstr[0]和pstr[1]
void BCDtoASCII(unsigned char cBCD,unsigned char *pstr)
{
   pstr[0] = '0' + ((cBCD >> 4) & 0x0F);
   pstr[1] = '0' + (cBCD & 0x0F);
}

//星期(0~7, 0和7都是星期日)转换为中文名称, 存入pstr
void decodeWEEK(unsigned char WEEK,unsigned char *pstr)
{
   static const char names[] = "日一二三四五六日";  /* two bytes a name */
   unsigned char i = 0;
   const char *p = "星期";
   if(WEEK > 7)
      WEEK = 0;
   while(*p)
      pstr[i++] = *p++;
   pstr[i++] = names[WEEK * 2];
   pstr[i++] = names[WEEK * 2 + 1];
   pstr[i] = 0;
}

/* Copies a zero-terminated text into dst; returns the position after it */
static unsigned char append_text(unsigned char *dst, unsigned char at, const unsigned char *src)
{
   while(*src)
      dst[at++] = *src++;
   dst[at] = 0;
   return at;
}

/* The hour register as a 24 hour BCD hour; in 12 hour mode (bit 7) bit 5
   is PM: 12 AM is 00, 11 PM is 23 */
static unsigned char hour24(unsigned char reg)
{
   unsigned char h;
   if(!(reg & CFG_12_24))
      return reg & 0x3F;
   h = (unsigned char)(((reg >> 4) & 0x01) * 10 + (reg & 0x0F)) % 12;
   if(reg & CFG_AM_PM)
      h += 12;
   return (unsigned char)(((h / 10) << 4) | (h % 10));
}

/* Writes "yy-mm-dd hh:mm:ss" of CURDATE to dst (18 bytes with the end mark) */
static void format_short(unsigned char *dst)
{
   BCDtoASCII(CURDATE[6], dst);               /* year */
   dst[2] = '-';
   BCDtoASCII(CURDATE[4], dst + 3);           /* month */
   dst[5] = '-';
   BCDtoASCII(CURDATE[3], dst + 6);           /* day */
   dst[8] = ' ';
   BCDtoASCII(hour24(CURDATE[2]), dst + 9);   /* hour, always shown 24 hour */
   dst[11] = ':';
   BCDtoASCII(CURDATE[1], dst + 12);          /* minute */
   dst[14] = ':';
   BCDtoASCII(CURDATE[0] & 0x7F, dst + 15);   /* second without the halt flag */
   dst[17] = 0;
}

//读取当前时间并解释: sCURDATE得到"20yy-mm-dd hh:mm:ss 星期x", str1得到短格式
void read_date(void)
{
   unsigned char at;
   read_date1();
   sCURDATE[0] = '2';
   sCURDATE[1] = '0';
   sCURDATE[2] = 0;
   at = append_text(sCURDATE, 2, str1);
   sCURDATE[at++] = ' ';
   decodeWEEK(CURDATE[5] & 0x07, sWEEK);
   append_text(sCURDATE, at, sWEEK);
}

//读取当前时间并解释: 突发读出时钟到CURDATE, str1得到"yy-mm-dd hh:mm:ss"
void read_date1(void)
{
   Burst_SPI(CMD_CLOCK_BURST|CMD_READ, 7, 0, CURDATE);
   format_short(str1);
}
