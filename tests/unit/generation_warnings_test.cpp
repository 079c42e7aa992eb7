// SPDX-License-Identifier: GPL-3.0-or-later
// Projects that cannot fit or cannot work as wired: the run still writes
// them and tells the user which module, which chip and which limit.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "gen/generator.h"
#include "settings/act_file.h"

namespace tamberlo {
namespace {

using test::StartedEditor;

struct Case {
  const char* what;
  std::vector<std::pair<std::string, std::string>> sets;  // "SECTION.KEY", value
  const char* warning;                                    // a part of the one expected warning; "" for none
};

void apply(EditorModel& m, const std::string& name, const std::string& value) {
  size_t dot = name.rfind('.');
  const ActRow* row = findActRow(name.substr(0, dot), name.substr(dot + 1));
  ASSERT_NE(row, nullptr) << name;
  applyActValue(m, *row, value);
}

TEST(GenerationWarnings, NameTheModuleTheChipAndTheLimit) {
  // mcutype: 0 ATMega8, 1 ATMega8515, 2 ATMega8535, 3 ATMega16, 6 ATMega128.
  const std::vector<std::pair<std::string, std::string>> sd = {{"SPI.Spi_use", "1"}, {"SPI.Spi_sd", "1"}};
  const std::vector<std::pair<std::string, std::string>> vs1003 = {
      {"Other APP.MP3_use", "1"}, {"Other APP.Text1", "PB0"}, {"Other APP.Text2", "PB1"},
      {"Other APP.Text3", "PB2"}, {"Other APP.Text4", "PB3"}};
  auto with = [](std::string mcu, std::vector<std::pair<std::string, std::string>> sets) {
    sets.insert(sets.begin(), {"MCU.mcutype", mcu});
    return sets;
  };
  const std::vector<std::pair<std::string, std::string>> twi = {{"TWI.Twi_use", "1"}, {"TWI.Twi_en", "1"}};
  auto twiWith = [&](std::string chip, std::string bitRate) {
    auto s = with("3", twi);
    s.push_back({"TWI." + chip, "1"});
    s.push_back({"TWI.Twi_bit_rate", bitRate});
    return s;
  };
  auto rs485 = [&](std::string mcu, std::string port, std::string bit) {
    return with(mcu, {{"UART0.Uart0_use", "1"},
                      {"UART0.Tx_en", "1"},
                      {"UART0.Rs485_use", "1"},
                      {"UART0.Rs485_port", port},
                      {"UART0.Rs485_portno", bit}});
  };
  auto busy = [&](std::string mcu) {
    return with(mcu, {{"UART0.Uart0_use", "1"},
                      {"UART0.Rx_en", "1"},
                      {"UART0.Tx_en", "1"},
                      {"UART0.Rx_int", "1"},
                      {"SPI.Spi_use", "1"},
                      {"SPI.Spi_ds1302", "1"},
                      {"TWI.Twi_use", "1"},
                      {"TWI.Twi_sd2k", "1"},
                      {"TWI.Twi_zlg7290", "1"},
                      {"TWI.Twi_bit_rate", "32"}});
  };
  // Every TWI chip, the DS1302 and a KS0108 beside the serial demo: more
  // code than 8 KB of flash hold.
  auto crowded = [&](std::string mcu) {
    return with(mcu, {{"UART0.Uart0_use", "1"}, {"UART0.Rx_en", "1"},      {"UART0.Tx_en", "1"},
                      {"SPI.Spi_use", "1"},     {"SPI.Spi_master", "1"},    {"SPI.Spi_ds1302", "1"},
                      {"TWI.Twi_use", "1"},     {"TWI.Twi_at24", "1"},      {"TWI.Twi_sd2k", "1"},
                      {"TWI.Twi_ds1307", "1"},  {"TWI.Twi_zlg7290", "1"},   {"TWI.Twi_tea5767", "1"},
                      {"TWI.Twi_bit_rate", "32"}, {"LCD.Lcd_use", "1"},     {"LCD.Lcd_type", "9"},
                      {"LCD.Data_io", "3"},     {"LCD.Text1", "PC0"},       {"LCD.Text2", "PC1"},
                      {"LCD.Text3", "PC2"},     {"LCD.Text4", "PC3"},       {"LCD.Text5", "PB0"},
                      {"LCD.Text6", "PB1"}});
  };
  const Case cases[] = {
      {"SD on 512 bytes", with("1", sd),
       "SD card: its 512-byte sector buffer does not fit in the 512 bytes of RAM of the ATMega8515"},
      {"SD on the ATMega8535", with("2", sd), "512 bytes of RAM of the ATMega8535"},
      {"SD on 1 KB", with("0", sd), ""},
      {"TWI on the ATMega8515", with("1", twi), "TWI: the ATMega8515 has no TWI interface"},
      {"DS1307 at the start values", twiWith("Twi_ds1307", "1"),
       "TWI: the bus clock 409.6 kHz (TWBR 1, prescaler 1, 7.3728 MHz on the ATMega16) is above the 100 kHz "
       "the "
       "DS1307 takes"},
      {"AT24Cxx at the start values", twiWith("Twi_at24", "1"), "is above the 400 kHz the AT24Cxx takes"},
      {"DS1307 at 92 kHz", twiWith("Twi_ds1307", "32"), ""},
      {"AT24Cxx and DS1307 at 200 kHz",
       [&] {
         auto s = twiWith("Twi_at24", "10");
         s.push_back({"TWI.Twi_ds1307", "1"});
         return s;
       }(),
       "the 100 kHz the DS1307"},
      {"SD2000 at 200 kHz", twiWith("Twi_sd2k", "10"), "is above the 100 kHz the SD2000 takes"},
      {"ZLG7290 slows the bus itself", twiWith("Twi_zlg7290", "1"), ""},
      {"RS485 on the ATMega8's missing port A", rs485("0", "0", "3"),
       "UART RS485 direction pin PA3: the ATMega8 has no port A"},
      {"RS485 on PC7 of the ATMega8", rs485("0", "2", "7"), "the ATMega8 has only PC0..PC6"},
      {"RS485 on PC6 of the ATMega8", rs485("0", "2", "6"),
       "UART: RS485 direction on PC6: PC6 of the ATMega8 is RESET"},
      {"RS485 on PC5 of the ATMega8", rs485("0", "2", "5"), ""},
      {"RS485 on PG6 of the ATMega128", rs485("6", "6", "6"),
       "UART0 RS485 direction pin PG6: the ATMega128 has only PG0..PG4"},
      {"RS485 on PG4 of the ATMega128", rs485("6", "6", "4"), ""},
      {"texts and drivers fill the ATMega8535's RAM", busy("2"),
       "RAM: main.c's texts (295 bytes) and the drivers' data (UART 6, DS1302 100, SD2000 59, ZLG7290 15) "
       "leave "
       "less than 64 of the 512 bytes of RAM of the ATMega8535 for the stack"},
      {"the same fits the ATMega16's", busy("3"), ""},
      {"the CH375 and the SD card on 1 KB",
       with("3", {{"SPI.Spi_use", "1"}, {"SPI.Spi_sd", "1"}, {"USB.Usb_use", "1"}, {"USB.Text1", "PC4"},
                  {"USB.Text2", "PC5"}, {"USB.Text3", "PC6"}, {"USB.Text4", "PC7"}, {"USB.Text5", "PB0"},
                  {"USB.Text6", "PB1"}}),
       "(SD card 528, CH375 file layer 606) leave less than 64 of the 1024 bytes of RAM of the ATMega16"},
      {"the ST7920's picture copy beside the CH375 on 1 KB",
       with("0", {{"LCD.Lcd_use", "1"}, {"LCD.Lcd_type", "8"}, {"LCD.Lcd_io", "1"}, {"LCD.Text1", "PC0"},
                  {"LCD.Text2", "PC1"}, {"LCD.Text3", "PC2"}, {"LCD.Text4", "PC3"}, {"LCD.Text5", "PC4"},
                  {"USB.Usb_use", "1"}, {"USB.Data_io", "3"}, {"USB.Text1", "PB0"}, {"USB.Text2", "PB1"},
                  {"USB.Text3", "PB2"}, {"USB.Text4", "PB3"}, {"USB.Text5", "PB4"}, {"USB.Text6", "PB5"}}),
       "(CH375 file layer 606, ST7920 picture copy 512) leave less than 64 of the 1024 bytes"},
      {"drivers beyond the ATMega8's flash", crowded("0"), "of the 8192 bytes of flash of the ATMega8, so the project may not fit"},
      {"the same in the ATMega32's", crowded("4"), ""},
      // The VS1003 demo also wants the SPI master, the CH375 and a character
      // LCD, each its own warning: only the keys are looked for here.
      {"VS1003 keys on the ATMega16", with("3", vs1003),
       "MP3 (VS1003): the demo reads its five keys on PE2..PE6, which the ATMega16 does not have"},
      {"VS1003 keys on the ATMega128", with("6", vs1003), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    StartedEditor e;
    for (const auto& [name, value] : c.sets) apply(*e, name, value);
    e->run("BitBtn2Click");
    // The project is written all the same.
    EXPECT_TRUE(test::readBytes(e.dir / "test/main.c").size() > 0);
    // A signal on a JTAG or an ISP pin adds a notice of its own, and the
    // crowded configurations share pins (fuses_test.cpp, pin_map_test.cpp).
    std::vector<std::string> warnings;
    for (const auto& w : e->warnings()) {
      if (w.rfind("JTAG: ", 0) != 0 && w.rfind("ISP: ", 0) != 0 && w.rfind("Pins: ", 0) != 0) warnings.push_back(w);
    }
    if (std::string(c.what).rfind("VS1003", 0) == 0) {
      bool keys = false;
      for (const auto& w : warnings) keys = keys || w.find("PE2..PE6") != std::string::npos;
      EXPECT_EQ(keys, *c.warning != '\0');
    } else if (*c.warning == '\0') {
      EXPECT_TRUE(warnings.empty()) << warnings.front();
    } else {
      ASSERT_EQ(warnings.size(), 1u);
      EXPECT_NE(warnings[0].find(c.warning), std::string::npos) << warnings[0];
    }
  }
}

}  // namespace
}  // namespace tamberlo
