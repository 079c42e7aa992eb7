// SPDX-License-Identifier: GPL-3.0-or-later
// The drawing library run on the host: gui.c compiled with the host C
// compiler (with the address sanitizer) against a frame-buffer display, each
// figure drawn on a blank 64x32 screen and printed back as rows of '#'/'.'.
#include <cstdio>
#include <cstdlib>
#include <map>

#include "gen/display/gui_code.h"
#include "platform/text_buffer.h"
#include "modlib/modlib.h"
#include "test_support.h"

namespace tamberlo {
namespace {

using Picture = std::vector<std::string>;

constexpr const char* kLcd = R"(#define  TCOLOR unsigned char
#define  GUI_LCM_XMAX 64
#define  GUI_LCM_YMAX 32
#define  GUI_CmpColor(color1, color2)	( (color1&0x01) == (color2&0x01) )
unsigned char GUI_Point(unsigned int x, unsigned char y, unsigned char color);
unsigned char GUI_ReadPoint(unsigned int x, unsigned char y, TCOLOR *ret);
)";

// Each scene clears the screen, draws, and prints "=name", the rows, and the
// number of points asked for outside the screen.
constexpr const char* kHarness = R"(#include <stdio.h>
#include <string.h>
#include "gui.h"
static unsigned char fb[GUI_LCM_YMAX][GUI_LCM_XMAX];
static int outside;
unsigned char GUI_Point(unsigned int x, unsigned char y, unsigned char color)
{
	if (x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX) { outside++; return 0; }
	fb[y][x] = color & 1;
	return 1;
}
unsigned char GUI_ReadPoint(unsigned int x, unsigned char y, TCOLOR *ret)
{
	if (x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX) { outside++; return 0; }
	*ret = fb[y][x];
	return 1;
}
static void show(const char *name)
{
	int x, y;
	printf("=%s\n", name);
	for (y = 0; y < GUI_LCM_YMAX; y++) {
		for (x = 0; x < GUI_LCM_XMAX; x++) putchar(fb[y][x] ? '#' : '.');
		putchar('\n');
	}
	printf("outside %d\n", outside);
	memset(fb, 0, sizeof fb);
	outside = 0;
}
int main(void)
{
	int i;
	uint32 zigzag[] = {2, 2, 10, 10, 18, 2};
	GUI_Rectangle(2, 3, 10, 8, 1); show("rect");
	GUI_RectangleFill(2, 3, 10, 8, 1); show("rectfill");
	GUI_Square(4, 4, 5, 1); show("square");
	GUI_Line(0, 0, 63, 31, 1); show("diagonal");
	GUI_LineWith(5, 5, 40, 5, 3, 1); show("thick");
	GUI_LineS(zigzag, 3, 1); show("lines");
	GUI_Circle(32, 16, 10, 1); show("circle");
	GUI_CircleFill(32, 16, 10, 1); show("circlefill");
	GUI_Ellipse(10, 50, 5, 25, 1); show("ellipse");
	GUI_EllipseFill(11, 50, 5, 24, 1); show("ellipsefill");
	GUI_Arc(32, 16, 10, 0, 90, 1); show("arc0_90");
	GUI_Arc4(32, 16, 10, 3, 1); show("arc4_3");
	GUI_Arc(32, 16, 10, 300, 30, 1); show("arc300_30");
	GUI_Pieslice(32, 16, 10, 0, 90, 1); show("pie");
	GUI_Circle(0, 0, 10, 1); GUI_Circle(63, 31, 10, 1); GUI_CircleFill(63, 0, 6, 1);
	GUI_EllipseFill(50, 90, 20, 60, 1); GUI_HLine(50, 5, 500, 1); GUI_RLine(5, 20, 250, 1);
	GUI_Line(60, 0, 4000000000UL, 70, 1); GUI_LineWith(0, 16, 63, 16, 9, 1);
	GUI_Rectangle(60, 28, 300, 200, 1); GUI_Arc(63, 16, 40, 90, 270, 1);
	show("clipped");
	GUI_Rectangle(10, 5, 30, 20, 1); GUI_FloodFill(20, 10, 1); show("fillclosed");
	for (i = 2; i < 64; i += 2) GUI_RLine(i, 0, 20, 1);
	GUI_FloodFill(1, 25, 1); show("fillcomb");
	return 0;
}
)";

class GuiHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (!test::haveProgram("cc")) return;
    test::TempDir dir;
    ProjectConfig c;
    auto& g = c.GUI;
    g.Line_use = g.Circle_use = g.Ellipse_use = g.Fill_use = g.Arc_use = g.Pieslice_use = true;
    GeneratedFiles files;
    GuiCreateCode("gui", files);
    writeGeneratedFiles(dir.path(), files);
    guiHeader(c).save(dir.path(), "gui.h");
    test::writeBytes(dir / "lcd.h", kLcd);
    test::writeBytes(dir / "harness.c", kHarness);
    auto [built, log] = test::runIn(dir.path(),
                              "cc -std=gnu99 -Wall -Werror -fsanitize=address,undefined "
                              "-fno-sanitize-recover=all -I. -o gui_host harness.c gui.c && ./gui_host");
    output_ = new std::string(log);
    status_ = built;
    Picture* current = nullptr;
    pictures_ = new std::map<std::string, Picture>;
    outside_ = new std::map<std::string, int>;
    std::string name;
    for (const std::string& line : test::splitLines(log)) {
      if (line.rfind("=", 0) == 0) {
        name = line.substr(1);
        current = &(*pictures_)[name];
      } else if (line.rfind("outside ", 0) == 0) {
        (*outside_)[name] = std::atoi(line.c_str() + 8);
      } else if (current) {
        current->push_back(line);
      }
    }
  }
  static void TearDownTestSuite() {
    delete output_;
    delete pictures_;
    delete outside_;
  }
  void SetUp() override {
    if (!test::haveProgram("cc")) GTEST_SKIP() << "no host C compiler";
    ASSERT_EQ(status_, 0) << *output_;
  }
  static const Picture& pic(const std::string& name) { return pictures_->at(name); }
  static bool on(const std::string& name, int x, int y) { return pic(name)[y][x] == '#'; }
  static int count(const std::string& name) {
    int n = 0;
    for (const auto& row : pic(name)) n += static_cast<int>(std::count(row.begin(), row.end(), '#'));
    return n;
  }
  static inline std::string* output_ = nullptr;
  static inline int status_ = -1;
  static inline std::map<std::string, Picture>* pictures_ = nullptr;
  static inline std::map<std::string, int>* outside_ = nullptr;
};

TEST_F(GuiHost, EveryFigureStaysOnTheScreen) {
  ASSERT_EQ(pictures_->size(), 17u) << *output_;
  for (const auto& [name, n] : *outside_) EXPECT_EQ(n, 0) << name;
  for (const auto& [name, rows] : *pictures_) EXPECT_EQ(rows.size(), 32u) << name;
}

TEST_F(GuiHost, LinesAndRectangles) {
  EXPECT_EQ(count("rect"), 2 * 9 + 2 * 6 - 4);
  for (auto [x, y] : {std::pair{2, 3}, {10, 3}, {2, 8}, {10, 8}}) EXPECT_TRUE(on("rect", x, y));
  EXPECT_FALSE(on("rect", 3, 4));
  EXPECT_EQ(count("rectfill"), 9 * 6);
  EXPECT_EQ(count("square"), 4 * 5 - 4);
  EXPECT_TRUE(on("square", 8, 8));
  EXPECT_FALSE(on("square", 9, 9));
  // A shallow Bresenham line: one point per column, ends included.
  EXPECT_EQ(count("diagonal"), 64);
  EXPECT_TRUE(on("diagonal", 0, 0));
  EXPECT_TRUE(on("diagonal", 63, 31));
  EXPECT_EQ(count("thick"), 36 * 3);
  EXPECT_TRUE(on("thick", 20, 4) && on("thick", 20, 6));
  EXPECT_TRUE(on("lines", 10, 10) && on("lines", 18, 2) && on("lines", 2, 2));
  EXPECT_EQ(count("lines"), 17);
}

TEST_F(GuiHost, CirclesAndEllipsesAreSymmetric) {
  for (const char* name : {"circle", "circlefill"}) {
    SCOPED_TRACE(name);
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 64; ++x) {
        if (!on(name, x, y)) continue;
        EXPECT_TRUE(on(name, 64 - x, y) && on(name, x, 32 - y)) << x << "," << y;
        EXPECT_TRUE(on(name, 32 + (y - 16), 16 + (x - 32))) << x << "," << y;  // the diagonal mirror
      }
    }
  }
  for (auto [x, y] : {std::pair{42, 16}, {22, 16}, {32, 6}, {32, 26}}) EXPECT_TRUE(on("circle", x, y));
  EXPECT_FALSE(on("circle", 32, 16));
  EXPECT_FALSE(on("circle", 43, 16));
  EXPECT_TRUE(on("circlefill", 32, 16));
  // The box of the ellipse is 10..50 x 5..25; the filled one 11..50 x 5..24
  // (even sizes: the right and lower halves move out by one).
  for (auto [x, y] : {std::pair{10, 15}, {50, 15}, {30, 5}, {30, 25}}) EXPECT_TRUE(on("ellipse", x, y));
  EXPECT_FALSE(on("ellipse", 30, 15));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 64; ++x) {
      if (on("ellipse", x, y)) {
        EXPECT_TRUE(on("ellipse", 60 - x, y) && on("ellipse", x, 30 - y)) << x << "," << y;
      }
      if (on("ellipsefill", x, y)) {
        EXPECT_TRUE(x >= 11 && x <= 50 && y >= 5 && y <= 24) << x << "," << y;
        EXPECT_TRUE(on("ellipsefill", 61 - x, y) && on("ellipsefill", x, 29 - y)) << x << "," << y;
      }
    }
  }
  for (auto [x, y] : {std::pair{11, 14}, {50, 15}, {30, 5}, {31, 24}}) EXPECT_TRUE(on("ellipsefill", x, y));
}

