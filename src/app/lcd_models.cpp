// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lcd_models.h"

namespace tamberlo {
namespace {

const LcdCaptions kCharacterCaptions = {"E", "WR", "R/S", "NC", "NC", "NC", "NC", "NC"};

LcdModel character(std::string_view name, int cols, int rows, std::string_view rowAddr) {
  return {.name = name,
          .family = LcdFamily::Character,
          .cols = cols,
          .rows = rows,
          .rowAddr = rowAddr,
          .interfaces = {kLcd4Wire, kLcd8Wire, kLcdSerial},
          .captions = kCharacterCaptions};
}

LcdModel st7920(std::string_view name, std::string_view boardHead) {
  return {.name = name,
          .family = LcdFamily::St7920,
          .interfaces = {kLcd8Wire, kLcdSerial},
          .interfaceBox = true,
          .captions = {"E", "R/W", "RS", "PSB", "/RST", "NC", "NC", "NC"},
          .serialCaptions = {"SCLK", "SID", "CS", "PSB", "/RST", "NC", "NC", "NC"},
          .boardHead = boardHead,
          .boardSignals = {"E", "RW", "RS", "PSB", "RST"},
          .serialBoardSignals = {"SCLK", "SID", "CS", "PSB", "RST"}};
}

LcdModel t6963(std::string_view name, std::string_view boardHead) {
  return {.name = name,
          .family = LcdFamily::T6963,
          .interfaces = {kLcd8Wire},
          .guiBox = true,
          .captions = {"CE", "CD", "RD", "WR", "/RST", "NC", "NC", "NC"},
          .boardHead = boardHead,
          .boardSignals = {"CE", "CD", "RD", "WR", "RST"}};
}

LcdModel ks0108(std::string_view name, bool wide) {
  return {
      .name = name,
      .family = LcdFamily::Ks0108,
      .interfaces = {kLcd8Wire},
      .guiBox = true,
      .captions = {"E", "R/W", "RS", "/CS1", "/CS2", "/RST", wide ? "/CS3" : "NC", wide ? "/CS4" : "NC"},
      .boardHead = "ks0108:",
      .boardSignals = wide ? std::vector<std::string_view>{"E", "RW", "DI", "CS1", "CS2", "RST", "CS3", "CS4"}
                           : std::vector<std::string_view>{"E", "RW", "DI", "CS1", "CS2", "RST"},
      .extraSelects = wide};
}

}  // namespace

const std::vector<LcdModel>& lcdModels() {
  static const std::vector<LcdModel> models = [] {
    LcdModel lcd4004 = character("LCD4004", 40, 4, "(((y) & 1) ? 0x40 : 0x00)");
    lcd4004.captions = {"E", "WR", "R/S", "E2", "NC", "NC", "NC", "NC"};
    lcd4004.extraSelects = true;
    return std::vector<LcdModel>{
        character("LCD1601", 16, 1, "0x00"),
        character("LCD1602", 16, 2, "((y) ? 0x40 : 0x00)"),
        character("LCD1604", 16, 4, "((y) == 0 ? 0x00 : (y) == 1 ? 0x40 : (y) == 2 ? 0x10 : 0x50)"),
        character("LCD2002", 20, 2, "((y) ? 0x40 : 0x00)"),
        character("LCD2004", 20, 4, "((y) == 0 ? 0x00 : (y) == 1 ? 0x40 : (y) == 2 ? 0x14 : 0x54)"),
        character("LCD3202", 32, 2, "((y) ? 0x40 : 0x00)"),
        lcd4004,
        {.name = "LCD122x32(SED1520)",
         .family = LcdFamily::Sed1520,
         .interfaces = {kLcd8Wire},
         .captions = {"A0", "R/W", "/RST", "E1", "E2", "NC", "NC", "NC"},
         .boardHead = "sed1520:",
         .boardSignals = {"A0", "RW", "RST", "E1", "E2"}},
        st7920("LCD122x32(ST7920)", "st7920:122x32:"),
        ks0108("LCD128x64(KS0108)", false),
        st7920("LCD128x64(ST7920)", "st7920:128x64:"),
        t6963("LCD128x64(T6963)", "t6963:128x64:"),
        ks0108("LCD240x64(KS0108)", true),
        t6963("LCD240x64(T6963)", "t6963:240x64:"),
        {.name = "LCD320x240(SED1335)",
         .family = LcdFamily::Sed1335,
         .interfaces = {kLcd8Wire},
         .guiBox = true,
         .captions = {"CE", "A0", "/RD", "/WR", "/RES", "NC", "NC", "NC"},
         .boardHead = "sed1335:",
         .boardSignals = {"CS", "A0", "RD", "WR", "RST"}},
        {.name = "LCD3310(PCD8544)",
         .family = LcdFamily::Pcd8544,
         .interfaces = {kLcdSerial},
         .dataPort = false,
         .captions = {"RES", "SCE", "SDIN", "SCLK", "D/C", "NC", "NC", "NC"},
         .boardHead = "pcd8544:",
         .boardDataPort = false,
         .boardSignals = {"RES", "SCE", "SDIN", "SCLK", "DC"}},
    };
  }();
  return models;
}

const LcdModel* findLcdModel(std::string_view name) {
  for (const LcdModel& m : lcdModels()) {
    if (m.name == name) return &m;
  }
  return nullptr;
}

LcdFamily lcdFamilyOf(std::string_view name) {
  const LcdModel* m = findLcdModel(name);
  return m ? m->family : LcdFamily::None;
}

}  // namespace tamberlo
