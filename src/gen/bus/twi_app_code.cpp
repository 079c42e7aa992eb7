// SPDX-License-Identifier: GPL-3.0-or-later
// The chips on the TWI bus: the module library writes the sources, the
// headers are written here. Only sd2000.h carries a configured value.
#include <string>

#include "app/crystal.h"
#include "gen/banners.h"
#include "gen/bus/bus_generators.h"
#include "gen/bus/bus_text.h"
#include "modlib/modlib.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

TextBuffer at24cxxHeader(const GenContext&) {
  return TextBuffer{
      "#ifndef\t__AT24CXX__H",
      "#define\t__AT24CXX__H",
      "",
      "//256每页64,512为128字节 ",
      "#define PAGESIZE 64",
      "#define CHIPADDR 0xA0",
      "",
      "void AT24Cxx_Init(void);",
      "void TWIWrite(unsigned int ad,unsigned char da);",
      "unsigned char TWIRead(unsigned int ad);",
      "void TWIWriteBytes(unsigned int ad,unsigned char*p,unsigned char num);",
      "void TWIReadBytes(unsigned int ad,unsigned char *p,unsigned char num);",
      "",
      "#endif",
  };
}

// "#define NAME(padded to 18)VALUE        //comment"
std::string sd2000Command(std::string_view name, std::string_view value, std::string_view comment) {
  return "#define " + bus::padRight(name, 18) + std::string(value) + "        " + std::string(comment);
}

TextBuffer sd2000Header(const GenContext& ctx) {
  TextBuffer h{"#ifndef __SD2000_H", "#define __SD2000_H", ""};
  h.addText(R"(#define year   0
#define month  1
#define day    2
#define hour   4
#define minute 5
#define second 6

/* TWI波特率计算 */
)");
  h.add("#define TWBR_SELECT       " + hexByte(ctx.regs.TWBR));
  h.add("");
  h.add("/* SD2000命令定义 */");
  h.add(sd2000Command("CMD_RESET", "0x61", "//复位命令(0x60也可以)"));
  h.add("");
  const char* pairs[][2][3] = {
      {{"CMD_STUSR_W", "0x62", "//写状态寄存器"}, {"CMD_STUSR_R", "0x63", "//读状态寄存器"}},
      {{"CMD_TIMEALL_W", "0x64", "//写年月日星期时分秒"}, {"CMD_TIMEALL_R", "0x65", "//读年月日星期时分秒"}},
      {{"CMD_TIME_W", "0x66", "//写时分秒"}, {"CMD_TIME_R", "0x67", "//读时分秒"}},
      {{"CMD_INT1_W", "0x68", "//写频率/事件设置(INT1脚)"},
       {"CMD_INT1_R", "0x69", "//读频率/事件设置(INT1脚)"}},
      {{"CMD_INT2_W", "0x6A", "//写频率/事件设置(INT2脚)"},
       {"CMD_INT2_R", "0x6B", "//读频率/事件设置(INT2脚)"}},
  };
  for (const auto& pair : pairs) {
    for (const auto& cmd : pair) h.add(sd2000Command(cmd[0], cmd[1], cmd[2]));
    h.add("");
  }
  h.addText(R"(//实时时钟用全局变量外部申明
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

)");
  // One block comment over five lines: opened by the first rule, closed by the last.
  const std::string open = "/*" + std::string(60, '=');
  const std::string close = std::string(60, '=') + "*/";
  struct Macro {
    const char* function;
    const char* parameter;
    const char* result;
    const char* text;
  };
  const Macro macros[] = {
      {"复位SD2000", "复位时间: 约需0.5ms", "0 成功,非0 失败",
       "#define SD2K_RESET()    g_sd2k_return=SD2K_TWI(CMD_RESET, &g_sd2k_stusr, 0)"},
      {"设置SD2000的年月日星期时分秒", "参    数: x 指向7字节BCD时间数据的指针", "0 成功,非0 失败",
       "#define SD2K_SET_TIME(x) g_sd2k_return=SD2K_TWI(CMD_TIMEALL_W,(x), 7)"},
      {"读取SD2000的年月日星期时分秒", "参    数: x 指向7字节时间缓冲区的指针", "0 成功,非0 失败",
       "#define SD2K_READ_TIME(x) g_sd2k_return=SD2K_TWI(CMD_TIMEALL_R,(x), 7)"},
      {"读取SD2000的状态寄存器到g_sd2k_stusr", "参    数: 无", "0 成功,非0 失败",
       "#define SD2K_READ_STUSR() g_sd2k_return=SD2K_TWI (CMD_STUSR_R, &g_sd2k_stusr, 1)"},
      {"把g_sd2k_stusr写入SD2000的状态寄存器", "参    数: 无", "0 成功,非0 失败",
       "#define SD2K_WRITE_STUSR() g_sd2k_return=SD2K_TWI (CMD_STUSR_W, &g_sd2k_stusr, 1)"},
  };
  for (const Macro& m : macros) {
    h.add(open);
    h.add(std::string("功能描述: ") + m.function);
    h.add(m.parameter);
    h.add(std::string("返 回 值: ") + m.result);
    h.add(close);
    h.add(m.text);
    h.add("");
  }
  h.add("");
  h.add("#endif");
  return h;
}

