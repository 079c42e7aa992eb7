// SPDX-License-Identifier: GPL-3.0-or-later
// main.c as a whole: golden files for the configurations whose every line
// matters, and the MCU banner line's alignment rule.
#include "gen/main/main_code.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/device_catalogue.h"
#include "test_support.h"

namespace tamberlo {
namespace {

using test::TempDir;

struct GoldenCase {
  const char* name;  // golden file main/<name>.c
  std::function<void(ProjectConfig&)> configure;
  bool needDelay = false;
};

void mcu(ProjectConfig& c, const std::string& name) {
  c.MCU.mcutype = {-1, name};
}

void lcd(ProjectConfig& c, const std::string& model) {
  c.LCD.Lcd_use = true;
  c.LCD.Lcd_type = {isLcdModel(model) ? 0 : -1, model};
}

void allShapes(ProjectConfig& c) {
  c.GUI.Circle_use = c.GUI.Ellipse_use = c.GUI.Arc_use = c.GUI.Pieslice_use = true;
}

const std::vector<GoldenCase>& goldenCases() {
  static const std::vector<GoldenCase> cases = {
      {"nothing", [](ProjectConfig&) {}},
      {"atmega16_rx_interrupt",
       [](ProjectConfig& c) { c.UART0.Uart0_use = c.UART0.Rx_en = c.UART0.Rx_int = c.UART0.Tx_en = true; }},
      {"atmega16_tx_only_no_rx", [](ProjectConfig& c) { c.UART0.Uart0_use = c.UART0.Tx_en = true; }},
      {"atmega128_uart0_tx_off_chips",
       [](ProjectConfig& c) {
         mcu(c, "ATMega128");
         c.UART0.Uart0_use = c.UART0.Rx_en = true;
         c.UART1.Uart1_use = c.UART1.Rx_en = c.UART1.Tx_en = true;
         c.TWI.Twi_use = c.TWI.Twi_at24 = true;
         c.SPI.Spi_use = c.SPI.Spi_ds1302 = true;
         c.OtherAPP.OneWire_use = c.OtherAPP.Ds18b20_use = true;
       },
       true},
      {"atmega128_uart0_tx_interrupt_chips",
       [](ProjectConfig& c) {
         mcu(c, "ATMega128");
         c.UART0.Uart0_use = c.UART0.Tx_en = c.UART0.Tx_int = true;
         c.UART0.Rx_en = c.UART0.Rx_int = true;
         c.UART1.Uart1_use = c.UART1.Tx_en = c.UART1.Rx_en = c.UART1.Rx_int = true;
         c.TWI.Twi_use = c.TWI.Twi_at24 = true;
         c.SPI.Spi_use = c.SPI.Spi_ds1302 = true;
         c.OtherAPP.OneWire_use = c.OtherAPP.Ds18b20_use = true;
       },
       true},
      {"atmega64_both_uarts_print",
       [](ProjectConfig& c) {
         mcu(c, "ATMega64");
         c.UART0.Uart0_use = c.UART0.Tx_en = c.UART0.Rx_en = true;
         c.UART1.Uart1_use = c.UART1.Tx_en = c.UART1.Rx_en = true;
         c.TWI.Twi_use = c.TWI.Twi_at24 = true;
       }},
      {"ds18b20_without_onewire",
       [](ProjectConfig& c) {
         c.UART0.Uart0_use = c.UART0.Tx_en = c.UART0.Rx_en = true;
         c.OtherAPP.Ds18b20_use = true;
       }},
      {"gui_window_test_without_lcd",
       [](ProjectConfig& c) {
         c.LCD.Gui_use = true;
         c.GUI.Test2_use = true;
       }},
      {"at24_rx_interrupt",
       [](ProjectConfig& c) {
         c.UART0.Uart0_use = c.UART0.Tx_en = c.UART0.Rx_en = c.UART0.Rx_int = true;
         c.TWI.Twi_use = c.TWI.Twi_at24 = true;
       }},
      {"lcd1602_ds1302",
       [](ProjectConfig& c) {
         c.UART0.Uart0_use = c.UART0.Tx_en = c.UART0.Rx_en = true;
         c.SPI.Spi_use = c.SPI.Spi_ds1302 = true;
         lcd(c, "LCD1602");
       },
       true},
      {"lcd1602_ds18b20",
       [](ProjectConfig& c) {
         c.OtherAPP.OneWire_use = c.OtherAPP.Ds18b20_use = true;
         lcd(c, "LCD1602");
       },
       true},
      {"sed1335_scroller", [](ProjectConfig& c) { lcd(c, "LCD320x240(SED1335)"); }, true},
      {"sed1335_gui_all_tests_sd2000",
       [](ProjectConfig& c) {
         lcd(c, "LCD320x240(SED1335)");
         c.LCD.Gui_use = true;
         c.GUI.Test1_use = c.GUI.Test2_use = c.GUI.Test3_use = true;
         allShapes(c);
         c.TWI.Twi_use = c.TWI.Twi_sd2k = true;
       },
       true},
      {"ks0108_gui_demos",
       [](ProjectConfig& c) {
         lcd(c, "LCD240x64(KS0108)");
         c.LCD.Gui_use = true;
         c.GUI.Test1_use = c.GUI.Test2_use = true;
         allShapes(c);
       },
       true},
      {"typed_lcd_model",
       [](ProjectConfig& c) {
         lcd(c, "LCD9999");
         c.LCD.Gui_use = true;
       }},
      {"atmega8_twi_clocks_and_display",
       [](ProjectConfig& c) {
         mcu(c, "ATMega8");
         c.UART0.Uart0_use = c.UART0.Tx_en = c.UART0.Rx_en = true;
         c.TWI.Twi_use = c.TWI.Twi_int = true;
         c.TWI.Twi_sd2k = c.TWI.Twi_ds1307 = c.TWI.Twi_zlg7290 = c.TWI.Twi_tea5767 = true;
         c.SPI.Spi_use = c.SPI.Spi_sd = true;
         c.Adc_use = c.Acp_use = true;
         lcd(c, "LCD2004");
       },
       true},
      {"pcd8544_bitmaps",
       [](ProjectConfig& c) {
         mcu(c, "ATMega32");
         lcd(c, "LCD3310(PCD8544)");
       },
       true},
      {"mp3_player_usb",
       [](ProjectConfig& c) {
         mcu(c, "ATMega128");
         c.USB.Usb_use = true;
         c.OtherAPP.MP3_use = true;
         lcd(c, "LCD1602");
       },
       true},
  };
  return cases;
}

TEST(MainCode, WholeFileMatchesGoldenForEachConfiguration) {
  TempDir dir;
  for (const auto& gc : goldenCases()) {
    SCOPED_TRACE(gc.name);
    ProjectConfig cfg;
    gc.configure(cfg);
    bool needDelay = gc.needDelay;
    RegisterShadows regs;
    std::vector<std::string> preview;
    GenContext ctx{cfg, regs, dir.path(), needDelay, preview, {}, {}, {}};
    MakeMainCode(ctx);
    writeGeneratedFiles(dir.path(), ctx.files);
    test::expectMatchesGolden(dir / "main.c", std::string("main/") + gc.name + ".c");
    EXPECT_TRUE(preview.empty()) << "main.c is not shown in the preview pane";
  }
}

std::vector<std::string> linesOf(const ProjectConfig& cfg, bool needDelay = false) {
  return mainCodeLines(cfg, needDelay).lines();
}

bool contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The banner line pads names of even length so the Chinese text starts on
// a whole character cell.
TEST(MainCode, McuBannerLineFollowsNameLengthAndForm) {
  struct Case {
    std::string mcu;
    std::vector<std::string> expected;
  };
  const std::vector<Case> cases = {
      {"ATMega8", {"   Puts(\"ATMega8的串口测试\");"}},
      {"ATMega16", {"   Puts(\"ATMega16 的串口测试\");"}},
      {"ATMega8515", {"   Puts(\"ATMega8515 的串口测试\");"}},
      {"ATMega32", {"   Puts(\"ATMega32 的串口测试\");"}},
      {"ATMega64", {"   Puts0(\"ATMega64 的串口0 测试\");", "   Puts1(\"ATMega64 的串口1 测试\");"}},
      {"ATMega128", {"   Puts0(\"ATMega128的串口0 测试\");", "   Puts1(\"ATMega128的串口1 测试\");"}},
      {"Mega48", {"   Puts(\"Mega48 的串口测试\");"}},  // typed: a single-UART device
      {"芯片A", {"   Puts(\"芯片A的串口测试\");"}},     // five cells: odd
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.mcu);
    ProjectConfig cfg;
    mcu(cfg, tc.mcu);
    cfg.UART0.Uart0_use = cfg.UART0.Tx_en = true;
    cfg.UART1.Uart1_use = cfg.UART1.Tx_en = true;
    auto lines = linesOf(cfg);
    for (const auto& e : tc.expected) {
      EXPECT_TRUE(contains(lines, e)) << e;
      // The same line comes back in the 0x0F command, indented by nine.
      EXPECT_TRUE(contains(lines, "      " + e)) << e;
    }
  }
}

// What the two-UART forms decide, line by line, for the four transmitter
// states of UART0.
// Every used UART is set up; the messages go out on UART0 when it can send
// (polled senders work beside the transmit interrupt), else on UART1 when it
// can, else nowhere: main.c calls only senders uart.c writes.
TEST(MainCode, TwoUartFormsFollowWhatEachUartCanSend) {
  struct Case {
    const char* what;
    bool tx, txInt, uart1;
    bool puts0Banner, at24Uart1;
  };
  const Case cases[] = {
      {"prints", true, false, true, true, false},
      {"transmit interrupt", true, true, true, true, false},
      {"transmitter off", false, false, true, false, true},
      {"off with interrupt", false, true, true, false, true},
      {"off, UART1 unused", false, false, false, false, false},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.what);
    ProjectConfig cfg;
    mcu(cfg, "ATMega128");
    cfg.UART0.Uart0_use = true;
    cfg.UART0.Tx_en = tc.tx;
    cfg.UART0.Tx_int = tc.txInt;
    cfg.UART1.Uart1_use = tc.uart1;
    cfg.UART1.Tx_en = true;
    cfg.TWI.Twi_use = cfg.TWI.Twi_at24 = true;
    auto lines = linesOf(cfg);
    EXPECT_TRUE(contains(lines, "   Uart0_Init();"));
    EXPECT_EQ(contains(lines, "   Uart1_Init();"), tc.uart1);
    EXPECT_EQ(contains(lines, "   Puts0(\"Hollowmere论坛RS232 通信测试程序\");"), tc.puts0Banner);
    EXPECT_EQ(contains(lines, "   Puts0(\"发送0x0A可以写AT24Cxx \");"), tc.puts0Banner);
    EXPECT_EQ(contains(lines, "   Puts1(\"发送0x0A可以写AT24Cxx \");"), tc.at24Uart1);
    EXPECT_EQ(contains(lines, "         Puts1(\"对EEPROM的地址0x55写入0x99,地址0x56写入0x22\");"),
              tc.at24Uart1);
    if (!tc.tx && !tc.uart1) {
      for (const auto& l : lines) EXPECT_EQ(l.find("Put"), std::string::npos) << l;
    }
  }
}

