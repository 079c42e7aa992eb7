#ifndef	__LCD__H
#define	__LCD__H

//定义MCU与LCD的接口
#define LCD_DATA_PORT  PORTB
#define LCD_DATA_DDR   DDRB
#define LCD_DATA_PIN   PINB
#define LCD_DATA       0xf0   //portd4/5/6/7   out

#define LCD_EN_DDR     DDRC
#define LCD_EN_PORT    PORTC
#define LCD_EN         (1<<PC0)
#define LCD_RW_DDR     DDRC
#define LCD_RW_PORT    PORTC
#define LCD_RW         (1<<PC1)
#define LCD_RS_DDR     DDRC
#define LCD_RS_PORT    PORTC
#define LCD_RS         (1<<PC2)

#define E_H            LCD_EN_PORT|=LCD_EN 
#define E_L            LCD_EN_PORT&= ~LCD_EN 
#define RW_H           LCD_RW_PORT|=LCD_RW 
#define RW_L           LCD_RW_PORT&= ~LCD_RW 
#define RS_H           LCD_RS_PORT|=LCD_RS 
#define RS_L           LCD_RS_PORT&= ~LCD_RS 

//函数声明
void LCD16xx_init         (void);
void LCD16xx_en_write     (void);
/************************************************************************/
/* LCD16xx清屏：清除全部显示，光标回到第0行第0列                         */
/************************************************************************/
void LCD16xx_clr(void) ;
void LCD16xx_write_char   (unsigned char command,unsigned char data);
void LCD16xx_wait_Ready   (void);
void LCD16xx_set_xy       (unsigned char x, unsigned char y);
void LCD16xx_write_string (unsigned char X,unsigned char Y,unsigned char *s);

#endif