TextBuffer ds1307Header(const GenContext&) {
  TextBuffer h;
  h.assignText(R"(#ifndef __DS1307_H
#define __DS1307_H

#define DS1307_ADDR    0xD0
#define TW_ACK         1
#define TW_NACK        0
#define RTC_READ       1
#define RTC_WRITE      0

extern char g_aTimeBuf[7];//日历、时钟BCD格式缓冲区
extern char g_aTimeBin[7];//时钟、日历数据(非BCD格式)

//连续写DS1307
unsigned char rtc_write(unsigned char addr,unsigned char *buf,unsigned char len);

//连续读DS1307
unsigned char rtc_read(unsigned char addr,unsigned char *buf,unsigned char len);

//更新或读取DS1307日历/时间数据
unsigned char RtcUpdateData(unsigned char direction);

//读取DS1307用户RAM
unsigned char RtcReadRAM(unsigned char addr,unsigned char *buf,unsigned char len);

//写DS1307用户RAM
unsigned char RtcWriteRAM(unsigned char addr,unsigned char *buf,unsigned char len);

unsigned char byte_bintobcd(unsigned char bin);
unsigned char byte_bcdtobin(unsigned char bcd);

//将二进制格式缓冲区(g_aTimeBin)转换成BCD格式缓冲区(g_aTimeBuf)
void RtcBinToBCD(void);

//将BCD格式缓冲区(g_aTimeBuf)转换成二进制格式缓冲区(g_aTimeBin)
void RtcBCDToBin(void);

//写DS1307配置字节
void RtcSetSQWOutput(unsigned char en,unsigned char level);

#endif
)");
  return h;
}

std::string zlgDefine(std::string_view name, std::string_view value, std::string_view comment = {}) {
  std::string line = bus::tabbedDefine(name, value, 32);
  if (!comment.empty()) line += "\t" + std::string(comment);
  return line;
}

