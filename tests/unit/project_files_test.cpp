// SPDX-License-Identifier: GPL-3.0-or-later
// test.prj, test.SRC and test.pnproj: the source list under every module
// condition, the 67 option keys, and what an existing project file keeps.
#include "project/project_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "editor_test_support.h"
#include "gen/main/main_code.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "test_support.h"

namespace tamberlo {
namespace {

using test::TempDir;

struct ProjectRun {
  ProjectConfig cfg;
  bool needDelay = false;
  RegisterShadows regs;
  std::vector<std::string> preview;

  void icc(const std::string& dir) {
    GenContext ctx{cfg, regs, dir, needDelay, preview, {}, {}, {}};
    MakeIccProject(ctx);
    writeGeneratedFiles(dir, ctx.files);
  }
  void gcc(const std::string& dir) {
    GenContext ctx{cfg, regs, dir, needDelay, preview, {}, {}, {}};
    MakeGccProject(ctx);
    writeGeneratedFiles(dir, ctx.files);
  }
};

using Lines = std::vector<std::string>;

Lines list(const Lines& sources, const Lines& headers) {
  Lines out{"[Files]", "main.c"};
  out.insert(out.end(), sources.begin(), sources.end());
  out.emplace_back("[Headers]");
  out.insert(out.end(), headers.begin(), headers.end());
  out.emplace_back("[Documents]");
  return out;
}

TEST(ProjectFiles, SourceListFollowsModuleConditions) {
  struct Case {
    const char* what;
    std::function<void(ProjectConfig&)> configure;
    bool needDelay;
    Lines expected;
  };
  const std::vector<Case> cases = {
      {"nothing enabled", [](ProjectConfig&) {}, false, list({}, {})},
      {"delay only", [](ProjectConfig&) {}, true, list({"delay.c"}, {"delay.h"})},
      {"both UARTs share one driver", [](ProjectConfig& c) { c.UART0.Uart0_use = c.UART1.Uart1_use = true; },
       false, list({"uart.c"}, {"uart.h"})},
      {"SPI chips without SPI", [](ProjectConfig& c) { c.SPI.Spi_ds1302 = c.SPI.Spi_sd = true; }, false,
       list({}, {})},
      {"SPI with its chips", [](ProjectConfig& c) { c.SPI.Spi_use = c.SPI.Spi_ds1302 = c.SPI.Spi_sd = true; },
       false, list({"spi.c", "ds1302.c", "sd.c", "fat.c"}, {"spi.h", "ds1302.h", "sd.h", "fat.h"})},
      {"TWI chips without TWI",
       [](ProjectConfig& c) {
         c.TWI.Twi_at24 = c.TWI.Twi_sd2k = c.TWI.Twi_ds1307 = true;
         c.TWI.Twi_zlg7290 = c.TWI.Twi_tea5767 = true;
       },
       false, list({}, {})},
      {"GUI icons alone",
       [](ProjectConfig& c) {
         c.LCD.Lcd_use = c.LCD.Gui_use = true;
         c.GUI.Icon_use = true;
       },
       false,
       list({"lcd.c", "gui.c", "Loadbit.c", "GUI_StockC.c", "menu.c"},
            {"lcd.h", "gui.h", "Loadbit.h", "GUI_StockC.h", "menu.h"})},
      {"GUI without LCD",
       [](ProjectConfig& c) {
         c.LCD.Gui_use = true;
         c.GUI.Window_use = c.GUI.Font5x7_use = c.GUI.Show_use = true;
       },
       false, list({}, {})},
      {"typed LCD model keeps the GUI files",
       [](ProjectConfig& c) {
         c.LCD.Lcd_use = c.LCD.Gui_use = true;
         c.LCD.Lcd_type = {-1, "LCD9999"};
       },
       false, list({"gui.c"}, {"gui.h"})},
      {"chips other than CH375 and VS1003",
       [](ProjectConfig& c) {
         c.USB.Usb_use = c.OtherAPP.MP3_use = true;
         c.USB.Usb_chip = {-1, "CH376"};
         c.OtherAPP.MP3_chip = {-1, "STA013"};
       },
       false, list({}, {})},
      {"DS18B20 needs the 1-Wire box", [](ProjectConfig& c) { c.OtherAPP.Ds18b20_use = true; }, false,
       list({}, {})},
      {"SED1335 brings the letters header",
       [](ProjectConfig& c) {
         c.LCD.Lcd_use = true;
         c.LCD.Lcd_type = {12, "LCD320x240(SED1335)"};
       },
       false, list({"lcd.c"}, {"lcd.h", "letters_lib.h"})},
      {"everything",
       [](ProjectConfig& c) {
         c.UART0.Uart0_use = true;
         c.SPI.Spi_use = c.SPI.Spi_ds1302 = c.SPI.Spi_sd = true;
         c.TWI.Twi_use = c.TWI.Twi_at24 = c.TWI.Twi_sd2k = c.TWI.Twi_ds1307 = true;
         c.TWI.Twi_zlg7290 = c.TWI.Twi_tea5767 = true;
         c.Adc_use = c.Acp_use = true;
         c.LCD.Lcd_use = c.LCD.Gui_use = true;
         c.LCD.Lcd_type = {9, "LCD128x64(T6963)"};
         auto& g = c.GUI;
         g.Chinese_use = g.Font5x7_use = g.Font8x8_use = g.Font24x32_use = true;
         g.Window_use = g.Menu_use = g.Show_use = true;
         c.USB.Usb_use = c.OtherAPP.MP3_use = true;
         c.OtherAPP.OneWire_use = c.OtherAPP.Ds18b20_use = true;
       },
       true,
       list({"uart.c",   "spi.c",     "ds1302.c",  "sd.c",       "fat.c",       "twi.c",        "at24cxx.c",
             "sd2000.c", "ds1307.c",  "zlg7290.c", "tea5767.c",  "adc.c",       "acp.c",        "lcd.c",
             "gui.c",    "Loadbit.c", "font5_7.c", "font8_8.c",  "font24_32.c", "GUI_StockC.c", "windows.c",
             "menu.c",   "show.c",    "ch375.c",   "CH375HFB.A", "ds18b20.c",   "vs1003.c",     "delay.c"},
            {"uart.h",   "spi.h",     "ds1302.h",  "sd.h",       "fat.h",       "twi.h",        "at24cxx.h",
             "sd2000.h", "ds1307.h",  "zlg7290.h", "tea5767.h",  "adc.h",       "acp.h",        "lcd.h",
             "gui.h",    "Loadbit.h", "font5_7.h", "font8_8.h",  "font24_32.h", "GUI_StockC.h", "windows.h",
             "menu.h",   "show.h",    "ch375.h",   "CH375HFB.H", "ds18b20.h",   "vs1003.h",     "delay.h"})},
  };
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.what);
    TempDir dir;
    ProjectRun run;
    tc.configure(run.cfg);
    run.needDelay = tc.needDelay;
    run.icc(dir.path());
    auto actual = test::readGeneratedLines(dir / "test.SRC");
    EXPECT_EQ(test::lineDiff(tc.expected, actual), "");
  }
}