TEST_F(GuiHost, ArcsStartAndEndAtTheirAngles) {
  // Angles count counter-clockwise from the right, with the screen's y down.
  auto only = [](const std::string& name, auto inside) {
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 64; ++x)
        if (on(name, x, y)) {
          EXPECT_TRUE(inside(x - 32, 16 - y)) << name << " " << x << "," << y;
        }
  };
  only("arc0_90", [](int dx, int dy) { return dx >= 0 && dy >= 0; });
  EXPECT_TRUE(on("arc0_90", 42, 16) && on("arc0_90", 32, 6));
  only("arc4_3", [](int dx, int dy) { return dx <= 0 && dy <= 0; });
  EXPECT_TRUE(on("arc4_3", 22, 16) && on("arc4_3", 32, 26));
  // 300..30 wraps through 0: right of the centre, above 30 and below -60 degrees.
  only("arc300_30", [](int dx, int dy) { return dx > 0 && 2 * dy <= 2 * dx && -dy <= 2 * dx; });
  EXPECT_TRUE(on("arc300_30", 42, 16));
  EXPECT_FALSE(on("arc300_30", 32, 6));
  EXPECT_FALSE(on("arc300_30", 32, 26));
  // The pie slice adds both radii to the arc.
  for (int i = 0; i <= 10; ++i) EXPECT_TRUE(on("pie", 32 + i, 16) && on("pie", 32, 16 - i)) << i;
  EXPECT_EQ(count("pie"), count("arc0_90") + 19);
}

TEST_F(GuiHost, ClippedAtEveryEdge) {
  EXPECT_TRUE(on("clipped", 10, 0) && on("clipped", 0, 10));   // circle round the top left corner
  EXPECT_TRUE(on("clipped", 53, 31) && on("clipped", 63, 21)); // and the bottom right one
  EXPECT_TRUE(on("clipped", 63, 5) && on("clipped", 50, 5));   // line past the right edge
  EXPECT_TRUE(on("clipped", 5, 31));                            // line past the bottom
  EXPECT_TRUE(on("clipped", 63, 12) && on("clipped", 0, 20));  // thick line, both ends
  EXPECT_TRUE(on("clipped", 63, 28) && on("clipped", 60, 31)); // rectangle past two edges
}

TEST_F(GuiHost, FloodFillStopsAtItsNodeLimit) {
  EXPECT_EQ(count("fillclosed"), 21 * 16);
  EXPECT_FALSE(on("fillclosed", 5, 5));
  // The comb has 31 teeth of empty columns above one open row: more runs
  // than the 20 upward nodes, so the fill stops part way, inside the screen.
  EXPECT_TRUE(on("fillcomb", 1, 25));
  int openTeeth = 0;
  for (int x = 3; x < 64; x += 2) openTeeth += on("fillcomb", x, 10) ? 0 : 1;
  EXPECT_GT(openTeeth, 0);
}

