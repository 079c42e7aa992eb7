// SPDX-License-Identifier: GPL-3.0-or-later
// gui.h for the option sets against golden copies, the modules each set
// requests, and the files a run writes.
#include "gen/display/gui_code.h"

#include "bus_test_support.h"
#include "platform/error.h"
#include "platform/fs.h"

namespace tamberlo {
namespace {

using test::BusRun;

void tickAll(ProjectConfig& c) {
  auto& g = c.GUI;
  for (bool* b : {&g.Line_use, &g.Circle_use, &g.Ellipse_use, &g.Fill_use, &g.Arc_use, &g.Pieslice_use,
                  &g.Window_use, &g.Icon_use, &g.Menu_use, &g.Show_use, &g.Font5x7_use, &g.Font8x8_use,
                  &g.Font24x32_use, &g.Chinese_use}) {
    *b = true;
  }
}

TEST(GuiHeaderGolden, NothingAndEverything) {
  test::TempDir dir;
  ProjectConfig none;
  guiHeader(none).save(dir.path(), "none.h");
  test::expectMatchesGolden(dir / "none.h", "gui/gui_none.h");

  ProjectConfig all;
  tickAll(all);
  // The node counts of the fill are fixed whatever the settings hold.
  all.GUI.DOWNP = "35";
  all.GUI.UPP = "7";
  guiHeader(all).save(dir.path(), "all.h");
  test::expectMatchesGolden(dir / "all.h", "gui/gui_all.h");
}

TEST(GuiModules, EachOnceInTableOrder) {
  struct Case {
    bool decltype(ProjectConfig::GUI)::*option;
    std::vector<std::string> modules;
  };
  using G = decltype(ProjectConfig::GUI);
  const Case cases[] = {
      {&G::Test1_use, {"gui"}},
      {&G::Icon_use, {"gui", "GUI_StockC", "loadbit", "menu"}},
      {&G::Font5x7_use, {"gui", "font5_7", "GUI_StockC"}},
      {&G::Chinese_use, {"gui", "loadbit"}},
      {&G::Window_use, {"gui", "GUI_StockC", "windows"}},
      {&G::Show_use, {"gui", "show"}},
  };
  for (const Case& tc : cases) {
    ProjectConfig c;
    c.GUI.*tc.option = true;
    EXPECT_EQ(guiModules(c), tc.modules);
  }
  ProjectConfig all;
  tickAll(all);
  EXPECT_EQ(guiModules(all), (std::vector<std::string>{"gui", "font5_7", "font8_8", "font24_32", "GUI_StockC",
                                                        "loadbit", "windows", "menu", "show"}));
}

TEST(MakeGuiCode, NothingWithoutTheGuiTick) {
  BusRun r;
  tickAll(r.cfg);
  r.run(&MakeGuiCode);
  EXPECT_TRUE(test::listFiles(r.dir.path()).empty());
  EXPECT_FALSE(r.needDelay);
}

TEST(MakeGuiCode, DrawingOptionsWriteGuiSources) {
  BusRun r;
  r.cfg.LCD.Lcd_use = r.cfg.LCD.Gui_use = true;
  r.cfg.LCD.Lcd_type = {0, "LCD128x64(KS0108)"};
  r.cfg.GUI.Circle_use = r.cfg.GUI.Test1_use = true;
  r.run(&MakeGuiCode);
  EXPECT_EQ(test::listFiles(r.dir.path()), (std::vector<std::string>{"gui.c", "gui.h"}));
  EXPECT_TRUE(r.needDelay);
}

TEST(MakeGuiCode, WarnsWhenTheLibraryCannotFit) {
  // Every option: about 23 KB with avr-gcc -Os on the KS0108.
  for (const char* mcu : {"ATMega16", "ATMega32"}) {
    BusRun r(mcu);
    r.cfg.LCD.Lcd_use = r.cfg.LCD.Gui_use = true;
    r.cfg.LCD.Lcd_type = {0, "LCD128x64(KS0108)"};
    tickAll(r.cfg);
    r.run(&MakeGuiCode);
    if (std::string(mcu) == "ATMega16") {
      ASSERT_EQ(r.warnings.size(), 1u);
      EXPECT_NE(r.warnings[0].find("more than the ATMega16's 16 KB, so the project will not build"),
                std::string::npos)
          << r.warnings[0];
    } else {
      EXPECT_TRUE(r.warnings.empty());
    }
    EXPECT_TRUE(fileExists(r.path("loadbit.h")) && fileExists(r.path("Loadbit.h")));
  }
}

TEST(MakeGuiCode, DemoWithoutItsModulesNamesWhatIsMissing) {
  struct Case {
    const char* model;
    void (*tick)(decltype(ProjectConfig::GUI)&);
    const char* message;  // empty: no error
  };
  const Case cases[] = {
      {"LCD1602", [](auto&) {}, "KS0108, T6963 and SED1335 models only, not on \"LCD1602\""},
      {"LCD128x64(KS0108)", [](auto& g) { g.Test2_use = true; }, "Test2) needs the options 窗口管理, 下拉菜单"},
      {"LCD128x64(KS0108)", [](auto& g) { g.Test2_use = g.Window_use = true; }, "Test2) needs the options 下拉菜单"},
      {"LCD320x240(SED1335)", [](auto& g) { g.Test3_use = g.Show_use = g.Font8x8_use = true; },
       "Test3) needs the options 5*7字体, 24*32字体"},
      {"LCD128x64(T6963)", [](auto& g) { g.Show_use = g.Font8x8_use = true; }, "界面显示) needs the options 5*7字体"},
  };
  for (const Case& tc : cases) {
    SCOPED_TRACE(tc.message);
    BusRun r;
    r.cfg.LCD.Lcd_use = r.cfg.LCD.Gui_use = true;
    r.cfg.LCD.Lcd_type = {0, tc.model};
    tc.tick(r.cfg.GUI);
    try {
      r.run(&MakeGuiCode);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find(tc.message), std::string::npos) << e.what();
    }
    EXPECT_TRUE(test::listFiles(r.dir.path()).empty());
  }
}

}  // namespace
}  // namespace tamberlo
