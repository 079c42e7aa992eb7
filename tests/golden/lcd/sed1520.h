#ifndef	__LCD__H
#define	__LCD__H

/*SED1520 122*32 LCD C语言驱动
LCD引脚定义
1---VSS 
2---VDD
3---VEE
4---A0
5---E1
6---E2
7---NC
8---NC
9---R/W
10到17 D0-D7
18--RES
19--BL-
20--BL+*/

/*  常量定义  */
#define  LCD_DISPLAY_ON  0xaf
#define  LCD_DISPLAY_OFF 0xae
#define  LCD_STARTLINE0  0xc0
#define  LCD_PAGE0       0xb8
#define  LCD_COLUMNADDR0 0x00

#define  LCD_SET_ADC_NOR 0xa0  /* ADC set for normal direction */
#define  LCD_SET_ADC_REV 0xa1  /* ADC set for reverse direction */
#define  LCD_DRIVER_ON   0xa5
#define  LCD_DRIVER_OFF  0xa4
#define  LCD_DUTY16      0xa8
#define  LCD_DUTY32      0xa9
#define  LCD_END         0xee
#define  LCD_RESET       0xe2
#define  LCD_RWMODE      0xe0

#define  TIME  10 

//定义MCU与LCD的接口
#define  LCD_OP_PORT     PORTB
#define  LCD_DDR_PORT    DDRB
#define  LCD_IP_PORT     PINB

#define  LCD_A0_DDR      DDRC
#define  LCD_A0_PORT     PORTC
#define  LCD_A0_BIT      (1<<PC0)
#define  LCD_RW_DDR      DDRC
#define  LCD_RW_PORT     PORTC
#define  LCD_RW_BIT      (1<<PC1)
#define  LCD_RST_DDR     DDRC
#define  LCD_RST_PORT    PORTC
#define  LCD_RST_BIT     (1<<PC2)
#define  LCD_E1_DDR      DDRC
#define  LCD_E1_PORT     PORTC
#define  LCD_E1_BIT      (1<<PC3)
#define  LCD_E2_DDR      DDRC
#define  LCD_E2_PORT     PORTC
#define  LCD_E2_BIT      (1<<PC4)

#define  SET_LCD_A0     LCD_A0_PORT |= LCD_A0_BIT     //数据模式
#define  CLEAR_LCD_A0   LCD_A0_PORT &= ~LCD_A0_BIT    //指令模式
#define  SET_LCD_RST    LCD_RST_PORT |= LCD_RST_BIT   //复位结束
#define  CLEAR_LCD_RST  LCD_RST_PORT &= ~LCD_RST_BIT  //复位
#define  SET_LCD_READ   LCD_RW_PORT |= LCD_RW_BIT     //读模式
#define  SET_LCD_WRITE  LCD_RW_PORT &= ~LCD_RW_BIT    //写模式
#define  SET_LCD_E1     LCD_E1_PORT |= LCD_E1_BIT     //左半屏选择禁止
#define  CLEAR_LCD_E1   LCD_E1_PORT &= ~LCD_E1_BIT    //左半屏选择使能
#define  SET_LCD_E2     LCD_E2_PORT |= LCD_E2_BIT     //右半屏选择禁止
#define  CLEAR_LCD_E2   LCD_E2_PORT &= ~LCD_E2_BIT    //右半屏选择使能

#define  LCD_ON()                LCD122x32_Command(LCD_DISPLAY_ON)
#define  LCD_OFF()               LCD122x32_Command(LCD_DISPLAY_OFF)
#define  LCD_StaticON()          LCD122x32_Command(LCD_DRIVER_ON)
#define  LCD_StaticOFF()         LCD122x32_Command(LCD_DRIVER_OFF)
#define  LCD_Select16()          LCD122x32_Command(LCD_DUTY16)
#define  LCD_Select32()          LCD122x32_Command(LCD_DUTY32)
#define  LCD_StartRW()           LCD122x32_Command(LCD_RWMODE)
#define  LCD_EndRW()             LCD122x32_Command(LCD_END)
#define  LCD_Reset()             LCD122x32_Command(LCD_RESET)
#define  LCD_SetStartLine(i)     LCD122x32_Command(LCD_STARTLINE0+i)
#define  LCD122x32_SetPage(i)    LCD122x32_Command(LCD_PAGE0+i)
#define  LCD122x32_SetColumn(i)  LCD122x32_Command(LCD_COLUMNADDR0+i)

//函数声明
void  LCD_Init(void); /*初始化函数*/
void  LCD122x32_Command(unsigned char nCommand) ;
void  LCD122x32_SetRam(unsigned char bChip2,unsigned char ndata); 
void  LCD122x32_Write(unsigned char npage,unsigned char ncolumn,unsigned char ndata);
void  LCD122x32_PageWrite(unsigned char npage,unsigned char *ndata);
unsigned char *GetTextFont(unsigned char index);
void  LCD122x32_TextOut(unsigned char x,unsigned char y,unsigned char *szText);
unsigned char GetIndex(unsigned char szText);
void  Printf(unsigned char x,unsigned char y,unsigned char *szText);

//全局变量声明
extern unsigned char ASCII[][6];

#endif