// UART1's byte goes to k; a receive-only UART1 still needs k declared, or
// main.c does not compile.
TEST(MainCode, UartOneByteHolderIsDeclaredWhenUsed) {
  struct Case {
    bool rx, tx;
    bool declared;
  };
  for (const Case& tc : {Case{false, false, false}, Case{true, false, true}, Case{false, true, true},
                         Case{true, true, true}}) {
    ProjectConfig cfg;
    mcu(cfg, "ATMega64");
    cfg.UART0.Uart0_use = cfg.UART0.Tx_en = true;
    cfg.UART1.Uart1_use = true;
    cfg.UART1.Rx_en = tc.rx;
    cfg.UART1.Tx_en = tc.tx;
    auto lines = linesOf(cfg);
    bool uses = std::any_of(lines.begin(), lines.end(), [](const std::string& l) {
      return l.find("k=Getchar1()") != std::string::npos || l.find("(k==") != std::string::npos;
    });
    EXPECT_EQ(contains(lines, "   unsigned char k=0;"), tc.declared) << tc.rx << tc.tx;
    EXPECT_EQ(uses, tc.declared) << tc.rx << tc.tx;
  }
}

}  // namespace
}  // namespace tamberlo

namespace tamberlo {
namespace {

// main.c names a module only when the run writes the module's files: a
// chip ticked on a bus that is off, or a GUI demo without the GUI, leaves
// no trace.
TEST(MainCode, NamesOnlyModulesWhoseFilesAreGenerated) {
  struct Case {
    const char* what;
    std::function<void(ProjectConfig&)> configure;
    std::vector<std::string> absent;
  };
  const Case cases[] = {
      {"LCD1602 with the DS1302 on an unused SPI",
       [](ProjectConfig& c) {
         lcd(c, "LCD1602");
         c.SPI.Spi_ds1302 = true;
       },
       {"DS1302_EXIST", "str1", "read_date", "Current time"}},
      {"LCD1602 with the DS1307 on an unused TWI",
       [](ProjectConfig& c) {
         lcd(c, "LCD1602");
         c.TWI.Twi_ds1307 = true;
       },
       {"str1", "RtcUpdateData", "Current time"}},
      {"LCD1602 with the DS18B20 but no 1-Wire",
       [](ProjectConfig& c) {
         lcd(c, "LCD1602");
         c.OtherAPP.Ds18b20_use = true;
       },
       {"temp", "DS18B20"}},
      {"SED1335 analogue window with the SD2000 on an unused TWI",
       [](ProjectConfig& c) {
         lcd(c, "LCD320x240(SED1335)");
         c.LCD.Gui_use = c.GUI.Test3_use = true;
         c.TWI.Twi_sd2k = true;
       },
       {"Awin.date = date;", "time[", "get_time_byte"}},
      {"GUI demos ticked, GUI not",
       [](ProjectConfig& c) {
         lcd(c, "LCD128x64(KS0108)");
         c.GUI.Test2_use = c.GUI.Test3_use = true;
       },
       {"Select", "WINDOWS", "WIN_AA"}},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.what);
    ProjectConfig cfg;
    mcu(cfg, "ATMega16");
    cfg.UART0.Uart0_use = cfg.UART0.Rx_en = cfg.UART0.Tx_en = true;
    tc.configure(cfg);
    for (const auto& line : linesOf(cfg)) {
      for (const auto& name : tc.absent) EXPECT_EQ(line.find(name), std::string::npos) << line;
    }
  }
}

}  // namespace
}  // namespace tamberlo
