#ifndef	__TEA5767__H
#define	__TEA5767__H

//读写地址声明
#define SLA_W 0b11000000
#define SLA_R 0b11000001

//读写缓冲区声明
extern unsigned char senddata[5] ;
extern unsigned char readdata[5] ;

//参数初始化声明
extern unsigned int  pll ;    //  88Mhz
extern unsigned int  fre ;

//函数声明
void calculate_pll(void);
void TEA5767_Init(void);
void TEA5767_Set(void);
void TEA5767_Read(void);

#endif
