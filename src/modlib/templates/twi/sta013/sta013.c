/*
 * STA013 MPEG audio decoder: control port on the TWI bus.
 *
 * This module talks to the TWI registers directly, so it works whether or
 * not the project has the TWI driver. The STA013 answers at 0x86 (write) /
 * 0x87 (read) and reports 0xAC in its IDENT register. After a reset the
 * chip needs the maker's configuration table (register/value pairs) before
 * it decodes; STA013_Init loads the table handed to it, then starts the
 * decoder. Data is then fed on the serial input while DATA_REQ is active.
 * Every wait on the bus is bounded by time, counted by a loop calibrated
 * from the project's crystal, and STA013_Init first frees a bus that a
 * reset left stuck.
 */
#include <macros.h>

/* The TWI's pins, where the bus recovery clocks by hand: SCL PD0 and SDA
   PD1 on the chips with a second UART (ATmega64/128), SCL PC5 and SDA PC4
   on the ATmega8 (the one chip with a TWI and no port A), SCL PC0 and SDA
   PC1 on the others */
#if defined(UCSR1A)
#define TW_SCL_PORT         PORTD
#define TW_SCL_BIT          (1<<0)
#define TW_SDA_BIT          (1<<1)
#elif !defined(PORTA)
#define TW_SCL_PORT         PORTC
#define TW_SCL_BIT          (1<<5)
#define TW_SDA_BIT          (1<<4)
#else
#define TW_SCL_PORT         PORTC
#define TW_SCL_BIT          (1<<0)
#define TW_SDA_BIT          (1<<1)
#endif
#define TW_SDA_PORT         TW_SCL_PORT

/* The configuration table stays in program memory: the maker's full table
   is about 2,000 register/value pairs. ICC keeps const data there; avr-gcc
   needs __flash. */
#if defined(__GNUC__) && defined(__AVR__)
#define STA013_ROM          const __flash
#else
#define STA013_ROM          const
#endif

#define XTAL_HZ             $crystal_hz$UL  /* the project's crystal */
#define STA013_STOP_WAIT    5000    /* x 10 us: a STOP takes one SCL period */

/* DDRx and PINx lie one and two addresses below PORTx on the ports that
   carry SCL and SDA (port C, or port D on the ATmega64/128) */
#define STA013_DDR(port)    (*(&(port) - 1))
#define STA013_PIN(port)    (*(&(port) - 2))

@include shared/bus_wait_10us.c prefix=sta
#define STA013_BYTE_WAIT    2000    /* x 10 us: one byte takes 9 SCL periods */

#define STA013_SLA_W        0x86
#define STA013_SLA_R        0x87
#define STA013_IDENT_VALUE  0xAC

/* Registers */
#define STA013_REG_IDENT    0x01
#define STA013_REG_SOFT_RESET 0x10
#define STA013_REG_PLAY     0x13
#define STA013_REG_MUTE     0x14
#define STA013_REG_DLA      0x46        /* left attenuation, 0.5 dB steps */
#define STA013_REG_DRA      0x48        /* right attenuation */
#define STA013_REG_RUN      0x72

/* TWI status codes used here */
#define STA_START           0x08
#define STA_REP_START       0x10
#define STA_MT_SLA_ACK      0x18
#define STA_MT_DATA_ACK     0x28
#define STA_MR_SLA_ACK      0x40
#define STA_MR_DATA_NACK    0x58
#define STA_STATUS          (TWSR & 0xF8)

/* Waits for the end of a bus step; gives up on a stuck bus */
static unsigned char sta_wait(void)
{
   unsigned int n = STA013_BYTE_WAIT;
   while(!(TWCR & (1<<TWINT)))
   {
      if(!n--)
         return 0xFF;                   /* matches no status the driver expects */
      sta_wait_10us(1);
   }
   return STA_STATUS;
}

static unsigned char sta_start(void)
{
   TWCR = (1<<TWINT)|(1<<TWSTA)|(1<<TWEN);
   return sta_wait();
}

/* Waits until the STOP has left the bus; gives up when SCL or SDA is held low */
static void sta_stop(void)
{
   unsigned int n = STA013_STOP_WAIT;
   TWCR = (1<<TWINT)|(1<<TWSTO)|(1<<TWEN);
   while((TWCR & (1<<TWSTO)) && n--)
      sta_wait_10us(1);
}

@include shared/twi_bus_recover.c prefix=sta PREFIX=STA013

static unsigned char sta_send(unsigned char b)
{
   TWDR = b;
   TWCR = (1<<TWINT)|(1<<TWEN);
   return sta_wait();
}

//写STA013寄存器, 成功返回1
unsigned char STA013_WriteReg(unsigned char reg, unsigned char value)
{
   unsigned char ok = sta_start() == STA_START
                   && sta_send(STA013_SLA_W) == STA_MT_SLA_ACK
                   && sta_send(reg) == STA_MT_DATA_ACK
                   && sta_send(value) == STA_MT_DATA_ACK;
   sta_stop();
   return ok;
}

//读STA013寄存器, 失败时返回0xFF
unsigned char STA013_ReadReg(unsigned char reg)
{
   unsigned char value = 0xFF;
   if(sta_start() == STA_START
      && sta_send(STA013_SLA_W) == STA_MT_SLA_ACK
      && sta_send(reg) == STA_MT_DATA_ACK
      && sta_start() == STA_REP_START
      && sta_send(STA013_SLA_R) == STA_MR_SLA_ACK)
   {
      TWCR = (1<<TWINT)|(1<<TWEN);      /* one byte, NACK */
      if(sta_wait() == STA_MR_DATA_NACK)
         value = TWDR;
   }
   sta_stop();
   return value;
}

//检测STA013: IDENT寄存器为0xAC时返回1
unsigned char STA013_Check(void)
{
   return STA013_ReadReg(STA013_REG_IDENT) == STA013_IDENT_VALUE;
}

//STA013初始化: twbr为总线速率(TWBR), config为程序存储器中的寄存器/数值对表
//(avr-gcc: const __flash), pairs为对数; 软复位后载入配置表并启动解码; 成功返回1
unsigned char STA013_Init(unsigned char twbr, STA013_ROM unsigned char *config, unsigned int pairs)
{
   unsigned int i;
   sta_bus_recover();
   TWBR = twbr;
   TWSR = 0x00;
   TWCR = (1<<TWEN);
   if(!STA013_Check())
      return 0;
   STA013_WriteReg(STA013_REG_SOFT_RESET, 0x01);
   STA013_WriteReg(STA013_REG_SOFT_RESET, 0x00);
   for(i = 0; i < pairs; i++)
      if(!STA013_WriteReg(config[2 * i], config[2 * i + 1]))
         return 0;
   STA013_WriteReg(STA013_REG_MUTE, 0x00);
   STA013_WriteReg(STA013_REG_RUN, 0x01);
   STA013_WriteReg(STA013_REG_PLAY, 0x01);
   return 1;
}

//播放(play非0)或暂停
void STA013_Play(unsigned char play)
{
   STA013_WriteReg(STA013_REG_PLAY, play ? 0x01 : 0x00);
}

//设置音量衰减: 0为最大音量, 每级0.5dB
void STA013_SetAttenuation(unsigned char left, unsigned char right)
{
   STA013_WriteReg(STA013_REG_DLA, left);
   STA013_WriteReg(STA013_REG_DRA, right);
}
