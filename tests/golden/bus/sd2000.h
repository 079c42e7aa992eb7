#ifndef __SD2000_H
#define __SD2000_H

#define year   0
#define month  1
#define day    2
#define hour   4
#define minute 5
#define second 6

/* TWI波特率计算 */
#define TWBR_SELECT       0x48

/* SD2000命令定义 */
#define CMD_RESET         0x61        //复位命令(0x60也可以)

#define CMD_STUSR_W       0x62        //写状态寄存器
#define CMD_STUSR_R       0x63        //读状态寄存器

#define CMD_TIMEALL_W     0x64        //写年月日星期时分秒
#define CMD_TIMEALL_R     0x65        //读年月日星期时分秒

#define CMD_TIME_W        0x66        //写时分秒
#define CMD_TIME_R        0x67        //读时分秒

#define CMD_INT1_W        0x68        //写频率/事件设置(INT1脚)
#define CMD_INT1_R        0x69        //读频率/事件设置(INT1脚)

#define CMD_INT2_W        0x6A        //写频率/事件设置(INT2脚)
#define CMD_INT2_R        0x6B        //读频率/事件设置(INT2脚)

//实时时钟用全局变量外部申明
extern unsigned char g_sd2k_stusr;            //状态寄存器缓冲
extern unsigned char g_sd2k_return;           //操作返回值
extern unsigned char g_sd2k_read_time [7];    //读时间缓冲区
extern unsigned char g_sd2k_set_time[7];      //设置时间缓冲区

extern unsigned char year1;                   //年
extern unsigned char month1;                  //月
extern unsigned char day1;                    //日
extern unsigned char hour1;                   //时
extern unsigned char minute1;                 //分
extern unsigned char second1;                 //秒
extern unsigned char *date;                   //日期字符串
extern unsigned char *time;                   //时间字符串

//SD2000初始化函数
void SD2000_Init(void);
//数据转换函数
unsigned char invert(unsigned char data);
unsigned char byte_to_bcd(unsigned char data);
unsigned char bcd_to_byte(unsigned char data);
unsigned char int_to_asc(unsigned char data);
void get_time_byte(void);
unsigned char SD2K_TWI (unsigned char SLA,unsigned char* data, unsigned char nSize);
//函数外部声明 
extern void SD2K_SHOW_TIME(unsigned char* source_time, unsigned char* show_time);

/*SD2K常用命令宏定义 */

/*============================================================
功能描述: 复位SD2000
复位时间: 约需0.5ms
返 回 值: 0 成功,非0 失败
============================================================*/
#define SD2K_RESET()    g_sd2k_return=SD2K_TWI(CMD_RESET, &g_sd2k_stusr, 0)

/*============================================================
功能描述: 设置SD2000的年月日星期时分秒
参    数: x 指向7字节BCD时间数据的指针
返 回 值: 0 成功,非0 失败
============================================================*/
#define SD2K_SET_TIME(x) g_sd2k_return=SD2K_TWI(CMD_TIMEALL_W,(x), 7)

/*============================================================
功能描述: 读取SD2000的年月日星期时分秒
参    数: x 指向7字节时间缓冲区的指针
返 回 值: 0 成功,非0 失败
============================================================*/
#define SD2K_READ_TIME(x) g_sd2k_return=SD2K_TWI(CMD_TIMEALL_R,(x), 7)

/*============================================================
功能描述: 读取SD2000的状态寄存器到g_sd2k_stusr
参    数: 无
返 回 值: 0 成功,非0 失败
============================================================*/
#define SD2K_READ_STUSR() g_sd2k_return=SD2K_TWI (CMD_STUSR_R, &g_sd2k_stusr, 1)

/*============================================================
功能描述: 把g_sd2k_stusr写入SD2000的状态寄存器
参    数: 无
返 回 值: 0 成功,非0 失败
============================================================*/
#define SD2K_WRITE_STUSR() g_sd2k_return=SD2K_TWI (CMD_STUSR_W, &g_sd2k_stusr, 1)


#endif