TEST(ProjectFiles, OptionFileHoldsTheSixtySevenKeysInOrder) {
  TempDir dir;
  ProjectRun run;
  run.cfg.Compiler_path = "C:\\iccv7avr\\";
  run.icc(dir.path());
  test::expectMatchesGolden(dir / "test.prj", "project/test_atmega16.prj");
  EXPECT_EQ(iccOptions().size(), 67u);
}

TEST(ProjectFiles, DeviceIndexFollowsMcuAndNothingElseDoes) {
  struct Case {
    std::string mcu;
    std::optional<std::string> index;  // nullopt: no key written
  };
  const Case cases[] = {{"ATMega8", "14"},   {"ATMega8515", "15"},       {"ATMega8535", "16"},
                        {"ATMega16", "17"},  {"ATMega32", "22"},         {"ATMega64", "24"},
                        {"ATMega128", "26"}, {"atmega32", std::nullopt}, {"ATMega48", std::nullopt}};
  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.mcu);
    TempDir dir;
    ProjectRun run;
    run.cfg.MCU.mcutype = {-1, tc.mcu};
    run.icc(dir.path());
    IniFile prj(dir / "test.prj");
    EXPECT_EQ(prj.read("Compiler Options", "ComboBox2"), tc.index);
    // Memory sizes are fixed whatever the MCU.
    EXPECT_EQ(prj.read("Compiler Options", "Edit9"), "8192");
    EXPECT_EQ(prj.read("Compiler Options", "Edit10"), "1024");
    EXPECT_EQ(prj.read("Compiler Options", "Edit20"), "512");
    EXPECT_EQ(prj.read("Compiler Options", "Edit18"), "0x60");
  }
}

