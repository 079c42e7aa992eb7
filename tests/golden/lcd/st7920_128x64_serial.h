#ifndef	__LCD__H
#define	__LCD__H

/*ST7920 128*64 LCD C语言驱动
LCD引脚定义
1---VSS 
2---VCC
3---V0
4---CS
5---SID
6---SCLK
7到14 NC
15--PSB
16--NC
17--/RST
18--NC
19--LEDK
20--LEDA*/

/* 定义颜色数据类型(可以是数据结构) */
#define  TCOLOR			unsigned char 

/* 定义LCM像素数宏 */
#define  GUI_LCM_XMAX		128	//   定义液晶x轴的像素数 *
#define  GUI_LCM_YMAX		64	//   定义液晶y轴的像素数 *

//定义MCU与LCD的接口
#define  LCD_SCLK_DDR     DDRC
#define  LCD_SCLK_PORT    PORTC
#define  LCD_SCLK_BIT     (1<<PC0)
#define  LCD_SID_DDR     DDRC
#define  LCD_SID_PORT    PORTC
#define  LCD_SID_BIT     (1<<PC1)
#define  LCD_CS_DDR     DDRC
#define  LCD_CS_PORT    PORTC
#define  LCD_CS_BIT     (1<<PC2)
#define  LCD_PSB_DDR    DDRC
#define  LCD_PSB_PORT   PORTC
#define  LCD_PSB_BIT    (1<<PC3)
#define  LCD_RST_DDR    DDRC
#define  LCD_RST_PORT   PORTC
#define  LCD_RST_BIT    (1<<PC4)

#define  SCLK_H         LCD_SCLK_PORT|=LCD_SCLK_BIT 
#define  SCLK_L         LCD_SCLK_PORT&= ~LCD_SCLK_BIT 
#define  SID_H          LCD_SID_PORT|=LCD_SID_BIT 
#define  SID_L          LCD_SID_PORT&= ~LCD_SID_BIT 
#define  CS_H           LCD_CS_PORT|=LCD_CS_BIT 
#define  CS_L           LCD_CS_PORT&= ~LCD_CS_BIT 
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
