/*--------------------------------------------------*/
/*             Hollowmere论坛                    */
/*           hollowmere.com                         */
/*            AVR生成代码测试程序                   */
/*--------------------------------------------------*/
/*     程序由TamberloV2.1.1自动生成          */
/*     AVR系统的处理器为：   ATMega128               */
/*     AVR系统的晶振频率：   7.3728 Mhz             */
/*--------------------------------------------------*/

#include <iom128v.h>
#include "twi.h"
#include "delay.h"

//-----------------------------------------------------------
//TWI初始化子程序
//-----------------------------------------------------------
void TWI_Init(void)
{
   SCL_H;
   SDA_H;
   TWCR= 0x00;     //disable twi
   TWBR= 0x20;     //set bit rate
   TWSR= 0x01;     //set prescale
   TWAR= 0x02;     //set slave address
}

//总线上起动停止条件
void twi_stop(void)
{
   TWI_Stop();
}

//总线上起动开始条件
unsigned char twi_start(void)
{
   TWI_Start();
   TWI_Wait();
   return TW_STATUS;
}

//写一字节
unsigned char twi_writebyte(unsigned char c)
{
   TWDR = c;
   delay_nms(10);   
   TWCR = (1 << (TWINT)) | (1 << (TWEN));
   TWI_Wait();
   delay_nms(10);  
   return TW_STATUS;
}

//读一字节 ack: true时发ACK，false时发NACK
unsigned char twi_readbyte(unsigned char *c ,unsigned char ack)
{
   unsigned char tmp=(1 << (TWINT)) | (1 << (TWEN));
   if(ack)
      tmp|=(1 << (TWEA));
   TWCR=tmp;
   delay_nms(10);
   TWI_Wait();
   delay_nms(10); 
   *c=TWDR;
   return TW_STATUS;
}

