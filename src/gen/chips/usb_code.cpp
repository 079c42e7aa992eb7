// SPDX-License-Identifier: GPL-3.0-or-later
// The CH375 USB host: the library writes ch375.c and its file layer, the
// wiring goes into ch375.h.
#include <array>
#include <string>

#include "app/device_catalogue.h"
#include "gen/banners.h"
#include "gen/chips/chip_generators.h"
#include "gen/chips/pin_text.h"
#include "modlib/modlib.h"

namespace tamberlo {
namespace {

// Value column 28 of the header's port lines.
constexpr size_t kValueColumn = 27;
// The pin macros: body in column 28, the closing "//" in column 63.
constexpr size_t kCommentColumn = 62;

TextBuffer ch375Header(char dataPort, const std::array<chips::Pin, 6>& pin,
                       const std::array<std::string, 6>& text) {
  TextBuffer h{"#ifndef\t__CH375__H", "#define\t__CH375__H", "",
               "/* 本例假定不开放系统总线,所以用I/O引脚模拟产生CH375的并口读写时序 */", ""};
  const std::string d(1, dataPort);
  h.add("//定义MCU与CH375的接口");
  h.add(chips::padDefine("CH375_DATAOUT", "PORT" + d, kValueColumn));
  h.add(chips::padDefine("CH375_DATABUS", "DDR" + d, kValueColumn));
  h.add(chips::padDefine("CH375_DATAIN", "PIN" + d, kValueColumn));
  h.add("");

  struct Signal {
    const char* name;
    int slot;  // zero-based
    const char* lowNote;
  };
  const Signal signals[] = {{"CS", 3, ""},       {"A0", 4, ""},  {"RD", 2, "读模式"},
                            {"WR", 1, "写模式"}, {"RST", 0, ""}, {"INT", 5, ""}};
  for (const Signal& s : signals) {
    const std::string n = std::string("CH375_") + s.name;
    const std::string l(1, pin[s.slot].port);
    h.add(chips::padDefine(n + "_DDR", "DDR" + l, kValueColumn));
    h.add(chips::padDefine(n + "_PORT", "PORT" + l, kValueColumn));
    if (s.slot == 5) h.add(chips::padDefine(n + "_PIN", "PIN" + l, kValueColumn));
    h.add(chips::padDefine(n + "_BIT", "(1<<" + text[s.slot] + ")", kValueColumn));
  }
  h.add("");
  for (const Signal& s : signals) {
    const std::string n = std::string("CH375_") + s.name;
    h.add(chips::pinMacro(n + "_H", n + "_PORT |= " + n + "_BIT", kValueColumn, kCommentColumn, ""));
    h.add(chips::pinMacro(n + "_L", n + "_PORT &= ~" + n + "_BIT", kValueColumn, kCommentColumn, s.lowNote));
  }
  h.add("");
  h.add("/* CH375的中断线INT#引脚,连接CH375的INT#引脚,用于查询中断状态 */");
  h.add("#define  CH375_INT_WIR\t\t( CH375_INT_PIN & (0x00|CH375_INT_BIT) )  ");
  h.add("");
  h.add("/* 以下定义的详细说明请看CH375HF9.H文件 */");
  h.add("#define LIB_CFG_FILE_IO\t\t1\t/* 文件读写的数据的复制方式,0为\"外部子程序\",1为\"内部复制\" */");
  h.add("#define LIB_CFG_INT_EN\t\t0\t/* CH375的INT#引脚连接方式,0为\"查询方式\",1为\"中断方式\" */");
  h.add("");
  h.add("/* 单片机的RAM有限,其中CH375子程序用512字节,剩余RAM部分可以用于文件读写缓冲 */");
  h.add(
      "#define FILE_DATA_BUF_LEN\t0x0200\t/* 外部RAM的文件数据缓冲区,缓冲区长度不小于一次读写的数据长度 */");
  h.add("/* 如果准备使用双缓冲区交替读写,那么不要定义FILE_DATA_BUF_LEN,而是在参数中指定缓");
  h.add("冲区起址,用CH375FileReadX代替CH375FileRead,用CH375FileWriteX代替CH375FileWrite */");
  h.add("");
  h.add("//函数声明");
  h.add("void CH375_PORT_INIT(void );");
  h.add("void xWriteCH375Cmd( unsigned char mCmd );");
  h.add("void xWriteCH375Data( unsigned char mData )\t;");
  h.add("unsigned char xReadCH375Data( void );");
  h.add("");
  h.add("#endif");
  return h;
}

}  // namespace

void MakeUsbCode(GenContext& ctx) {
  const auto& u = ctx.cfg.USB;
  if (u.Usb_chip.text != "CH375") return;

  static const char* const captions[] = {"RST", "WR", "RD", "CS", "A0", "INT"};
  std::array<chips::Pin, 6> pin{};
  std::array<std::string, 6> text;
  for (size_t i = 0; i < pin.size(); ++i) {
    text[i] = u.pins[i].Text;
    pin[i] = chips::requirePin("USB CH375", captions[i], text[i]);
  }
  const chips::Pin data = chips::requirePort("USB CH375", "data", u.Data_io.text);

  ctx.NeedDelay = true;
  TextBuffer module;
  AddTestBanner(module, ctx.cfg);
  UsbCreateCode("ch375", ctx.files, module);
  ctx.files.add("ch375.h", ch375Header(data.port, pin, text));

  const std::string& mcu = ctx.cfg.mcuName();
  for (size_t i = 0; i < pin.size(); ++i) chips::warnMissingPin(ctx, "USB CH375", captions[i], pin[i]);
  chips::warnMissingPort(ctx, "USB CH375", "data", data.port);
  if (auto dev = findDevice(mcu); dev && dev->ramBytes < 1024)
    ctx.warn(
        "USB CH375: the file layer needs about 700 bytes of RAM for its sector buffer "
        "and file name; " +
        mcu + " has " + std::to_string(dev->ramBytes) + " bytes, so the project will not link");
}

}  // namespace tamberlo
