// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/lcd_models.h"

namespace tamberlo {
namespace {

using V = std::vector<std::string_view>;

const LcdCaptions kCharacter = {"E", "WR", "R/S", "NC", "NC", "NC", "NC", "NC"};
const LcdCaptions kNone = {};
const V kCharacterIo = {kLcd4Wire, kLcd8Wire, kLcdSerial};
const V k8WireIo = {kLcd8Wire};

LcdModel character(std::string_view name, int cols, int rows, std::string_view rowAddr) {
  return {name, LcdFamily::Character, cols, rows, rowAddr, kCharacterIo, false, true, false, kCharacter, kNone,
          "", false, {}, {}, false};
}

LcdModel st7920(std::string_view name, std::string_view head) {
  return {name,
          LcdFamily::St7920,
          0,
          0,
          "",
          {kLcd8Wire, kLcdSerial},
          true,
          true,
          false,
          {"E", "R/W", "RS", "PSB", "/RST", "NC", "NC", "NC"},
          {"SCLK", "SID", "CS", "PSB", "/RST", "NC", "NC", "NC"},
          head,
          true,
          {"E", "RW", "RS", "PSB", "RST"},
          {"SCLK", "SID", "CS", "PSB", "RST"},
          false};
}

LcdModel t6963(std::string_view name, std::string_view head) {
  return {name, LcdFamily::T6963, 0, 0, "", k8WireIo, false, true, true,
          {"CE", "CD", "RD", "WR", "/RST", "NC", "NC", "NC"}, kNone, head, true,
          {"CE", "CD", "RD", "WR", "RST"}, {}, false};
}

}  // namespace

const std::vector<LcdModel>& lcdModels() {
  static const std::vector<LcdModel> models = [] {
    std::vector<LcdModel> m = {
        character("LCD1601", 16, 1, "0x00"),
        character("LCD1602", 16, 2, "((y) ? 0x40 : 0x00)"),
        character("LCD1604", 16, 4, "((y) == 0 ? 0x00 : (y) == 1 ? 0x40 : (y) == 2 ? 0x10 : 0x50)"),
        character("LCD2002", 20, 2, "((y) ? 0x40 : 0x00)"),
        character("LCD2004", 20, 4, "((y) == 0 ? 0x00 : (y) == 1 ? 0x40 : (y) == 2 ? 0x14 : 0x54)"),
        character("LCD3202", 32, 2, "((y) ? 0x40 : 0x00)"),
        character("LCD4004", 40, 4, "(((y) & 1) ? 0x40 : 0x00)"),
        {"LCD122x32(SED1520)", LcdFamily::Sed1520, 0, 0, "", k8WireIo, false, true, false,
         {"A0", "R/W", "/RST", "E1", "E2", "NC", "NC", "NC"}, kNone, "sed1520:", true,
         {"A0", "RW", "RST", "E1", "E2"}, {}, false},
        st7920("LCD122x32(ST7920)", "st7920:122x32:"),
        {"LCD128x64(KS0108)", LcdFamily::Ks0108, 0, 0, "", k8WireIo, false, true, true,
         {"E", "R/W", "RS", "/CS1", "/CS2", "/RST", "NC", "NC"}, kNone, "ks0108:", true,
         {"E", "RW", "DI", "CS1", "CS2", "RST"}, {}, false},
        st7920("LCD128x64(ST7920)", "st7920:128x64:"),
        t6963("LCD128x64(T6963)", "t6963:128x64:"),
        {"LCD240x64(KS0108)", LcdFamily::Ks0108, 0, 0, "", k8WireIo, false, true, true,
         {"E", "R/W", "RS", "/CS1", "/CS2", "/RST", "/CS3", "/CS4"}, kNone, "ks0108:", true,
         {"E", "RW", "DI", "CS1", "CS2", "RST", "CS3", "CS4"}, {}, true},
        t6963("LCD240x64(T6963)", "t6963:240x64:"),
        {"LCD320x240(SED1335)", LcdFamily::Sed1335, 0, 0, "", k8WireIo, false, true, true,
         {"CE", "A0", "/RD", "/WR", "/RES", "NC", "NC", "NC"}, kNone, "sed1335:", true,
         {"CS", "A0", "RD", "WR", "RST"}, {}, false},
        {"LCD3310(PCD8544)", LcdFamily::Pcd8544, 0, 0, "", {kLcdSerial}, false, false, false,
         {"RES", "SCE", "SDIN", "SCLK", "D/C", "NC", "NC", "NC"}, kNone, "pcd8544:", false,
         {"RES", "SCE", "SDIN", "SCLK", "DC"}, {}, false},
    };
    m[6].captions = {"E", "WR", "R/S", "E2", "NC", "NC", "NC", "NC"};  // LCD4004
    m[6].extraSelects = true;
    return m;
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
