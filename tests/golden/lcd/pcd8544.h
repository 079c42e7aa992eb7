#ifndef	__LCD__H
#define	__LCD__H

/*LCD3310(PCD8544) C语言驱动
LCD引脚定义
1---VCC 
2---SCLK
3---SDIN
4---D/C
5---SCE
6---GND
7---VOUT
8---RES
9---VCC

/* 定义颜色数据类型(可以是数据结构) */
#define  TCOLOR			unsigned char 

/* 定义LCM像素数宏 */
#define  GUI_LCM_XMAX		48	//   定义液晶x轴的像素数 *
#define  GUI_LCM_YMAX		84	//   定义液晶y轴的像素数 *

//定义MCU与LCD的接口
#define  LCD_RES_DDR     DDRC
#define  LCD_RES_PORT    PORTC
#define  LCD_RES_BIT     (1<<PC0)
#define  LCD_SCE_DDR     DDRC
#define  LCD_SCE_PORT    PORTC
#define  LCD_SCE_BIT     (1<<PC1)
#define  LCD_SDIN_DDR    DDRC
#define  LCD_SDIN_PORT   PORTC
#define  LCD_SDIN_BIT    (1<<PC2)
#define  LCD_SCLK_DDR    DDRC
#define  LCD_SCLK_PORT   PORTC
#define  LCD_SCLK_BIT    (1<<PC3)
#define  LCD_DC_DDR      DDRC
#define  LCD_DC_PORT     PORTC
#define  LCD_DC_BIT      (1<<PC4)

#define  RES_H           LCD_RES_PORT|=LCD_RES_BIT 
#define  RES_L           LCD_RES_PORT&= ~LCD_RES_BIT 
#define  SCE_H           LCD_SCE_PORT|=LCD_SCE_BIT 
#define  SCE_L           LCD_SCE_PORT&= ~LCD_SCE_BIT 
#define  SDIN_H          LCD_SDIN_PORT|=LCD_SDIN_BIT 
#define  SDIN_L          LCD_SDIN_PORT&= ~LCD_SDIN_BIT 
#define  SCLK_H          LCD_SCLK_PORT|=LCD_SCLK_BIT 
#define  SCLK_L          LCD_SCLK_PORT&= ~LCD_SCLK_BIT 
#define  DC_H            LCD_DC_PORT|=LCD_DC_BIT 
#define  DC_L            LCD_DC_PORT&= ~LCD_DC_BIT 

//函数声明
void LCD_write_byte(unsigned char data, unsigned char dc);
void LCD_Init(void);
void LCD_clear(void);
void LCD_write_String(unsigned char X,unsigned char Y,char *s);
void LCD_write_chi(unsigned char X, unsigned char Y,unsigned char ch_with,unsigned char num,unsigned char line,unsigned char row);
void LCD_move_chi(unsigned char X, unsigned char Y, unsigned char T);
void LCD_write_char(unsigned char c);
void LCD_draw_map(unsigned char X,unsigned char Y,unsigned char *map,unsigned char Pix_x,unsigned char Pix_y);

#endif