TEST(ProjectFiles, RewritingKeepsForeignSectionsAndReplacesTheLists) {
  TempDir dir;
  test::writeBytes(dir / "test.prj",
                   "[Compiler Options]\r\nEdit1=old\r\nComboBox2=99\r\nUserKey=kept\r\n"
                   "[Build]\r\nTarget=release\r\n");
  test::writeBytes(dir / "test.SRC", "[Files]\r\nold.c\r\nmore.c\r\n[Headers]\r\n[Documents]\r\nx\r\n");
  test::writeBytes(dir / "test.pnproj",
                   "<Project name=\"old\">\r\n<File path=\"a.c\"></File>\r\n"
                   "<File path=\"b.c\"></File>\r\n</Project>\r\n");
  ProjectRun run;
  run.cfg.MCU.mcutype = {-1, "Mega99"};  // typed: the device index stays as it was
  run.icc(dir.path());
  run.gcc(dir.path());

  IniFile prj(dir / "test.prj");
  EXPECT_EQ(prj.read("Compiler Options", "Edit1"), "include\\");
  EXPECT_EQ(prj.read("Compiler Options", "Edit2"), "lib\\");
  EXPECT_EQ(prj.read("Compiler Options", "ComboBox2"), "99");
  EXPECT_EQ(prj.read("Compiler Options", "UserKey"), "kept");
  EXPECT_EQ(prj.read("Build", "Target"), "release");
  EXPECT_EQ(prj.sectionNames(), (std::vector<std::string>{"Compiler Options", "Build"}));

  EXPECT_EQ(test::readGeneratedLines(dir / "test.SRC"), list({}, {}));
  EXPECT_EQ(test::readBytes(dir / "test.pnproj"),
            "<Project name=\"test\">\r\n<File path=\"main.c\"></File>\r\n</Project>\r\n");
}

TEST(ProjectFiles, LettersHeaderComesWithTheSed1335Only) {
  struct Case {
    const char* model;
    bool lcdUse;
    const char* compiler;
    bool letters;
  };
  const Case cases[] = {{"LCD320x240(SED1335)", true, "ICC AVR", true},
                        {"LCD320x240(SED1335)", true, "GCC AVR", true},
                        {"LCD320x240(SED1335)", false, "ICC AVR", false},
                        {"LCD128x64(T6963)", true, "ICC AVR", false}};
  for (const auto& tc : cases) {
    SCOPED_TRACE(std::string(tc.model) + " " + tc.compiler);
    TempDir dir;
    ProjectRun run;
    run.cfg.LCD.Lcd_use = tc.lcdUse;
    run.cfg.LCD.Lcd_type = {0, tc.model};
    run.cfg.Compiler = {tc.compiler[0] == 'G' ? 1 : 0, tc.compiler};
    run.icc(dir.path());
    auto files = test::listFiles(dir.path());
    bool has = std::find(files.begin(), files.end(), "letters_lib.h") != files.end();
    EXPECT_EQ(has, tc.letters);
  }
}

// main.c draws A, B, C, X, Y and Z and scrolls them with x1 from 55 when
// the GUI library is off; the letters header must give all of them.
TEST(ProjectFiles, LettersHeaderDeclaresWhatTheScrollerUses) {
  TempDir dir;
  ProjectRun run;
  run.cfg.LCD.Lcd_use = true;
  run.cfg.LCD.Lcd_type = {12, "LCD320x240(SED1335)"};
  run.icc(dir.path());
  auto lines = test::readGeneratedLines(dir / "letters_lib.h");
  auto has = [&](const std::string& prefix) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
  };
  for (char letter : std::string("ABCXYZ")) {
    EXPECT_TRUE(has(std::string("const unsigned char ") + letter + "[8] = {")) << letter;
  }
  EXPECT_TRUE(has("unsigned char x1 = 55;"));

  // The names the scroller uses are the ones the header gives.
  ProjectConfig cfg = run.cfg;
  auto main = mainCodeLines(cfg, true).lines();
  EXPECT_NE(std::find(main.begin(), main.end(), "#include \"letters_lib.h\""), main.end());
  EXPECT_NE(std::find(main.begin(), main.end(), "      LCDDisplay_bmp(308,x1,8,Z);"), main.end());
}

TEST(ProjectFiles, MissingProjectFolderIsAnErrorNamingTheFile) {
  TempDir dir;
  ProjectRun run;
  const std::string missing = dir / "no/such/folder/";
  try {
    run.icc(missing);
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("test.prj"), std::string::npos) << e.what();
  }
  EXPECT_THROW(run.gcc(missing), Error);
}

}  // namespace
}  // namespace tamberlo

namespace tamberlo {
namespace {

// A run with nothing ticked still writes main.c and the three project files.
TEST(ProjectFiles, GenerationRunEndsWithMainAndProjects) {
  test::StartedEditor e;
  e->run("BitBtn2Click");
  auto files = test::listFiles(e->ProjectDir());
  for (const char* f : {"main.c", "test.prj", "test.SRC", "test.pnproj"}) {
    EXPECT_NE(std::find(files.begin(), files.end(), f), files.end()) << f;
  }
  test::expectMatchesGolden(e->ProjectDir() + "main.c", "main/nothing.c");
  EXPECT_EQ(test::readGeneratedLines(e->ProjectDir() + "test.SRC"), list({}, {}));
  EXPECT_EQ(IniFile(e->ProjectDir() + "test.prj").read("Compiler Options", "ComboBox2"), "17");
}

}  // namespace
}  // namespace tamberlo
