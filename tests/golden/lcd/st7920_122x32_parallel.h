#ifndef	__LCD__H
#define	__LCD__H

/*ST7920 122*32 LCD C语言驱动
LCD引脚定义
1---VSS 
2---VCC
3---V0
4---RS
5---R/W
6---E
7到14 D0-D7
15--PSB
16--NC
17--/RST
18--NC
19--LEDK
20--LEDA*/

/* 定义颜色数据类型(可以是数据结构) */
#define  TCOLOR			unsigned char 

/* 定义LCM像素数宏 */
#define  GUI_LCM_XMAX		122	//   定义液晶x轴的像素数 *
#define  GUI_LCM_YMAX		32	//   定义液晶y轴的像素数 *

//定义MCU与LCD的接口
#define  data_out    PORTB
#define  data_ddr    DDRB
#define  data_in     PINB

#define  LCD_EN_DDR     DDRC
#define  LCD_EN_PORT    PORTC
#define  LCD_EN_BIT     (1<<PC0)
#define  LCD_RW_DDR     DDRC
#define  LCD_RW_PORT    PORTC
#define  LCD_RW_BIT     (1<<PC1)
#define  LCD_RS_DDR     DDRC
#define  LCD_RS_PORT    PORTC
#define  LCD_RS_BIT     (1<<PC2)
#define  LCD_PSB_DDR    DDRC
#define  LCD_PSB_PORT   PORTC
#define  LCD_PSB_BIT    (1<<PC3)
#define  LCD_RST_DDR    DDRC
#define  LCD_RST_PORT   PORTC
#define  LCD_RST_BIT    (1<<PC4)

#define  E_H            LCD_EN_PORT|=LCD_EN_BIT 
#define  E_L            LCD_EN_PORT&= ~LCD_EN_BIT 
#define  RW_H           LCD_RW_PORT|=LCD_RW_BIT 
#define  RW_L           LCD_RW_PORT&= ~LCD_RW_BIT 
#define  RS_H           LCD_RS_PORT|=LCD_RS_BIT 
#define  RS_L           LCD_RS_PORT&= ~LCD_RS_BIT 
#define  PSB_P          LCD_PSB_PORT|=LCD_PSB_BIT 
#define  PSB_S          LCD_PSB_PORT&= ~LCD_PSB_BIT 
#define  RST_H          LCD_RST_PORT|=LCD_RST_BIT 
#define  RST_L          LCD_RST_PORT&= ~LCD_RST_BIT 

//函数声明
void LCD_command(unsigned char com_data);
void LCD_Init(void);
void LCD_chinese(unsigned char out_addr,unsigned char *out_data);
void LCD_ascii(unsigned char out_addr,unsigned char *out_data);
void LCD_pic_init(void);
void LCD_pic_clear(void);
void LCD_pic_all(unsigned char *out_data);
void LCD_pic_part(unsigned char x,unsigned char y,unsigned char *out_data);
void LCD_pic_point(unsigned char x,unsigned char y);
void LCD_pic_line(unsigned char x1,unsigned char y1,unsigned char x2,unsigned char y2);

//全局变量声明
extern unsigned char hanzi1[];
extern unsigned char hanzi2[];
extern unsigned char hanzi3[];
extern unsigned char hanzi4[];

#endif