// Every module with every option, compiled together on a 128x64 screen, with
// the window demo of the KS0108 and a line of each font.
constexpr const char* kLibraryHarness = R"C(#include <stdio.h>
#include "gui.h"
static unsigned char fb[GUI_LCM_YMAX][GUI_LCM_XMAX];
static int outside;
unsigned char GUI_Point(unsigned int x, unsigned char y, unsigned char color)
{
	if (x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX) { outside++; return 0; }
	fb[y][x] = color & 1;
	return 1;
}
unsigned char GUI_ReadPoint(unsigned int x, unsigned char y, TCOLOR *ret)
{
	if (x >= GUI_LCM_XMAX || y >= GUI_LCM_YMAX) { outside++; return 0; }
	*ret = fb[y][x];
	return 1;
}
static void show(const char *name)
{
	int x, y;
	printf("=%s\n", name);
	for (y = 0; y < GUI_LCM_YMAX; y++) {
		for (x = 0; x < GUI_LCM_XMAX; x++) { putchar(fb[y][x] ? '#' : '.'); fb[y][x] = 0; }
		putchar('\n');
	}
	printf("outside %d\n", outside);
	outside = 0;
}
static GUI_ROM uint8 arrow[] = {0x80, 0xC0, 0xE0, 0xF0};
int main(void)
{
	WINDOWS mw, message;
	MMENU mainmenu;
	SMENU smenu1;
	WIN_AA aa;
	message.x = 20; message.y = 10; message.with = 100; message.hight = 48;
	message.title = (uint8 *)"Message"; message.state = (uint8 *)0;
	mw.x = 0; mw.y = 0; mw.with = GUI_LCM_XMAX; mw.hight = GUI_LCM_YMAX;
	mw.title = (uint8 *)"Main window"; mw.state = (uint8 *)"Welcome";
	mainmenu.win = &mw; mainmenu.no = 4;
	mainmenu.str[0] = "File"; mainmenu.str[1] = "Edit"; mainmenu.str[2] = "Tool"; mainmenu.str[3] = "Help";
	smenu1.win = &mw; smenu1.mmenu_no = 1; smenu1.no = 2; smenu1.str[0] = "Cut"; smenu1.str[1] = "Copy";
	smenu1.state = 0;
	GUI_SetColor(1, 0);
	GUI_WindowsDraw(&mw);
	GUI_MMenuDraw(&mainmenu);
	GUI_SMenuDraw(&smenu1);
	show("windows");
	DemoMessage(&message, 0);
	show("message");
	GUI_SMenuDraw(&smenu1);
	GUI_SMenuHide(&smenu1);
	show("hidden");
	GUI_PutString(0, 0, "AB");
	GUI_PutString8_8(0, 10, "AB");
	GUI_PutString24_32(0, 20, "1:");
	GUI_PutHZ(60, 0, (const uint8 *)"\xD6\xD0\xCE\xC4");
	GUI_LoadPic(60, 20, arrow, 4, 4);
	GUI_PutString(120, 60, "clipped");
	GUI_PutString24_32(110, 50, "88");
	show("fonts");
	aa.x = 1; aa.y = 2; aa.with = GUI_LCM_XMAX - 1; aa.hight = GUI_LCM_YMAX - 2;
	aa.title = (uint8 *)"Analogue"; aa.date = (uint8 *)"2006-10-04"; aa.time = (uint8 *)"20:31:00";
	aa.no1 = 1; aa.str1[0] = "Last"; aa.no2 = 0; aa.state = (uint8 *)"ok";
	GUI_AAWinDraw(&aa);
	show("show");
	return 0;
}
)C";

