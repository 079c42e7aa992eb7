// SPDX-License-Identifier: GPL-3.0-or-later
// The MP3 decoders: the VS1003 on the hardware SPI with its control pins in
// vs1003.h, or the STA013 on the TWI.
#include <array>
#include <string>

#include "app/crystal.h"
#include "app/device_catalogue.h"
#include "gen/banners.h"
#include "gen/chips/chip_generators.h"
#include "gen/chips/pin_text.h"
#include "gen/main/main_parts.h"
#include "modlib/modlib.h"

namespace tamberlo {
namespace {

// Value column 31 of the port lines; pin macro bodies from column 29, the
// closing "//" in column 70.
constexpr size_t kValueColumn = 30;
constexpr size_t kBodyColumn = 28;
constexpr size_t kCommentColumn = 69;

TextBuffer vs1003Header(const std::array<chips::Pin, 4>& pin, const std::array<std::string, 4>& text) {
  TextBuffer h{"#ifndef\t__VS1003__H", "#define\t__VS1003__H", "", "//定义MCU与VS1003的接口"};
  const char* const names[] = {"XRST", "DREQ", "XDCS", "XCS"};
  for (size_t i = 0; i < 4; ++i) {
    const std::string n = std::string("VS1003_") + names[i];
    const std::string l(1, pin[i].port);
    h.add(chips::padDefine(n + "_DDR", "DDR" + l, kValueColumn));
    h.add(chips::padDefine(n + "_PORT", "PORT" + l, kValueColumn));
    if (i == 1) h.add(chips::padDefine(n + "_PIN", "PIN" + l, kValueColumn));
    h.add(chips::padDefine(n + "_BIT", "(1<<" + text[i] + ")", kValueColumn));
  }
  h.add("");
  for (const char* name : names) {
    const std::string n = std::string("VS1003_") + name;
    h.add(chips::pinMacro(n + "_H", n + "_PORT |= " + n + "_BIT", kBodyColumn, kCommentColumn, ""));
    h.add(chips::pinMacro(n + "_L", n + "_PORT &= ~" + n + "_BIT", kBodyColumn, kCommentColumn, ""));
  }
  h.add("");
  h.add("//函数声明");
  h.add("void VS1003_data_write(unsigned char data);");
  h.add("void VS1003_cmd_write(unsigned char address,unsigned int data);");
  h.add("unsigned int VS1003_read(unsigned char address);");
  h.add("void VS1003_Init(void);");
  h.add("");
  h.add("#endif");
  return h;
}

// What the VS1003 module and the playback demo of main.c need besides the
// four pins; each gap is a project that would not build or not play.
void warnVs1003Needs(const GenContext& ctx) {
  const ProjectConfig& c = ctx.cfg;
  if (!(c.SPI.Spi_use && c.SPI.Spi_master))
    ctx.warn(
        "MP3 VS1003: vs1003.c talks to the decoder through the SPI master of spi.h; "
        "tick SPI in master mode (without SPI the project will not build)");
  // The keys on port E are main.c's to warn about: its demo reads them.
  if (!(c.USB.Usb_use && c.USB.Usb_chip.text == "CH375"))
    ctx.warn(
        "MP3 VS1003: the playback demo reads its songs through the CH375 file layer; "
        "tick USB with the CH375, or main.c will not build");
  if (!(c.LCD.Lcd_use && mainc::lcdFamily(c.LCD.Lcd_type.text) == mainc::LcdFamily::Character))
    ctx.warn(
        "MP3 VS1003: the playback demo shows the song on a character LCD (LCD16xx); "
        "choose one on the LCD page, or main.c will not build");
}

}  // namespace

void MakeMp3Code(GenContext& ctx) {
  const auto& o = ctx.cfg.OtherAPP;
  const std::string& chip = o.MP3_chip.text;
  if (chip == "VS1003") {
    static const char* const captions[] = {"XRST", "DREQ", "XDCS", "XCS"};
    std::array<chips::Pin, 4> pin{};
    std::array<std::string, 4> text;
    for (size_t i = 0; i < pin.size(); ++i) {
      text[i] = o.pins[i].Text;
      pin[i] = chips::requirePin("MP3 VS1003", captions[i], text[i]);
    }
    ctx.NeedDelay = true;
    TextBuffer module;
    AddTestBanner(module, ctx.cfg);
    Mp3CreateCode("vs1003", ctx.files, module, crystalHz(ctx.cfg.crystalText(), ctx.regs.FoscMHz));
    ctx.files.add("vs1003.h", vs1003Header(pin, text));
    for (size_t i = 0; i < pin.size(); ++i) chips::warnMissingPin(ctx, "MP3 VS1003", captions[i], pin[i]);
    warnVs1003Needs(ctx);
  } else if (chip == "STA013") {
    ctx.NeedDelay = true;
    TextBuffer module;
    AddTestBanner(module, ctx.cfg);
    TwiCreateCode("sta013", ctx.files, module,
                  crystalHz(ctx.cfg.crystalText(), ctx.regs.FoscMHz));
    auto dev = findDevice(ctx.cfg.mcuName());
    if (dev && !dev->hasTwi)
      ctx.warn("MP3 STA013: the decoder is controlled over the TWI, which " + ctx.cfg.mcuName() +
               " does not have, so sta013.c is left out of the Makefile");
  }
}

}  // namespace tamberlo
