#ifndef	__LCD__H
#define	__LCD__H

/*KS0108 128*64 LCD C语言驱动
LCD引脚定义
1---GND 
2---VCC
3---VLCD
4---D/I
5---R/W
6---E
7到14 D0-D7
15--CS1
16--CS2
17--RESET
18--VEE
19--SW
20--NC*/

/* 定义颜色数据类型(可以是数据结构) */
#define  TCOLOR			unsigned char 

/* 定义LCM像素数宏 */
#define  GUI_LCM_XMAX		128	//   定义液晶x轴的像素数 *
#define  GUI_LCM_YMAX		64	//   定义液晶y轴的像素数 *

/*  常量定义  */
#define  LCD_STATUS_BUSY 0x80
#define  START_LINE0     0xc0
#define  DISPLAY_ON      0x3f
#define  DISPLAY_OFF     0x3e
#define  PARA1           0x40
#define  LEFT  0
#define  RIGHT 1
#define  CMD   0
#define  DATA  1

//定义MCU与LCD的接口
#define  LCD_OP_PORT    PORTB
#define  LCD_DIR_PORT   DDRB
#define  LCD_IP_PORT    PINB

#define  LCD_RST_DDR    DDRC
#define  LCD_RST_PORT   PORTC
#define  LCD_RST_BIT    (1<<PC5)
#define  LCD_EN_DDR     DDRC
#define  LCD_EN_PORT    PORTC
#define  LCD_EN_BIT     (1<<PC0)
#define  LCD_RW_DDR     DDRC
#define  LCD_RW_PORT    PORTC
#define  LCD_RW_BIT     (1<<PC1)
#define  LCD_DI_DDR     DDRC
#define  LCD_DI_PORT    PORTC
#define  LCD_DI_BIT     (1<<PC2)
#define  LCD_CS1_DDR    DDRC
#define  LCD_CS1_PORT   PORTC
#define  LCD_CS1_BIT    (1<<PC3)
#define  LCD_CS2_DDR    DDRC
#define  LCD_CS2_PORT   PORTC
#define  LCD_CS2_BIT    (1<<PC4)

#define  SET_LCD_RST    LCD_RST_PORT |= LCD_RST_BIT   //复位结束
#define  CLEAR_LCD_RST  LCD_RST_PORT &= ~LCD_RST_BIT  //复位
#define  SET_LCD_E      LCD_EN_PORT |= LCD_EN_BIT     //使能信号高
#define  CLEAR_LCD_E    LCD_EN_PORT &= ~LCD_EN_BIT    //使能信号低
#define  SET_LCD_DATA   LCD_DI_PORT |= LCD_DI_BIT     //数据模式
#define  SET_LCD_CMD    LCD_DI_PORT &= ~LCD_DI_BIT    //指令模式
#define  SET_LCD_READ   LCD_RW_PORT |= LCD_RW_BIT     //读模式
#define  SET_LCD_WRITE  LCD_RW_PORT &= ~LCD_RW_BIT    //写模式
#define  SET_LCD_CS1    LCD_CS1_PORT |= LCD_CS1_BIT   //第1片选择禁止
#define  CLEAR_LCD_CS1  LCD_CS1_PORT &= ~LCD_CS1_BIT  //第1片选择使能
#define  SET_LCD_CS2    LCD_CS2_PORT |= LCD_CS2_BIT   //第2片选择禁止
#define  CLEAR_LCD_CS2  LCD_CS2_PORT &= ~LCD_CS2_BIT  //第2片选择使能

//函数声明
void LCD_reset(void);
void LCD_Init(void); /*初始化函数*/
void LCD_clr(void) ; /*清屏函数*/
void SetRowCol(unsigned char urow, unsigned char ucol); /* 设置当前显示的页和列 */
void disp_char(unsigned char c);
void disp_hz(unsigned char *hz);
void disp_str(unsigned char *p);
void GUI_Point(unsigned char xx,unsigned char yy,unsigned char flag);

#endif