TEST(GuiLibraryHost, EveryModuleTogether) {
  if (!test::haveProgram("cc")) GTEST_SKIP() << "no host C compiler";
  test::TempDir dir;
  ProjectConfig c;
  auto& g = c.GUI;
  for (bool* b : {&g.Line_use, &g.Circle_use, &g.Ellipse_use, &g.Fill_use, &g.Arc_use, &g.Pieslice_use,
                  &g.Window_use, &g.Icon_use, &g.Menu_use, &g.Show_use, &g.Font5x7_use, &g.Font8x8_use,
                  &g.Font24x32_use, &g.Chinese_use}) {
    *b = true;
  }
  GeneratedFiles files;
  for (const std::string& m : guiModules(c)) GuiCreateCode(m, files);
  writeGeneratedFiles(dir.path(), files);
  guiHeader(c).save(dir.path(), "gui.h");
  // Both spellings of the bitmap header, with the same text.
  EXPECT_EQ(test::readBytes(dir / "loadbit.h"), test::readBytes(dir / "Loadbit.h"));
  std::string lcd = kLcd;
  lcd.replace(lcd.find("XMAX 64"), 7, "XMAX 128");
  lcd.replace(lcd.find("YMAX 32"), 7, "YMAX 64");
  test::writeBytes(dir / "lcd.h", lcd);
  test::writeBytes(dir / "harness.c", kLibraryHarness);
  auto [status, log] = test::runIn(dir.path(),
                             "cc -std=gnu99 -Wall -Werror -Wno-pointer-sign -fsanitize=address,undefined "
                             "-fno-sanitize-recover=all -I. -o lib_host *.c && ./lib_host");
  ASSERT_EQ(status, 0) << log;
  std::map<std::string, Picture> pics;
  Picture* cur = nullptr;
  for (const std::string& line : test::splitLines(log)) {
    if (line.rfind("=", 0) == 0) {
      cur = &pics[line.substr(1)];
    } else if (line.rfind("outside ", 0) == 0) {
      EXPECT_EQ(line, "outside 0");
    } else if (cur) {
      cur->push_back(line);
    }
  }
  ASSERT_EQ(pics.size(), 5u) << log;
  auto ink = [&](const std::string& name, int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += pics[name][y][x] == '#';
    return n;
  };
  // Title bar: filled with the title in background colour; frame; menu bar
  // line under the menu texts; the sub-menu below "Edit" with its first
  // item inverted; the status bar line.
  const Picture& w = pics["windows"];
  EXPECT_EQ(w[0], std::string(128, '#'));
  EXPECT_GT(ink("windows", 3, 2, 70, 9), 0);
  EXPECT_LT(ink("windows", 3, 2, 70, 9), 68 * 8);
  EXPECT_EQ(w[22], std::string(128, '#'));
  EXPECT_GT(ink("windows", 3, 14, 26, 21), 10);   // "File"
  EXPECT_GT(ink("windows", 33, 14, 56, 21), 10);  // "Edit"
  EXPECT_EQ(w[24][32], '#');                       // the sub-menu's inverted first item
  EXPECT_EQ(w[52], std::string(128, '#'));
  EXPECT_EQ(w[63], std::string(128, '#'));
  EXPECT_EQ(pics["windows"][30][0], '#');
  // The message box: frame, title, buttons at x+75.
  EXPECT_EQ(pics["message"][10].substr(20, 100), std::string(100, '#'));
  EXPECT_GT(ink("message", 95, 25, 118, 37), 24 * 13 / 2);  // OK selected: inverted
  EXPECT_LT(ink("message", 96, 42, 117, 52), 22 * 11 / 2);
  EXPECT_EQ(pics["message"][41].substr(95, 24), std::string(24, '#'));  // ESC not selected
  EXPECT_EQ(ink("hidden", 31, 23, 70, 50), 0);
  // Each font draws inside its own cell.
  EXPECT_GT(ink("fonts", 0, 0, 11, 7), 10);
  EXPECT_GT(ink("fonts", 0, 10, 15, 17), 10);
  EXPECT_GT(ink("fonts", 0, 20, 47, 51), 100);
  EXPECT_GT(ink("fonts", 60, 0, 83, 11), 20);
  EXPECT_EQ(ink("fonts", 60, 20, 63, 23), 10);
  EXPECT_EQ(ink("fonts", 12, 0, 59, 9), 0);
  // The analogue window: the panel line and the date.
  EXPECT_EQ(pics["show"][30][127 - 62], '#');
  EXPECT_GT(ink("show", 127 - 58, 18, 126, 25), 20);
}

// Each module, with every option, against the lcd.h of each GUI family (the
// point primitives and colour macros the library builds on), for the AVR.
TEST(GuiAvrBuild, EveryModuleAgainstEachFamilysHeader) {
  if (std::system("avr-gcc --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no avr-gcc";
  ProjectConfig c;
  auto& g = c.GUI;
  for (bool* b : {&g.Line_use, &g.Circle_use, &g.Ellipse_use, &g.Fill_use, &g.Arc_use, &g.Pieslice_use,
                  &g.Window_use, &g.Icon_use, &g.Menu_use, &g.Show_use, &g.Font5x7_use, &g.Font8x8_use,
                  &g.Font24x32_use, &g.Chinese_use}) {
    *b = true;
  }
  for (const char* header : {"ks0108_240x64_gui.h", "t6963_128x64_gui.h", "sed1335_gui.h"}) {
    SCOPED_TRACE(header);
    test::TempDir dir;
    GeneratedFiles files;
    for (const std::string& m : guiModules(c)) GuiCreateCode(m, files);
    writeGeneratedFiles(dir.path(), files);
    guiHeader(c).save(dir.path(), "gui.h");
    TextBuffer lcd;  // the golden copy is UTF-8; the project's file is GBK
    lcd.assignText(test::readBytes(std::string(TAMBERLO_GOLDEN_DIR) + "/lcd/" + header));
    lcd.save(dir.path(), "lcd.h");
    test::writeBytes(dir / "macros.h", "#include <avr/io.h>\n");
    auto [status, log] = test::runIn(dir.path(),
                               "for f in *.c; do avr-gcc -mmcu=atmega128 -Os -std=gnu99 -finput-charset=GBK "
                               "-Wall -Werror -I. -c $f -o /dev/null || exit 1; done");
    EXPECT_EQ(status, 0) << log;
  }
}

}  // namespace
}  // namespace tamberlo