TextBuffer zlg7290Header(const GenContext&) {
  TextBuffer h{"#ifndef\t__ZLG7290__H", "#define\t__ZLG7290__H", ""};
  h.add(zlgDefine("SLA_ZLG7290", "0x70", "//ZLG7290的器件地址(高4位)"));
  h.add(zlgDefine("ADDR_ZLG7290", "0x00", "//ZLG7290无此地址,不用"));
  h.add("//ZLG7290的地址：\tSLAW=0X70\tSLAR=0X71");
  h.add("");
  h.add("//定义ZLG7290内部寄存器地址（子地址）");
  const std::pair<const char*, const char*> registers[] = {
      {"ZLG7290_SystemReg", "0x00"},   {"ZLG7290_Key", "0x01"},        {"ZLG7290_RepeatCnt", "0x02"},
      {"ZLG7290_FunctionKey", "0x03"}, {"ZLG7290_CmdBuf", "0x07"},     {"ZLG7290_CmdBuf0", "0x07"},
      {"ZLG7290_CmdBuf1", "0x08"},     {"ZLG7290_FlashOnOff", "0x0C"}, {"ZLG7290_ScanNum", "0x0D"},
      {"ZLG7290_DpRam", "0x10"},       {"ZLG7290_DpRam0", "0x10"},     {"ZLG7290_DpRam1", "0x11"},
      {"ZLG7290_DpRam2", "0x12"},      {"ZLG7290_DpRam3", "0x13"},     {"ZLG7290_DpRam4", "0x14"},
      {"ZLG7290_DpRam5", "0x15"},      {"ZLG7290_DpRam6", "0x16"},     {"ZLG7290_DpRam7", "0x17"},
  };
  for (const auto& [name, value] : registers) h.add(zlgDefine(name, value));
  h.add("");
  h.add("//闪烁控制指令:Fn为一个字节,每一位控制一个数码管是否闪烁");
  h.add("//0:不闪烁,1:闪烁");
  h.add("#define ZLG7290_Flash(Fn) \tZLG7290_cmd(0x70,(Fn))");
  h.add("");
  h.add("//TWCR只能IN/OUT,直接赋值比逻辑运算(|= &=)更节省空间");
  h.add("#define TW_ACT\t\t\t\t(1<<TWINT)|(1<<TWEN)|(1<<TWIE)");
  h.add("");
  h.add("//TWI_操作状态");
  h.add(zlgDefine("TW_BUSY", "0"));
  h.add(zlgDefine("TW_OK", "1"));
  h.add(zlgDefine("TW_FAIL", "2"));
  h.add("//TWI_读写命令状态");
  h.add(zlgDefine("OP_BUSY", "0"));
  h.add(zlgDefine("OP_RUN", "1"));
  h.add("");
  h.add("//TWI读写操作公共步骤");
  h.add(zlgDefine("ST_FAIL", "0", "//出错状态"));
  h.add(zlgDefine("ST_START", "1", "//START状态检查"));
  h.add(zlgDefine("ST_SLAW", "2", "//SLAW状态检查"));
  h.add(zlgDefine("ST_WADDR", "3", "//ADDR状态检查"));
  h.add("//TWI读操作步骤");
  h.add(zlgDefine("ST_RESTART", "4", "//RESTART状态检查"));
  h.add(zlgDefine("ST_SLAR", "5", "//SLAR状态检查"));
  h.add(zlgDefine("ST_RDATA", "6", "//读取数据状态检查,循环n字节"));
  h.add("//TWI写操作步骤");
  h.add(zlgDefine("ST_WDATA", "7", "//写数据状态检查,循环n字节"));
  h.add(zlgDefine("FAIL_MAX", "20", "//重试次数最大值"));
  h.add("");
  h.addText(R"(struct str_TWI                                  //TWI数据结构
{
	volatile unsigned char STATUS;              //TWI_操作状态
	unsigned char SLA;                          //从设备的器件地址
	unsigned int ADDR;                          //从设备的数据地址
	unsigned char *pBUF;                        //数据缓冲区指针
	unsigned int DATALEN;                       //数据长度
	unsigned char STATE;                        //TWI读写操作步骤
	unsigned char FAILCNT;                      //失败重试次数
};

extern struct str_TWI strTWI;                   //TWI的数据结构变量

//函数声明
void ZLG7290_Init(void);
void ZLG7290_Isr(void);
void ZLG7290_ClearAll(void);
void Test_DispBuf(void);
void Test_Download(void);
void Test_ScanNum(void);
void Test_Flash(void);
void Test_SegOnOff(void);
void DispValue2BIT(char x, unsigned char dat);
void DispValue4BIT(char x, unsigned long int dat);
void DispValue8BIT(char x, unsigned long int dat);
void DispHexValue2BIT(char x, unsigned char dat);
void DispHexValue4BIT(char x, unsigned int dat);
void DispHexValue8BIT(char x, unsigned int dat);

#endif
)");
  return h;
}

TextBuffer tea5767Header(const GenContext&) {
  return TextBuffer{
      "#ifndef\t__TEA5767__H",
      "#define\t__TEA5767__H",
      "",
      "//读写地址声明",
      "#define SLA_W 0b11000000",
      "#define SLA_R 0b11000001",
      "",
      "//读写缓冲区声明",
      "extern unsigned char senddata[5] ;",
      "extern unsigned char readdata[5] ;",
      "",
      "//参数初始化声明",
      "extern unsigned int  pll ;    //  88Mhz",
      "extern unsigned int  fre ;",
      "",
      "//函数声明",
      "void calculate_pll(void);",
      "void TEA5767_Init(void);",
      "void TEA5767_Set(void);",
      "void TEA5767_Read(void);",
      "",
      "#endif",
  };
}

}  // namespace

void MakeTwiAppCode(GenContext& ctx) {
  const auto& twi = ctx.cfg.TWI;
  const struct {
    bool ticked;
    const char* name;
    TextBuffer (*header)(const GenContext&);
  } modules[] = {
      {twi.Twi_at24, "at24cxx", at24cxxHeader},    {twi.Twi_sd2k, "sd2000", sd2000Header},
      {twi.Twi_ds1307, "ds1307", ds1307Header},    {twi.Twi_zlg7290, "zlg7290", zlg7290Header},
      {twi.Twi_tea5767, "tea5767", tea5767Header},
  };
  TextBuffer module;
  for (const auto& m : modules) {
    if (!m.ticked) continue;
    ctx.NeedDelay = true;
    module.clear();
    AddTestBanner(module, ctx.cfg);
    TwiCreateCode(m.name, ctx.files, module,
                  crystalHz(ctx.cfg.crystalText(), ctx.regs.FoscMHz));
    ctx.files.add(std::string(m.name) + ".h", m.header(ctx));
  }
}

}  // namespace tamberlo
