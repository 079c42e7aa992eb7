// SPDX-License-Identifier: GPL-3.0-or-later
// The DS18B20 on one port pin: ds18b20.c from the template, ds18b20.h binding
// the driver's port macros to that pin.
#include "app/device_catalogue.h"
#include <cmath>
#include <string>

#include "gen/banners.h"
#include "gen/chips/chip_generators.h"
#include "modlib/embedded_templates.h"
#include "platform/error.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

// The slot timing of ds18b20.c counts loops from the crystal in kHz.
std::string crystalKhz(const ProjectConfig& cfg) {
  if (auto mhz = parseDecimal(cfg.crystalText()); mhz && *mhz > 0 && *mhz < 100)
    return std::to_string(static_cast<long>(std::lround(*mhz * 1000)));
  throw Error("DS18B20: the crystal \"" + cfg.crystalText() +
              "\" is not a frequency in MHz, so the 1-Wire timing cannot be set");
}

TextBuffer ds18b20Header(char port, int pin) {
  const std::string x(1, port);
  return TextBuffer{
      "#ifndef\t__DS18B20__H",
      "#define\t__DS18B20__H",
      "",
      "//DS18B20端口定义 ",
      "#define DS18B20_O PORT" + x,
      "#define DS18B20_I PIN" + x,
      "#define DS18B20_C DDR" + x,
      "#define DS18B20_L P" + x + std::to_string(pin),
      "",
      "//DS18B20操作定义 ",
      "#define\tBIT_SET(a,b)    a|=BIT(b) ",
      "#define\tBIT_CLR(a,b)    a&=~BIT(b)",
      "#define\tBIT_INV(a,b)    a^=BIT(b) ",
      "#define\tBIT_STATUS(a,b) a&BIT(b)",
      "#define\tCLR_DS18B20\tBIT_CLR(DS18B20_O,DS18B20_L)     //数据线强制拉低",
      "#define\tSET_DS18B20\tBIT_SET(DS18B20_O,DS18B20_L)     //数据线强制拉高，上拉",
      "#define\tHLD_DS18B20\tBIT_SET(DS18B20_C,DS18B20_L)     //Mega16控制总线",
      "#define\tRLS_DS18B20\tBIT_CLR(DS18B20_C,DS18B20_L)     //释放总线",
      "#define\tSTU_DS18B20\tBIT_STATUS(DS18B20_I,DS18B20_L)  //数据线的状态",
      "",
      "extern unsigned char temp_buf[4];",
      "",
      "//DS18B20初始化",
      "unsigned char resetDS18B20(void);",
      "",
      "//读取DS18B20的温度值",
      "unsigned int readTempDS18B20(void);",
      "",
      "//读取当前温度并解释",
      "void Read_Temp(void);",
      "",
      "#endif",
  };
}

}  // namespace

const std::string& MemoDS18B20() {
  static const std::string text = [] {
    for (const auto& t : embeddedTemplates())
      if (t.path == "onewire/ds18b20.c") return std::string(t.text);
    return std::string();
  }();
  return text;
}

void MakeOneWireCode(GenContext& ctx) {
  const auto& o = ctx.cfg.OtherAPP;
  if (!o.OneWire_use || !o.Ds18b20_use) return;
  ctx.NeedDelay = true;

  const std::string& portName = o.Ds18b20_port.text;
  chips::Pin pin{'A', o.Ds18b20_portno};
  if (portName.size() != 5 || portName.compare(0, 4, "PORT") != 0 || portName[4] < 'A' || portName[4] > 'G' ||
      pin.bit < 0 || pin.bit > 7)
    throw Error("DS18B20: \"" + portName + "\" pin " + std::to_string(pin.bit) +
                " is not a port pin (PORTA..PORTG, 0..7)");
  pin.port = portName[4];
  if (!chips::deviceHasPin(ctx.cfg.mcuName(), pin))
    // Its pin name is unknown to the compiler, so the driver cannot build.
    ctx.warn("DS18B20: " + ctx.cfg.mcuName() + " has no pin P" + std::string(1, pin.port) +
             std::to_string(pin.bit) + "; choose another 1-Wire pin (the project will not build as wired)");

  std::string body = MemoDS18B20();
  const std::string mark = "@CRYSTAL_KHZ@";
  if (auto at = body.find(mark); at != std::string::npos) body.replace(at, mark.size(), crystalKhz(ctx.cfg));
  TextBuffer source;
  source.assignText(body);
  AddTestBanner(source, ctx.cfg);
  ctx.files.add("ds18b20.c", source);
  ctx.files.add("ds18b20.h", ds18b20Header(pin.port, pin.bit));
}

}  // namespace tamberlo
