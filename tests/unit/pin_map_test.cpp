// SPDX-License-Identifier: GPL-3.0-or-later
// The chips' pin-outs, the pins a configuration takes, its conflicts as the
// generation run warns them and the pin boxes show them, and the wiring sheet.
#include <gtest/gtest.h>

#include "app/device_catalogue.h"
#include "app/pin_owners.h"
#include "app/wiring_sheet.h"
#include "editor_test_support.h"
#include "platform/error.h"
#include "settings/act_file.h"

namespace tamberlo {
namespace {

void apply(EditorModel& m, const std::string& name, const std::string& value) {
  size_t dot = name.rfind('.');
  const ActRow* row = findActRow(name.substr(0, dot), name.substr(dot + 1));
  ASSERT_NE(row, nullptr) << name;
  applyActValue(m, *row, value);
}

TEST(PinMap, PackagesMatchTheDatasheets) {
  struct Case {
    const char* mcu;
    const char* package;
    size_t pins;
    unsigned ports[7];  // port pins A..G as the pin-out lists them
    const char* functions[6][2];
  };
  const Case cases[] = {
      {"ATMega8", "PDIP-28", 28, {0x00, 0xFF, 0x7F, 0xFF, 0, 0, 0},
       {{"SS", "PB2"}, {"SCK", "PB5"}, {"SDA", "PC4"}, {"XTAL1", "PB6"}, {"RESET", "PC6"}, {"AIN1", "PD7"}}},
      {"ATMega8515", "PDIP-40", 40, {0xFF, 0xFF, 0xFF, 0xFF, 0x07, 0, 0},
       {{"SS", "PB4"}, {"MISO", "PB6"}, {"TXD", "PD1"}, {"INT2", "PE0"}, {"AIN0", "PB2"}, {"RXD", "PD0"}}},
      {"ATMega8535", "PDIP-40", 40, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0},
       {{"SCL", "PC0"}, {"ADC7", "PA7"}, {"INT2", "PB2"}, {"MOSI", "PB5"}, {"TOSC2", "PC7"}, {"ICP1", "PD6"}}},
      {"ATMega32", "PDIP-40", 40, {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0},
       {{"TCK", "PC2"}, {"TDI", "PC5"}, {"SDA", "PC1"}, {"ADC0", "PA0"}, {"SCK", "PB7"}, {"AIN1", "PB3"}}},
      {"ATMega128", "TQFP-64", 64, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x1F},
       {{"RXD0", "PE0"}, {"TXD1", "PD3"}, {"SS", "PB0"}, {"TDI", "PF7"}, {"PDO", "PE1"}, {"SCL", "PD0"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.mcu);
    const ChipPackage* p = chipPackage(c.mcu);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->package, c.package);
    ASSERT_EQ(p->pins.size(), c.pins);
    for (size_t i = 0; i < p->pins.size(); ++i) EXPECT_EQ(p->pins[i].number, static_cast<int>(i + 1));
    for (char l = 'A'; l <= 'G'; ++l) EXPECT_EQ(portMask(c.mcu, l), c.ports[l - 'A']) << l;
    for (const auto& f : c.functions) EXPECT_EQ(pinName(*functionPin(c.mcu, f[0])), f[1]) << f[0];
  }
  // Every listed chip has a pin-out; the 128's PEN, VCC and GND are no port pins.
  for (const auto& d : allDevices()) EXPECT_NE(chipPackage(d.name), nullptr) << d.name;
  EXPECT_EQ(chipPackage("ATMega128")->pins[0].label, "PEN");
  EXPECT_FALSE(chipPackage("ATMega128")->pins[0].port);
  EXPECT_EQ(portPinCount("ATMega8", 'C'), 7);
  EXPECT_FALSE(deviceHasPin("ATMega64", 'G', 5));
  EXPECT_TRUE(deviceHasPin("typed chip", 'G', 7));
}

using Sets = std::vector<std::pair<std::string, std::string>>;

// An LCD1602 (E, WR, R/S) on the ATMega16 with its 4-bit bus on PD4..PD7.
Sets lcd(const char* e, const char* wr, const char* rs, const char* mcu = "3") {
  return {{"MCU.mcutype", mcu}, {"LCD.Lcd_use", "1"}, {"LCD.Lcd_type", "1"}, {"LCD.Data_io", "3"},
          {"LCD.Text1", e},     {"LCD.Text2", wr},    {"LCD.Text3", rs}};
}
Sets operator+(Sets a, const Sets& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

TEST(PinMap, EveryConflictIsWarnedOnceWithBothOwnersAndACleanOneNotAtAll) {
  struct Case {
    const char* what;
    Sets sets;
    std::vector<const char*> warnings;  // a part of each warning, in order; "JTAG: " notices left out
  };
  const Sets uart = {{"UART0.Uart0_use", "1"}, {"UART0.Rx_en", "1"}, {"UART0.Tx_en", "1"}};
  const Case cases[] = {
      {"clean: LCD on port B, UART, 1-Wire on PC3", lcd("PB0", "PB1", "PB2") + uart +
           Sets{{"Other APP.OneWire_use", "1"}, {"Other APP.Ds18b20_use", "1"}, {"Other APP.Ds18b20_port", "2"},
                {"Other APP.Ds18b20_portno", "6"}},
       {}},
      {"clean: SPI with the SD card beside an LCD", lcd("PB0", "PB1", "PB2") +
           Sets{{"SPI.Spi_use", "1"}, {"SPI.Spi_master", "1"}, {"SPI.Spi_sd", "1"}}, {}},
      {"E and WR on one pin", lcd("PC6", "PC6", "PB2"),
       {"Pins: PC6 is taken twice, by LCD E on PC6 and by LCD WR on PC6"}},
      {"an LCD signal on the UART's TXD", lcd("PD1", "PB1", "PB2") + uart,
       {"Pins: PD1 is taken twice, by UART TXD on PD1 and by LCD E on PD1"}},
      {"the 1-Wire pin on the LCD's data port", lcd("PB0", "PB1", "PB2") +
           Sets{{"Other APP.OneWire_use", "1"}, {"Other APP.Ds18b20_use", "1"}, {"Other APP.Ds18b20_port", "3"},
                {"Other APP.Ds18b20_portno", "5"}},
       {"Pins: PD5 is taken twice, by LCD data bus on PORTD and by DS18B20 DQ on PD5"}},
      {"the SPI master's SS used by the LCD", lcd("PB0", "PB1", "PB4") +
           Sets{{"SPI.Spi_use", "1"}, {"SPI.Spi_master", "1"}},
       {"Pins: PB4 is taken twice, by SPI SS (master: an output) on PB4 and by LCD R/S on PB4"}},
      {"two chip selects on SS", Sets{{"SPI.Spi_use", "1"}, {"SPI.Spi_master", "1"}, {"SPI.Spi_ds1302", "1"},
                                      {"SPI.Spi_sd", "1"}},
       {"Pins: PB4 is taken twice, by DS1302 CE on PB4 and by SD card CS on PB4"}},
      {"an LCD signal on an ISP pin: a notice", lcd("PB5", "PB1", "PB2"),
       {"ISP: LCD E on PB5 shares PB5 (MOSI) with the ISP programmer"}},
      {"the ATMega128's UART0 on PDI/PDO: a notice",
       Sets{{"MCU.mcutype", "6"}, {"UART0.Uart0_use", "1"}, {"UART0.Tx_en", "1"}},
       {"ISP: UART0 TXD0 on PE1 shares PE1 (PDO)"}},
      {"the crystal pin of the ATMega8", lcd("PB6", "PB1", "PB2", "0"),
       {"LCD: E on PB6: PB6 of the ATMega8 is XTAL1, taken by the crystal"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::StartedEditor e;
    for (const auto& [name, value] : c.sets) apply(*e, name, value);
    e->run("BitBtn2Click");
    std::vector<std::string> warnings;
    for (const auto& w : e->warnings()) {
      if (w.rfind("JTAG: ", 0) != 0) warnings.push_back(w);
    }
    ASSERT_EQ(warnings.size(), c.warnings.size()) << (warnings.empty() ? "" : warnings[0]);
    for (size_t i = 0; i < c.warnings.size(); ++i) {
      EXPECT_NE(warnings[i].find(c.warnings[i]), std::string::npos) << warnings[i];
    }
    // The project is written all the same.
    EXPECT_FALSE(test::readBytes(e.dir / "test/main.c").empty());
  }
}

TEST(PinMap, APinBoxTurnsRedInTheSameEditAndNamesTheOtherOwner) {
  test::StartedEditor e;
  for (const auto& [name, value] : lcd("PB0", "PB1", "PB2")) apply(*e, name, value);
  EXPECT_EQ(e->ctl("Edit1").color, "");
  e->userType("Edit2", "PB0");
  EXPECT_EQ(e->ctl("Edit2").color, "red");
  EXPECT_EQ(e->ctl("Edit1").color, "red");
  EXPECT_NE(e->ctl("Edit2").hint.find("PB0：也被 LCD E "), std::string::npos) << e->ctl("Edit2").hint;
  EXPECT_NE(e->ctl("Edit1").hint.find("PB0：也被 LCD WR"), std::string::npos) << e->ctl("Edit1").hint;
  e->userType("Edit2", "PB3");
  EXPECT_EQ(e->ctl("Edit2").color, "");
  EXPECT_EQ(e->ctl("Edit2").hint, "");
  // A pin the chip lacks (the ATMega8 has no PC7) is red as well.
  e->userSelect("ComboBox3", 0);
  e->userType("Edit2", "PC7");
  EXPECT_EQ(e->ctl("Edit2").color, "red");
  EXPECT_NE(e->ctl("Edit2").hint.find("没有引脚 PC7"), std::string::npos) << e->ctl("Edit2").hint;
}

TEST(PinMap, TheWiringSheetTablesEveryOwnerAndRefusesOtherNames) {
  test::StartedEditor e;
  for (const auto& [name, value] : lcd("PC6", "PC6", "PB2")) apply(*e, name, value);
  const ProjectConfig cfg = e->config();
  const ChipDrawing d = drawChip(cfg);
  ASSERT_EQ(d.pins.size(), 40u);
  EXPECT_EQ(d.pins[27].label, "PC6");
  EXPECT_EQ(d.pins[27].state, PinState::Conflict);
  EXPECT_EQ(d.pins[27].owner, "LCD E / LCD WR");
  EXPECT_EQ(d.pins[0].state, PinState::Free);
  EXPECT_EQ(d.pins[12].owner, "crystal");  // XTAL1, pin 13
  EXPECT_NE(d.pins[4].tooltip.find("PB4 (SS)"), std::string::npos);
  const std::string svg = wiringSheetSvg(cfg);
  for (const char* part : {"width=\"210mm\" height=\"297mm\"", ">LCD E / LCD WR</text>", ">R/S</text>",
                           "晶振: 7.3728 MHz", "熔丝: 低 0xFF  高 0xD9"}) {
    EXPECT_NE(svg.find(part), std::string::npos) << part;
  }
  EXPECT_NE(wiringSheetHtml(cfg).find("size: A4 portrait"), std::string::npos);
  const std::string dir = (e.dir / "sheet");
  EXPECT_THROW(writeWiringSheet(cfg, dir + ".png"), Error);
  writeWiringSheet(cfg, dir + ".SVG");
  EXPECT_EQ(test::readBytes(e.dir / "sheet.SVG"), svg);
  ProjectConfig typed = cfg;
  typed.MCU.mcutype.text = "ATMega<&>";
  EXPECT_THROW(drawChip(typed), Error);
}

}  // namespace
}  // namespace tamberlo
