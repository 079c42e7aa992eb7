#ifndef	__VS1003__H
#define	__VS1003__H

//定义MCU与VS1003的接口
#define  VS1003_XRST_DDR      DDRB
#define  VS1003_XRST_PORT     PORTB
#define  VS1003_XRST_BIT      (1<<PB0)
#define  VS1003_DREQ_DDR      DDRB
#define  VS1003_DREQ_PORT     PORTB
#define  VS1003_DREQ_PIN      PINB
#define  VS1003_DREQ_BIT      (1<<PB1)
#define  VS1003_XDCS_DDR      DDRB
#define  VS1003_XDCS_PORT     PORTB
#define  VS1003_XDCS_BIT      (1<<PB2)
#define  VS1003_XCS_DDR       DDRB
#define  VS1003_XCS_PORT      PORTB
#define  VS1003_XCS_BIT       (1<<PB3)

#define  VS1003_XRST_H      VS1003_XRST_PORT |= VS1003_XRST_BIT      //
#define  VS1003_XRST_L      VS1003_XRST_PORT &= ~VS1003_XRST_BIT     //
#define  VS1003_DREQ_H      VS1003_DREQ_PORT |= VS1003_DREQ_BIT      //
#define  VS1003_DREQ_L      VS1003_DREQ_PORT &= ~VS1003_DREQ_BIT     //
#define  VS1003_XDCS_H      VS1003_XDCS_PORT |= VS1003_XDCS_BIT      //
#define  VS1003_XDCS_L      VS1003_XDCS_PORT &= ~VS1003_XDCS_BIT     //
#define  VS1003_XCS_H       VS1003_XCS_PORT |= VS1003_XCS_BIT        //
#define  VS1003_XCS_L       VS1003_XCS_PORT &= ~VS1003_XCS_BIT       //

//函数声明
void VS1003_data_write(unsigned char data);
void VS1003_cmd_write(unsigned char address,unsigned int data);
unsigned int VS1003_read(unsigned char address);
void VS1003_Init(void);

#endif
