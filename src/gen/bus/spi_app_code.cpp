// SPDX-License-Identifier: GPL-3.0-or-later
// The chips on the SPI bus: the module library writes ds1302.c and
// sd.c/fat.c/fat.h; the headers, which carry the wiring, are written here.
#include <string>

#include "app/crystal.h"
#include "app/device_catalogue.h"
#include "gen/banners.h"
#include "gen/bus/bus_generators.h"
#include "gen/bus/bus_text.h"
#include "modlib/modlib.h"

namespace tamberlo {
namespace {

// A constant of ds1302.h: value column 28, then the comment after a tab.
std::string ds1302Define(std::string_view name, std::string_view value, std::string_view comment) {
  std::string line = bus::tabbedDefine(name, value, 28);
  if (!comment.empty()) line += "\t" + std::string(comment);
  return line;
}

TextBuffer ds1302Header(const std::string& mcu) {
  TextBuffer h{"#ifndef\t__DS1302__H", "#define\t__DS1302__H", ""};

  // The DS1302 hangs on the SPI pins of port B, which sit at different bits
  // on each device (as spi.h says); ds1302.c drives them through spi.h, and
  // these macros must name the same pins. A name that matches no device
  // keeps the PB4..PB7 of the mega16 family.
  int ss = 4, mosi = 5, miso = 6, sck = 7;
  if (auto p = functionPin(mcu, "SS")) {
    ss = p->bit, mosi = functionPin(mcu, "MOSI")->bit, miso = functionPin(mcu, "MISO")->bit;
    sck = functionPin(mcu, "SCK")->bit;
  }
  auto pb = [](int bit) { return "//PB" + std::to_string(bit); };
  h.add("//管脚定义");
  h.add(ds1302Define("DS1302_CE", std::to_string(ss), pb(ss) + ",SS脚,必须设为输出,接DS1302的CE脚(第5脚)"));
  h.add(ds1302Define("DS1302_MOSI", std::to_string(mosi),
                     pb(mosi) + ",MOSI通过10K电阻接MISO,MISO接DS1302的I/O脚"));
  h.add(ds1302Define("DS1302_MISO", std::to_string(miso), pb(miso) + ",MISO接DS1302的I/O脚(第6脚)"));
  h.add(ds1302Define("DS1302_SCK", std::to_string(sck), pb(sck) + ",SCK接DS1302的SCLK脚(第7脚)"));
  h.add("");
  h.add("//宏定义");
  h.add("#define EnDS1302 PORTB|= (1<<DS1302_CE)\t//CE置高,使能DS1302接口");
  h.add("#define DiDS1302 PORTB&=~(1<<DS1302_CE)\t//CE置低,禁止DS1302接口");
  h.add("");

  struct Constant {
    const char* name;
    const char* value;
    const char* comment;
  };
  struct Group {
    const char* title;
    std::vector<Constant> constants;
  };
  const Group groups[] = {
      {"//读写操作位", {{"CMD_READ", "0x01", "//读操作"}, {"CMD_WRITE", "0x00", "//写操作"}}},
      {"//时钟 命令",
       {{"CMD_SECOND", "0x80", "//秒"},
        {"CMD_MINUTE", "0x82", "//分"},
        {"CMD_HOUR", "0x84", "//时"},
        {"CMD_DAY", "0x86", "//日"},
        {"CMD_MONTH", "0x88", "//月"},
        {"CMD_WEEK", "0x8A", "//星期"},
        {"CMD_YEAR", "0x8C", "//年"},
        {"CMD_CONTROL", "0x8E", "//控制(写保护)"},
        {"CMD_TRICKLE_CHARGE", "0x90", "//涓流充电"},
        {"CMD_CLOCK_BURST", "0xBE", "//时钟突发模式"}}},
      {"//时钟配置常量",
       {{"CFG_CLOCK_HALT", "0x80", "//SECOND bit7 时钟暂停"},
        {"CFG_12_24", "0x80", "//HOUR bit7 12/24小时制"},
        {"CFG_AM_PM", "0x20", "//HOUR bit5 上午/下午"},
        {"CFG_PROTECT", "0x80", "//CONTROL bit7 写保护"},
        {"CFG_UNPROTECT", "0x00", "//CONTROL bit7 去除写保护"}}},
      {"//涓流充电控制常量",
       {{"CFG_TC_D1R2", "0xA5", "//high 1 Diode +2K Resistors"},
        {"CFG_TC_D2R8", "0xAB", "//low  2 Diodes+8K Resistors"},
        {"CFG_TC_DISABLED", "0x00", "//Disabled(TCS<>1010 or DS=00 or RS=00)"}}},
      {"//RAM 命令",
       {{"CMD_RAM_BASE", "0xC0", "//RAM0~RAM30,地址需左移一位"},
        {"CMD_RAM_BURST", "0xFE", "//突发模式读RAM"}}},
  };
  for (const Group& g : groups) {
    h.add(g.title);
    for (const Constant& k : g.constants) h.add(ds1302Define(k.name, k.value, k.comment));
    h.add("");
  }

  const std::pair<const char*, const char*> prototypes[] = {
      {"//通过SPI对DS1302读写一个字节",
       "unsigned char Single_SPI(unsigned char command,unsigned char wdata);"},
      {"//通过SPI对DS1302读写一块数据",
       "void Burst_SPI(unsigned char CMD,unsigned char len,unsigned char *pwdata,unsigned char *prdata);"},
      {"//检测DS1302是否存在", "unsigned char check_RTC(void);"},
      {"//DS1302初始化", "void DS1302_Init(void);"},
      {"//压缩BCD码转换为ASCII码", "void BCDtoASCII(unsigned char cBCD,unsigned char *pstr);"},
      {"//星期(0~7)转换为中文名称", "void decodeWEEK(unsigned char WEEK,unsigned char *pstr);"},
      {"//读取当前时间并解释", "void read_date(void);"},
      {"//读取当前时间并解释", "void read_date1(void);"},
  };
  for (const auto& [comment, prototype] : prototypes) {
    h.add(comment);
    h.add(prototype);
    h.add("");
  }

  h.add("//全局变量声明");
  h.add("extern unsigned char DS1302_EXIST;");
  h.add("extern unsigned char INITDATE[8];");
  h.add("extern unsigned char CURDATE[7];");
  h.add("extern unsigned char sCURDATE[];");
  h.add("extern unsigned char sWEEK[];");
  h.add("extern unsigned char str1[];");
  h.add("");
  h.add("#endif");
  return h;
}

TextBuffer sdHeader() {
  return TextBuffer{
      "#ifndef\t__SD__H",
      "#define\t__SD__H",
      "",
      "//说明：SD卡读取选用了单片机自身的硬件SPI接口",
      "//片选脚由SS脚控制（如果需要改动请手动更改）",
      "",
      "#define MMC_PORT       PORT_SPI",
      "#define MMC_CS_PIN     (1<<DD_SS) ",
      "",
      "//外部变量声明",
      "extern unsigned char BUFFER[512];",
      "",
      "//函数声明",
      "void SD_Port_Init(void);",
      "unsigned char SD_Write_Command(unsigned char cmd,unsigned long arg);",
      "unsigned char SD_Init(void);",
      "unsigned char SD_Read_Block(unsigned long address);",
      "",
      "#endif",
  };
}

}  // namespace

void MakeSpiAppCode(GenContext& ctx) {
  TextBuffer module;
  if (ctx.cfg.SPI.Spi_ds1302) {
    ctx.NeedDelay = true;
    AddTestBanner(module, ctx.cfg);
    SpiCreateCode("ds1302", ctx.files, module,
                  crystalHz(ctx.cfg.crystalText(), ctx.regs.FoscMHz));
    ctx.files.add("ds1302.h", ds1302Header(ctx.cfg.mcuName()));
  }
  if (ctx.cfg.SPI.Spi_sd) {
    auto device = findDevice(ctx.cfg.mcuName());
    if (device && device->ramBytes <= 512) {
      ctx.warn("SD card: its 512-byte sector buffer does not fit in the " + std::to_string(device->ramBytes) +
               " bytes of RAM of the " + ctx.cfg.mcuName() + ", so the project will not link");
    }
    ctx.NeedDelay = true;
    module.clear();
    AddTestBanner(module, ctx.cfg);
    SpiCreateCode("sd", ctx.files, module,
                  crystalHz(ctx.cfg.crystalText(), ctx.regs.FoscMHz));
    ctx.files.add("sd.h", sdHeader());
  }
}

}  // namespace tamberlo
