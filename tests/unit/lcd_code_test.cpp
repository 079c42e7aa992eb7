// SPDX-License-Identifier: GPL-3.0-or-later
// lcd.h of every family against golden copies, the pin checks that guard it,
// and the run's refusal to report success for a project it could not write.
#include "gen/generator.h"
#include "gen/display/lcd_code.h"

#include <algorithm>

#include "app/editor_model.h"
#include "bus_test_support.h"
#include "editor_test_support.h"
#include "platform/error.h"
#include "platform/fs.h"

namespace tamberlo {
namespace {

using test::BusRun;

// The wiring of a case: data port and the eight slot texts.
struct Wiring {
  const char* data;
  std::array<const char*, 8> pins;
};

constexpr Wiring kWiring = {"PORTB", {"PC0", "PC1", "PC2", "PC3", "PC4", "PC5", "PC6", "PC7"}};

void wire(ProjectConfig& c, const std::string& model, const Wiring& w = kWiring, const char* io = "8 线并口",
          bool gui = false) {
  c.LCD.Lcd_use = true;
  c.LCD.Lcd_type = {0, model};
  c.LCD.Lcd_io = {0, io};
  c.LCD.Data_io = {0, w.data};
  for (size_t i = 0; i < 8; ++i) c.LCD.pins[i].Text = w.pins[i];
  c.LCD.Gui_use = gui;
}

TEST(LcdHeaderGolden, EveryFamily) {
  struct Case {
    const char* golden;  // below lcd/
    const char* model;
    const char* io;
    bool gui;
    Wiring wiring;
  };
  // E on PB0 and RS on PD7: signals on different ports keep their own ports.
  const Wiring split = {"PORTA", {"PB0", "PC1", "PD7", "PD3", "", "", "", ""}};
  const Case cases[] = {
      {"lcd1602.h", "LCD1602", "4 线并口", false, kWiring},
      {"lcd4004_split.h", "LCD4004", "4 线并口", false, split},
      {"sed1520.h", "LCD122x32(SED1520)", "8 线并口", false, kWiring},
      {"ks0108_128x64.h", "LCD128x64(KS0108)", "8 线并口", false, kWiring},
      {"ks0108_240x64_gui.h", "LCD240x64(KS0108)", "8 线并口", true, kWiring},
      {"st7920_122x32_parallel.h", "LCD122x32(ST7920)", "8 线并口", false, kWiring},
      {"st7920_128x64_serial.h", "LCD128x64(ST7920)", "串行接口", false, kWiring},
      {"t6963_128x64_gui.h", "LCD128x64(T6963)", "8 线并口", true, kWiring},
      {"t6963_240x64.h", "LCD240x64(T6963)", "8 线并口", false, kWiring},
      {"sed1335.h", "LCD320x240(SED1335)", "8 线并口", false, kWiring},
      {"sed1335_gui.h", "LCD320x240(SED1335)", "8 线并口", true, kWiring},
      {"pcd8544.h", "LCD3310(PCD8544)", "串行接口", false, kWiring},
  };
  for (const Case& tc : cases) {
    SCOPED_TRACE(tc.golden);
    test::TempDir dir;
    ProjectConfig c;
    wire(c, tc.model, tc.wiring, tc.io, tc.gui);
    lcdHeader(c).save(dir.path(), "lcd.h");
    test::expectMatchesGolden(dir / "lcd.h", std::string("lcd/") + tc.golden);
  }
}

TEST(LcdHeader, DataPortOnPorteAndUnusedSlotsIgnored) {
  ProjectConfig c;
  // Slots 4..8 hold junk: the character family does not use them.
  wire(c, "LCD2004", {"PORTE", {"PF0", "PF1", "PG2", "x", "", "P", "PZ9", "?"}}, "4 线并口");
  auto lines = lcdHeader(c).lines();
  for (const char* want :
       {"#define LCD_DATA_PORT  PORTE", "#define LCD_DATA_DDR   DDRE", "#define LCD_DATA_PIN   PINE",
        "#define LCD_RS_DDR     DDRG", "#define LCD_RS         (1<<PG2)"}) {
    EXPECT_NE(std::find(lines.begin(), lines.end(), want), lines.end()) << want;
  }
}

// A slot the model uses must hold a pin; the run stops before any LCD file.
TEST(LcdHeader, PinTextThatIsNoPinStopsTheRunNamingTheSignal) {
  struct Case {
    const char* model;
    size_t slot;  // 0-based
    const char* text;
    const char* message;
  };
  const Case cases[] = {
      {"LCD1602", 0, "", "LCD: no pin is assigned to E"},
      {"LCD1602", 2, "P", "LCD: \"P\" assigned to R/S is not a pin (PA0 .. PG7)"},
      {"LCD4004", 3, "PD", "LCD: \"PD\" assigned to E2 is not a pin"},
      {"LCD128x64(KS0108)", 5, "PB8", "assigned to /RST is not a pin"},
      {"LCD240x64(KS0108)", 7, "PH1", "assigned to /CS4 is not a pin"},
      {"LCD3310(PCD8544)", 4, "PB3 ", "assigned to D/C is not a pin"},
      {"LCD320x240(SED1335)", 0, "B3", "assigned to CE is not a pin"},
  };
  for (const Case& tc : cases) {
    SCOPED_TRACE(std::string(tc.model) + " slot " + std::to_string(tc.slot + 1));
    BusRun r;
    wire(r.cfg, tc.model);
    r.cfg.LCD.pins[tc.slot].Text = tc.text;
    try {
      r.run(MakeLcdCode);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(tc.message), std::string::npos) << e.what();
    }
    EXPECT_TRUE(test::listFiles(r.dir.path()).empty());
  }
  BusRun port;
  wire(port.cfg, "LCD1602", {"PORT", kWiring.pins});
  EXPECT_THROW(port.run(MakeLcdCode), Error);
  EXPECT_TRUE(test::listFiles(port.dir.path()).empty());
}

TEST(LcdCode, WritesSourceAndHeaderAndNeedsDelay) {
  for (const char* model :
       {"LCD1602", "LCD4004", "LCD128x64(KS0108)", "LCD240x64(KS0108)", "LCD3310(PCD8544)"}) {
    SCOPED_TRACE(model);
    BusRun r;
    wire(r.cfg, model, kWiring, std::string_view(model) == "LCD3310(PCD8544)" ? "串行接口" : "4 线并口");
    r.run(MakeLcdCode);
    EXPECT_TRUE(r.needDelay);
    auto c = r.lines("lcd.c");
    ASSERT_GT(c.size(), 12u);
    EXPECT_EQ(c[0], "/*--------------------------------------------------*/");  // the test banner
    EXPECT_EQ(c[10], "#include <iom16v.h>");
    EXPECT_EQ(r.lines("lcd.h").front(), "#ifndef\t__LCD__H");
  }
}

// The 128x64 KS0108 takes its source from the template holder, not the
// library: lcd.c is the banner and the template, line for line, its bus
// waits counted in cycles of the project's crystal (7.3728 MHz here).
TEST(LcdCode, Ks0108SourceIsTheTemplate) {
  BusRun r;
  wire(r.cfg, "LCD128x64(KS0108)");
  r.run(MakeLcdCode);
  TextBuffer want;
  want.assignText(fillMemoCrystal(MemoLCD128x64_KS0108(), 7372800));
  EXPECT_NE(std::string(MemoLCD128x64_KS0108()).find("$crystal_hz$"), std::string::npos);
  auto got = r.lines("lcd.c");
  ASSERT_EQ(got.size(), want.size() + 11);
  EXPECT_EQ(std::vector<std::string>(got.begin() + 11, got.end()), want.lines());
  EXPECT_EQ(got[10], "#include <iom16v.h>");
}

// The port boxes offer PORTA on every chip; the ATmega8 has none.
TEST(LcdCode, WiringOnAPortTheChipLacksIsAWarning) {
  BusRun r("ATMega8");
  wire(r.cfg, "LCD1602", {"PORTA", {"PC0", "PC1", "PE2", "", "", "", "", ""}}, "4 线并口");
  r.run(MakeLcdCode);
  EXPECT_EQ(r.warnings, (std::vector<std::string>{
                            "LCD: ATMega8 has no PORTA (the data port); the project will not build as wired",
                            "LCD: ATMega8 has no PORTE (R/S pin); the project will not build as wired"}));
  BusRun fine("ATMega128");
  wire(fine.cfg, "LCD1602", {"PORTE", {"PF0", "PG1", "PF2", "", "", "", "", ""}}, "4 线并口");
  fine.run(MakeLcdCode);
  EXPECT_TRUE(fine.warnings.empty());
}

// The SED1520's font is writable by its header, so ICC keeps it in RAM: the
// chips with 512 bytes are told; a chip with room is not.
TEST(LcdCode, Sed1520FontOnASmallChipIsAWarning) {
  BusRun small("ATMega8535");
  wire(small.cfg, "LCD122x32(SED1520)");
  small.run(MakeLcdCode);
  EXPECT_EQ(small.warnings,
            (std::vector<std::string>{"LCD: the SED1520 font takes 570 bytes of RAM under ICC (lcd.h declares it "
                                      "writable); ATMega8535 has 512 bytes, so the ICC project will not link (the "
                                      "avr-gcc build keeps the font in flash)"}));
  BusRun roomy("ATMega16");
  wire(roomy.cfg, "LCD122x32(SED1520)");
  roomy.run(MakeLcdCode);
  EXPECT_TRUE(roomy.warnings.empty());
}

// Every model of the list has its driver: a run writes lcd.c for each and
// completes.
TEST(LcdCode, EveryModelWritesItsDriver) {
  test::StartedEditor e;
  e->setChecked("LCDCheck", true);
  const std::vector<std::string> models = e->ctl("ComboBox16").items;
  ASSERT_EQ(models.size(), 16u);
  for (const std::string& model : models) {
    SCOPED_TRACE(model);
    e->setText("ComboBox16", model);
    e->run("ComboBox16Change");
    const char* pins[] = {"PC0", "PC1", "PC2", "PC3", "PC4", "PC5", "PC6", "PC7"};
    const char* edits[] = {"Edit1", "Edit2", "Edit3", "Edit7", "Edit9", "Edit4", "Edit5", "Edit6"};
    for (size_t i = 0; i < 8; ++i) e->setText(edits[i], pins[i]);
    ::remove((e->ProjectDir() + "lcd.c").c_str());
    e->run("BitBtn1Click");
    e->run("BitBtn2Click");
    EXPECT_TRUE(fileExists(e->ProjectDir() + "lcd.c"));
    // A model may drop a file of the one before, which the status names.
    EXPECT_EQ(e.status.back().rfind("工程源程序生成完成，请打开编译软件测试！", 0), 0u) << e.status.back();
  }
}

// The project list names only files the run wrote.
void WritesNothing(GenContext&) {}

TEST(LcdCode, ListedFileThatNoStepWroteIsAnError) {
  test::StartedEditor e;
  GeneratorOverride lost("MakeUsbCode", WritesNothing);
  e->setChecked("USBCheck", true);
  try {
    e->run("BitBtn2Click");
    FAIL() << "no error";
  } catch (const Error& err) {
    EXPECT_EQ(std::string(err.what()), "the project lists ch375.c, but this run did not write it");
  }
  EXPECT_NE(e.status.back(), "工程源程序生成完成，请打开编译软件测试！");
}

}  // namespace
}  // namespace tamberlo
