// SPDX-License-Identifier: GPL-3.0-or-later
// The LCD parts of main.c for all sixteen models, with and without the GUI
// library, and the rule that every character-LCD text fits its row.
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

#include "app/device_catalogue.h"
#include "gen/main/main_code.h"
#include "gen/main/main_parts.h"
#include "modlib/modlib.h"
#include "test_support.h"

namespace tamberlo {
namespace {

struct Blocks {
  std::vector<std::string> demo, refresh;
};

Blocks blocksFor(const ProjectConfig& c) {
  auto f = mainc::factsOf(c);
  TextBuffer demo, refresh;
  mainc::addLcdStartupDemo(demo, f);
  mainc::addLcdRefresh(refresh, f);
  return {demo.lines(), refresh.lines()};
}

ProjectConfig lcdConfig(const std::string& model, bool gui) {
  ProjectConfig c;
  c.LCD.Lcd_use = true;
  c.LCD.Lcd_type = {0, model};
  c.LCD.Gui_use = gui;
  c.GUI.Test1_use = c.GUI.Test2_use = c.GUI.Test3_use = gui;
  return c;
}

std::string firstOr(const std::vector<std::string>& v) {
  return v.empty() ? "" : v.front();
}
std::string lastOr(const std::vector<std::string>& v) {
  return v.empty() ? "" : v.back();
}

// GUI on means every demo option ticked (Test1, Test2, Test3), no shapes.
TEST(MainDisplay, DemoAndRefreshBlocksForEveryModel) {
  struct Case {
    std::string model;
    bool gui;
    size_t demoLines;
    std::string demoFirst, demoLast;
    size_t refreshLines;
    std::string refreshFirst, refreshLast;
  };
  const std::string clr = "   LCD16xx_clr();                     //显示清屏";
  const std::string delay2 = "   delay_nms(2);";
  const std::string end1000 = "      delay_nms(1000);";
  const std::string ks = "   LCD_clr();                     //显示清屏";
  const std::string msg = "   DemoMessage(&message,Select);  //显示对话框";
  const std::string web = "hollowmere.com";
  std::vector<Case> cases;
  for (bool gui : {false, true}) {
    // Character and the simpler graphic models ignore the GUI options.
    cases.push_back({"LCD1601", gui, 4, "   LCD16xx_write_string(1,0,\"" + web + "!\");", delay2, 4,
                     "      LCD16xx_write_string(1,0,\"" + web + "!\");", end1000});
    cases.push_back({"LCD1602", gui, 5, "   LCD16xx_write_string(3,0,\"Welcome to\");", delay2, 5,
                     "      LCD16xx_write_string(3,0,\"Welcome to\");", end1000});
    cases.push_back({"LCD1604", gui, 7, "   LCD16xx_write_string(3,0,\"Welcome to\");", delay2, 7,
                     "      LCD16xx_write_string(3,0,\"Welcome to\");", end1000});
    cases.push_back({"LCD2002", gui, 5, "   LCD16xx_write_string(5,0,\"Welcome to\");", delay2, 5,
                     "      LCD16xx_write_string(5,0,\"Welcome to\");", end1000});
    cases.push_back({"LCD2004", gui, 7, "   LCD16xx_write_string(5,0,\"Welcome to\");", delay2, 7,
                     "      LCD16xx_write_string(5,0,\"Welcome to\");", end1000});
    cases.push_back({"LCD3202", gui, 5, "   LCD16xx_write_string(3,0,\"Welcome to " + web + "!\");", delay2,
                     5, "      LCD16xx_write_string(3,0,\"Welcome to " + web + "!\");", end1000});
    cases.push_back({"LCD4004", gui, 5, "   LCD16xx_write_string(7,0,\"Welcome to " + web + "!\");", delay2,
                     5, "      LCD16xx_write_string(7,0,\"Welcome to " + web + "!\");", end1000});
    cases.push_back({"LCD122x32(SED1520)", gui, 1, "   Printf(0,0,\"" + web + "\");",
                     "   Printf(0,0,\"" + web + "\");", 0, "", ""});
    cases.push_back({"LCD122x32(ST7920)", gui, 4, "   LCD_chinese(0x80,hanzi1);", "   LCD_command(0x05); ", 7,
                     "      LCD_Init();", end1000});
    cases.push_back({"LCD128x64(ST7920)", gui, 6, "   LCD_chinese(0x80,hanzi1);", "   LCD_command(0x05); ", 9,
                     "      LCD_Init();", end1000});
    cases.push_back({"LCD3310(PCD8544)", gui, 5, "   LCD_clear();", "   delay_nms(4);", 1,
                     "      LCD_move_chi(0, 0, 25);              // 汉字移动显示 ",
                     "      LCD_move_chi(0, 0, 25);              // 汉字移动显示 "});
  }
  for (std::string m : {"LCD128x64(KS0108)", "LCD240x64(KS0108)"}) {
    cases.push_back({m, false, 22, ks, "   delay_nms(50);", 23,
                     "      LCD_clr();                     //显示清屏", end1000});
    cases.push_back({m, true, 54, ks, msg, 2, "      GUI_Rectangle(0, 0, GUI_LCM_XMAX-1, GUI_LCM_YMAX-1, 1);",
                     "      delay_nms(500);"});
  }
  for (std::string m : {"LCD128x64(T6963)", "LCD240x64(T6963)"}) {
    cases.push_back({m, false, 0, "", "", 1, "      delay_nms(500);", "      delay_nms(500);"});
    cases.push_back({m, true, 55, "//GUI绘图演示", msg, 1, "      delay_nms(500);", "      delay_nms(500);"});
  }
  cases.push_back({"LCD320x240(SED1335)", false, 39, "   ClrSCR();", "   delay_nms(4);", 14,
                   "      LCDDisplay_bmp(268,x1,8,A);", "      }"});
  cases.push_back({"LCD320x240(SED1335)", true, 93, "   ClrSCR();", "   delay_nms(4);", 32,
                   "      delay_nms(1000);", ""});
  ASSERT_EQ(cases.size(), 32u);  // sixteen models, two ways each

  for (const auto& tc : cases) {
    SCOPED_TRACE(tc.model + (tc.gui ? " with GUI" : " without GUI"));
    Blocks b = blocksFor(lcdConfig(tc.model, tc.gui));
    EXPECT_EQ(b.demo.size(), tc.demoLines);
    EXPECT_EQ(firstOr(b.demo), tc.demoFirst);
    EXPECT_EQ(lastOr(b.demo), tc.demoLast);
    EXPECT_EQ(b.refresh.size(), tc.refreshLines);
    EXPECT_EQ(firstOr(b.refresh), tc.refreshFirst);
    EXPECT_EQ(lastOr(b.refresh), tc.refreshLast);
  }
}

TEST(MainDisplay, UncheckedLcdOrUnknownModelWritesNothing) {
  for (const auto& m : lcdModelNames()) {
    ProjectConfig c = lcdConfig(m, true);
    c.LCD.Lcd_use = false;
    Blocks b = blocksFor(c);
    EXPECT_TRUE(b.demo.empty() && b.refresh.empty()) << m;
  }
  for (std::string typed : {"LCD9999", "lcd1602", "LCD1602 ", ""}) {
    Blocks b = blocksFor(lcdConfig(typed, true));
    EXPECT_TRUE(b.demo.empty() && b.refresh.empty()) << '"' << typed << '"';
  }
}

// Each text written to a character LCD starts inside the display and ends
// before the last column; otherwise the controller wraps it onto another row.
TEST(MainDisplay, CharacterLcdTextsFitTheirRows) {
  struct Size {
    std::string model;
    int columns, rows;
  };
  const Size sizes[] = {{"LCD1601", 16, 1}, {"LCD1602", 16, 2}, {"LCD1604", 16, 4}, {"LCD2002", 20, 2},
                        {"LCD2004", 20, 4}, {"LCD3202", 32, 2}, {"LCD4004", 40, 4}};
  const std::regex call(R"re(LCD16xx_write_string\((\d+),(\d+),"([^"]*)"\);)re");
  for (const auto& s : sizes) {
    ProjectConfig c = lcdConfig(s.model, false);
    // The LCD1602 shows the clock and thermometer greetings as well.
    c.SPI.Spi_use = c.SPI.Spi_ds1302 = true;
    c.OtherAPP.Ds18b20_use = true;
    Blocks b = blocksFor(c);
    auto lines = b.demo;
    lines.insert(lines.end(), b.refresh.begin(), b.refresh.end());
    int texts = 0;
    for (const auto& l : lines) {
      std::smatch m;
      if (!std::regex_search(l, m, call)) continue;
      ++texts;
      int col = std::stoi(m[1]), row = std::stoi(m[2]);
      std::string text = m[3];
      EXPECT_LT(row, s.rows) << s.model << ": " << l;
      EXPECT_LE(col + static_cast<int>(text.size()), s.columns) << s.model << ": " << l;
    }
    EXPECT_GT(texts, 0) << s.model;
  }
}

TEST(MainDisplay, GraphicDemosFollowModelAndOptions) {
  auto has = [](const std::vector<std::string>& v, const std::string& l) {
    return std::find(v.begin(), v.end(), l) != v.end();
  };
  {
    Blocks narrow = blocksFor(lcdConfig("LCD128x64(T6963)", true));
    Blocks wide = blocksFor(lcdConfig("LCD240x64(T6963)", true));
    EXPECT_TRUE(has(narrow.demo, "   message.with = 100;"));
    EXPECT_TRUE(has(wide.demo, "   message.with = 150;"));
    // The T6963 frame keeps one pixel off the edge.
    EXPECT_TRUE(has(wide.demo, "   GUI_Rectangle(1, 1, GUI_LCM_XMAX-2, GUI_LCM_YMAX-2, 1);"));
    EXPECT_FALSE(has(wide.demo, "   GUI_Rectangle(0, 0, GUI_LCM_XMAX-1, GUI_LCM_YMAX-1, 1);"));
  }
  {
    // Shapes appear only when their drawing routines are compiled in, in
    // the SED1335 order circle, ellipse, arc, pie.
    ProjectConfig c = lcdConfig("LCD320x240(SED1335)", true);
    c.GUI.Test2_use = c.GUI.Test3_use = false;
    c.GUI.Circle_use = c.GUI.Pieslice_use = true;
    Blocks b = blocksFor(c);
    auto at = [&](const std::string& l) {
      return std::find(b.demo.begin(), b.demo.end(), l) - b.demo.begin();
    };
    EXPECT_TRUE(has(b.demo, "   GUI_Circle(65, 40, 15, 1);"));
    EXPECT_FALSE(has(b.demo, "   GUI_Ellipse(48, 128, 146, 166, 1);"));
    EXPECT_LT(at("   GUI_CircleFill(65, 85, 15, 1);"), at("   GUI_Pieslice(170, 40, 15, 25, 80, 1);"));
    EXPECT_EQ(b.refresh, std::vector<std::string>{"      delay_nms(1000);"});
  }
  {
    // Without the real-time clock the analogue window shows a fixed date.
    ProjectConfig c = lcdConfig("LCD320x240(SED1335)", true);
    Blocks b = blocksFor(c);
    EXPECT_TRUE(has(b.demo, "   Awin.date = (uint8 *)\"2006-10-04\";"));
    EXPECT_FALSE(has(b.refresh, "      GUI_PutString(257,24,time);"));
  }
}

// The ST7920 122x32 has two text rows, at 0x80 and 0x90.
TEST(MainDisplay, St7920RowsFollowDisplayHeight) {
  Blocks small = blocksFor(lcdConfig("LCD122x32(ST7920)", false));
  EXPECT_EQ(small.demo,
            (std::vector<std::string>{"   LCD_chinese(0x80,hanzi1);", "   LCD_chinese(0x90,hanzi3);",
                                      "   LCD_command(0x34); ", "   LCD_command(0x05); "}));
  Blocks big = blocksFor(lcdConfig("LCD128x64(ST7920)", false));
  EXPECT_EQ(big.refresh, (std::vector<std::string>{
                             "      LCD_Init();", "      delay_nms(1000);", "      LCD_chinese(0x80,hanzi1);",
                             "      LCD_chinese(0x88,hanzi2);", "      LCD_chinese(0x90,hanzi3);",
                             "      LCD_chinese(0x98,hanzi4);", "      LCD_command(0x34); ",
                             "      LCD_command(0x05); ", "      delay_nms(1000);"}));
}

}  // namespace
}  // namespace tamberlo

namespace tamberlo {
namespace {

// main.c draws AVR_bmp as 40x24 and china_bmp as 36x15 points from "bmp.h";
// the LCD library's PCD8544 module must give both, one byte per column of
// each 8-point page.
TEST(MainDisplay, Pcd8544BitmapsMatchTheirDrawCalls) {
  ProjectConfig c = lcdConfig("LCD3310(PCD8544)", false);
  Blocks b = blocksFor(c);
  ASSERT_EQ(b.demo[2], "   LCD_draw_map(0,2,AVR_bmp,40,24);        // 显示“AVR”位图 ");
  ASSERT_EQ(b.demo[3], "   LCD_draw_map(44,3,china_bmp,36,15);     // 显示”实验室“位图 ");

  test::TempDir dir;
  TextBuffer banner;
  GeneratedFiles files;
  LcdCreateCode("LCD3310(PCD8544)", "串行接口", files, banner, 7372800);
  writeGeneratedFiles(dir.path(), files);
  auto lines = test::readGeneratedLines(dir / "bmp.h");
  auto bytesOf = [&](const std::string& name) {
    auto at =
        std::find(lines.begin(), lines.end(),
                  "unsigned char " + name + "[" + std::to_string(name == "AVR_bmp" ? 120 : 72) + "] = {");
    if (at == lines.end()) return -1;
    int n = 0;
    for (++at; at != lines.end() && *at != "};"; ++at) {
      for (size_t p = at->find("0x"); p != std::string::npos; p = at->find("0x", p + 1)) ++n;
    }
    return n;
  };
  EXPECT_EQ(bytesOf("AVR_bmp"), 40 * 3);
  EXPECT_EQ(bytesOf("china_bmp"), 36 * 2);
}

}  // namespace
}  // namespace tamberlo
