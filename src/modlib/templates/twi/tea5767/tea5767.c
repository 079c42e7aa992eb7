/*
 * TEA5767 FM radio tuner on the TWI bus, through the polled routines of twi.c.
 *
 * The chip has no register address: a write sends the five control bytes,
 * a read returns the five status bytes. The reference is the 32.768 kHz
 * crystal (XTAL = 1, PLLREF = 0) with high side injection, so the PLL word
 * is 4 * (f_RF + 225 kHz) / 32768 Hz. fre holds the station in units of
 * 10 kHz (8800 = 88.00 MHz).
 */
#include <macros.h>
#include "twi.h"
#include "tea5767.h"
#include "delay.h"

#define TEA5767_IF_HZ       225000UL    /* intermediate frequency */
#define TEA5767_REF_HZ      32768UL     /* crystal */
#define TEA5767_FRE_UNIT_HZ 10000UL     /* one step of fre */
#define TEA5767_FRE_MIN     8750        /* 87.5 MHz, Europe/US band */
#define TEA5767_FRE_MAX     10800       /* 108 MHz */

/* Write byte 1 */
#define TEA_MUTE            0x80
#define TEA_SM              0x40        /* search mode */
/* Write byte 3 */
#define TEA_SUD             0x80        /* search up */
#define TEA_SSL_MID         0x40        /* search stop level: mid */
#define TEA_HLSI            0x10        /* high side injection */
/* Write byte 4 */
#define TEA_STBY            0x40
#define TEA_XTAL            0x10        /* 32.768 kHz crystal */
#define TEA_HCC             0x04        /* high cut control */
#define TEA_SNC             0x02        /* stereo noise cancelling */
/* Write byte 5 */
#define TEA_DTC             0x40        /* de-emphasis 75 us (0: 50 us) */
/* Read bytes */
#define TEA_READY           0x80        /* byte 1: station found / band limit */
#define TEA_STEREO          0x80        /* byte 3 */

unsigned char senddata[5] ;             /* control bytes, written by TEA5767_Set */
unsigned char readdata[5] ;             /* status bytes, filled by TEA5767_Read */

unsigned int  pll = 10770;              /* 4 * (88 MHz + 225 kHz) / 32768 Hz, rounded */
unsigned int  fre = 8800;               /* 88.00 MHz */

#define XTAL_HZ             $crystal_hz$UL  /* the project's crystal */
#define TEA_STOP_WAIT       5000    /* x 10 us: a STOP takes one SCL period */

/* DDRx and PINx lie one and two addresses below PORTx on the ports that
   carry SCL and SDA (port C, or port D on the ATmega64/128) */
#define TEA_DDR(port)       (*(&(port) - 1))
#define TEA_PIN(port)       (*(&(port) - 2))

@include shared/bus_wait_10us.c prefix=tea

/* Waits until the STOP has left the bus; gives up when SCL or SDA is held low */
static void tea_stop(void)
{
   unsigned int n = TEA_STOP_WAIT;
   twi_stop();
   while((TWCR & (1<<TWSTO)) && n--)
      tea_wait_10us(1);
}

@include shared/twi_bus_recover.c prefix=tea PREFIX=TEA

//根据fre(单位10kHz)计算PLL值(高端注入, 32.768kHz晶振)
void calculate_pll(void)
{
   unsigned long hz;
   if(fre < TEA5767_FRE_MIN)
      fre = TEA5767_FRE_MIN;
   if(fre > TEA5767_FRE_MAX)
      fre = TEA5767_FRE_MAX;
   hz = (unsigned long)fre * TEA5767_FRE_UNIT_HZ + TEA5767_IF_HZ;
   pll = (unsigned int)((hz * 4UL + TEA5767_REF_HZ / 2) / TEA5767_REF_HZ);
}

//TEA5767初始化: 调谐到fre(默认88MHz), 立体声
void TEA5767_Init(void)
{
   tea_wait_10us(1000);                 /* power-up, 10 ms */
   tea_bus_recover();
   calculate_pll();
   TEA5767_Set();
}

//把fre对应的PLL和控制字写入TEA5767
void TEA5767_Set(void)
{
   unsigned char i;
   unsigned char st;
   calculate_pll();
   senddata[0] = (unsigned char)((pll >> 8) & 0x3F);
   senddata[1] = (unsigned char)pll;
   senddata[2] = TEA_SUD | TEA_SSL_MID | TEA_HLSI;
   senddata[3] = TEA_XTAL | TEA_HCC | TEA_SNC;
   senddata[4] = 0x00;                  /* PLLREF off, 50 us de-emphasis */
   st = twi_start();
   if((st == TW_START || st == TW_REP_START) && twi_writebyte(SLA_W) == TW_MT_SLA_ACK)
   {
      for(i = 0; i < 5; i++)
         if(twi_writebyte(senddata[i]) != TW_MT_DATA_ACK)
            break;
   }
   tea_stop();
}

//读取TEA5767的5个状态字节到readdata
void TEA5767_Read(void)
{
   unsigned char i;
   unsigned char st = twi_start();
   if((st == TW_START || st == TW_REP_START) && twi_writebyte(SLA_R) == TW_MR_SLA_ACK)
   {
      for(i = 0; i < 5; i++)
         twi_readbyte(&readdata[i], i < 4);   /* NACK the last byte */
   }
   tea_stop();
}
