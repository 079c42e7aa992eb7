// SPDX-License-Identifier: GPL-3.0-or-later
// gui.h: the integer types the library uses, one switch per ticked feature,
// the drawing prototypes and an include per library module.
#include "gen/display/gui_code.h"

#include "app/device_catalogue.h"
#include "gen/main/main_parts.h"
#include "modlib/modlib.h"
#include "platform/error.h"

namespace tamberlo {
namespace {

struct Module {
  std::string_view name;
  std::string_view include;
  bool (*wanted)(const ProjectConfig&);
};

using G = decltype(ProjectConfig::GUI);

constexpr Module kModules[] = {
    {"font5_7", "#include \"font5_7.h\"", [](const ProjectConfig& c) { return c.GUI.Font5x7_use; }},
    {"font8_8", "#include \"font8_8.h\"", [](const ProjectConfig& c) { return c.GUI.Font8x8_use; }},
    {"font24_32", "#include \"font24_32.h\"", [](const ProjectConfig& c) { return c.GUI.Font24x32_use; }},
    {"GUI_StockC", "#include \"GUI_StockC.h\"",
     [](const ProjectConfig& c) {
       const G& g = c.GUI;
       return g.Window_use || g.Menu_use || g.Icon_use || g.Font5x7_use;
     }},
    {"loadbit", "#include \"loadbit.h\"",
     [](const ProjectConfig& c) { return c.GUI.Chinese_use || c.GUI.Icon_use; }},
    {"windows", "#include \"windows.h\"", [](const ProjectConfig& c) { return c.GUI.Window_use; }},
    {"menu", "#include \"menu.h\"", [](const ProjectConfig& c) { return c.GUI.Menu_use || c.GUI.Icon_use; }},
    {"show", "#include \"show.h\"", [](const ProjectConfig& c) { return c.GUI.Show_use; }},
};

struct Feature {
  bool G::*option;
  std::string_view comment;
  std::string_view define;
};

constexpr Feature kFeatures[] = {
    {&G::Line_use, "/* 有宽度的直线函数 */", "#define   GUI_LineWith_EN    1"},
    {&G::Circle_use, "/* 画圆函数 */", "#define   GUI_CircleX_EN     1"},
    {&G::Ellipse_use, "/* 椭圆函数 */", "#define   GUI_EllipseX_EN    1"},
    {&G::Fill_use, "/* 填充函数 */", "#define   GUI_FloodFill_EN   1"},
    {&G::Arc_use, "/* 圆弧函数 */", "#define   GUI_ArcX_EN        1"},
    {&G::Pieslice_use, "/* 扇形函数 */", "#define   GUI_Pieslice_EN    1"},
    {&G::Window_use, "/* 窗口管理 */", "#define   GUI_WINDOW_EN      1"},
    {&G::Icon_use, "/* 图标菜单 */", "#define  GUI_MenuIco_EN      1"},
    {&G::Menu_use, "/* 下拉菜单 */", "#define  GUI_MenuDown_EN     1"},
    {&G::Show_use, "/* 界面显示 */", "#define  GUI_SHOW_EN         1"},
    {&G::Font5x7_use, "/* 5*7字体 */", "#define  FONT5x7_EN          1"},
    {&G::Font8x8_use, "/* 8*8字体 */", "#define  FONT8x8_EN          1"},
    {&G::Font24x32_use, "/* 24*32字体 */", "#define  FONT24x32_EN        1"},
    {&G::Chinese_use, "/* 汉字显示函数 */", "#define  GUI_PutHZ_EN        1"},
};

// The header's lines up to the module includes.
TextBuffer headerHead(const ProjectConfig& c) {
  const G& g = c.GUI;
  TextBuffer h{"#ifndef\t__GUI__H", "#define\t__GUI__H", "", "#include \"lcd.h\"", ""};
  struct Type {
    std::string_view decl, english, chinese;
  };
  const Type types[] = {
      {"typedef unsigned char  uint8;", "unsigned 8-bits integer variable", "无符号8位整型变量"},
      {"typedef signed   char  int8;", "signed 8-bits integer variable", "有符号8位整型变量"},
      {"typedef unsigned int   uint16;", "unsigned 16-bits integer variable", "无符号16位整型变量"},
      {"typedef signed   int   int16;", "signed 16-bits integer variable", "有符号16位整型变量"},
      {"typedef unsigned long  uint32;", "unsigned 32-bits integer variable", "无符号32位整型变量"},
      {"typedef signed   long  int32;", "signed 32-bits integer variable", "有符号32位整型变量"},
      {"typedef float          fp32;", "single precision floating point variable (32bits)",
       "单精度浮点数（32位长度）"},
      {"typedef double         fp64;", "double precision floating point variable (64bits)",
       "双精度浮点数（64位长度）"},
  };
  for (const Type& t : types) {
    std::string line(t.decl);
    line.append(34 - line.size(), ' ');
    h.add(line + "/* defined for " + std::string(t.english) + " \t" + std::string(t.chinese) + "  */");
  }
  h.add("");
  for (auto l : {"#ifndef NULL  ", "#define NULL    ((void*)0) ", "#endif  ", "", "/* 定义坐标数据结构 */",
                 "typedef  struct", "         {  ", "            uint32  x;\t\t\t\t// x坐标变量",
                 "            uint32  y;\t\t\t\t// y坐标变量", "         }", "         PointXY;", ""}) {
    h.add(l);
  }
  for (const Feature& f : kFeatures) {
    if (!(g.*f.option)) continue;
    h.add(f.comment);
    h.add(f.define);
    if (f.option == &G::Fill_use) {
      // The node counts are fixed; the settings' DOWNP and UPP are not read.
      h.add("   /* 向上及向下节点个数(填充函数) */");
      h.add("   #define   DOWNP_N\t\t\t20");
      h.add("   #define   UPP_N\t\t\t\t20");
    }
  }
  h.add("");
  for (auto l : {"void  GUI_HLine(unsigned int x0, unsigned char y0, unsigned int x1, TCOLOR color);",
                 "void  GUI_RLine(unsigned int x0, unsigned char y0, unsigned char y1, TCOLOR color);",
                 "void  GUI_Rectangle(uint16 x0, uint8 y0, uint16 x1, uint8 y1, TCOLOR color);",
                 "void  GUI_RectangleFill(uint16 x0, uint8 y0, uint16 x1, uint8 y1, TCOLOR color);",
                 "void  GUI_Square(uint32 x0, uint32 y0, uint32  with, TCOLOR  color);",
                 "void  GUI_Line(uint32 x0, uint32 y0, uint32 x1, uint32 y1, TCOLOR color);"}) {
    h.add(l);
  }
  if (g.Line_use) h.add("void  GUI_LineWith(uint32 x0, uint32 y0, uint32 x1, uint32 y1, uint8 with, TCOLOR color);");
  h.add("void  GUI_LineS(uint32 const *points, uint8 no, TCOLOR color);");
  if (g.Circle_use) {
    h.add("void  GUI_Circle(uint32 x0, uint32 y0, uint32 r, TCOLOR color);");
    h.add("void  GUI_CircleFill(uint32 x0, uint32 y0, uint32 r, TCOLOR color);");
  }
  if (g.Ellipse_use) {
    h.add("void  GUI_Ellipse(uint32 x0, uint32 x1, uint32 y0, uint32 y1, TCOLOR color);");
    h.add("void  GUI_EllipseFill(uint32 x0, uint32 x1, uint32 y0, uint32 y1, TCOLOR color);");
  }
  if (g.Fill_use) h.add("void  GUI_FloodFill(uint32 x0, uint32 y0, TCOLOR color);");
  if (g.Arc_use) {
    h.add("void  GUI_Arc4(uint32 x, uint32 y, uint32 r, uint8 angle, TCOLOR color);");
    h.add("void  GUI_Arc(uint32 x, uint32 y, uint32 r, uint32 stangle, uint32 endangle, TCOLOR color);");
  }
  if (g.Pieslice_use) {
    h.add("void  GUI_Pieslice(uint32 x, uint32 y, uint32 r, uint32 stangle, uint32 endangle, TCOLOR color);");
  }
  h.add("");
  return h;
}

// The demos of main.c call into modules that only some options bring, and
// the library draws through the point primitives of three driver families:
// stop with what is missing rather than write a project that cannot link.
void checkOptions(const ProjectConfig& c) {
  const G& g = c.GUI;
  const std::string& model = c.LCD.Lcd_type.text;
  const auto family = mainc::lcdFamily(model);
  using mainc::LcdFamily;
  if (family != LcdFamily::Ks0108 && family != LcdFamily::T6963 && family != LcdFamily::Sed1335) {
    throw Error("GUI: the graphics library draws on the KS0108, T6963 and SED1335 models only, not on \"" +
                model + "\"");
  }
  auto need = [](std::string_view demo, std::vector<std::pair<bool, std::string_view>> options) {
    std::string missing;
    for (auto [ticked, caption] : options) {
      if (ticked) continue;
      missing += (missing.empty() ? "" : ", ") + std::string(caption);
    }
    if (!missing.empty()) throw Error("GUI: " + std::string(demo) + " needs the options " + missing);
  };
  if (g.Test2_use) need("the window demo (Test2)", {{g.Window_use, "窗口管理"}, {g.Menu_use || g.Icon_use, "下拉菜单"}});
  if (g.Test3_use) {
    std::vector<std::pair<bool, std::string_view>> options = {{g.Show_use, "界面显示"}};
    if (family == LcdFamily::Sed1335) {
      options.insert(options.end(), {{g.Font5x7_use, "5*7字体"}, {g.Font8x8_use, "8*8字体"}, {g.Font24x32_use, "24*32字体"}});
    }
    need("the analogue window demo (Test3)", options);
  }
  // The screen display writes its texts with the stock characters.
  if (g.Show_use) {
    need("the screen display (界面显示)", {{g.Window_use || g.Menu_use || g.Icon_use || g.Font5x7_use, "5*7字体"}});
  }
}

// Flash of the library with these options, from avr-gcc -Os builds of each
// part (rounded up; the drawing helpers that several features share are
// counted with each, so the sum errs on the large side).
struct Part {
  bool used;
  int bytes;
};

template <size_t N>
int sumOf(const Part (&parts)[N]) {
  int sum = 0;
  for (const Part& p : parts) sum += p.used ? p.bytes : 0;
  return sum;
}

int libraryBytes(const ProjectConfig& c) {
  const G& g = c.GUI;
  const bool stock = g.Window_use || g.Menu_use || g.Icon_use || g.Font5x7_use;
  const Part parts[] = {
      {true, 2100},           {g.Line_use, 400},       {g.Circle_use, 1300},     {g.Ellipse_use, 1700},
      {g.Fill_use, 750},      {g.Arc_use, 2300},       {g.Pieslice_use, 2500},   {g.Font5x7_use, 150},
      {g.Font8x8_use, 1150},  {g.Font24x32_use, 1800}, {stock, 1000},            {g.Chinese_use || g.Icon_use, 1200},
      {g.Window_use, 2200},   {g.Menu_use || g.Icon_use, 2200}, {g.Show_use, 1800},
  };
  return sumOf(parts);
}

// What the rest of a GUI project takes at least: the display driver, main.c
// with its demos, the delays and the C start-up.
constexpr int kProjectBytes = 4500;

// The other drivers of the project with their demo code in main.c (measured
// the same way, rounded up by a fifth): the library rarely fits alone.
int otherModuleBytes(const ProjectConfig& c) {
  const auto& s = c.SPI;
  const auto& t = c.TWI;
  const bool spi = s.Spi_use, twi = t.Twi_use;
  const Part parts[] = {
      {c.UART0.Uart0_use, 600}, {c.UART1.Uart1_use, 600}, {spi, 150},       {spi && s.Spi_ds1302, 1200},
      {spi && s.Spi_sd, 3000},  {twi, 300},               {twi && t.Twi_at24, 1000},
      {twi && t.Twi_sd2k, 1400}, {twi && t.Twi_ds1307, 1100}, {twi && t.Twi_zlg7290, 2100},
      {twi && t.Twi_tea5767, 700}, {c.Adc_use, 150},      {c.Acp_use, 100},
  };
  return sumOf(parts);
}

}  // namespace

std::vector<std::string> guiModules(const ProjectConfig& cfg) {
  std::vector<std::string> names{"gui"};
  for (const Module& m : kModules) {
    if (m.wanted(cfg)) names.emplace_back(m.name);
  }
  return names;
}

TextBuffer guiHeader(const ProjectConfig& cfg) {
  TextBuffer h = headerHead(cfg);
  for (const Module& m : kModules) {
    if (m.wanted(cfg)) h.add(m.include);
  }
  h.add("");
  h.add("#endif");
  return h;
}

void MakeGuiCode(GenContext& ctx) {
  const ProjectConfig& c = ctx.cfg;
  if (!c.LCD.Gui_use) return;
  checkOptions(c);
  ctx.NeedDelay = true;
  if (auto device = findDevice(c.mcuName())) {
    const int need = libraryBytes(c) + kProjectBytes + otherModuleBytes(c);
    if (need > device->flashBytes) {
      ctx.warn("GUI: the graphics library with these options needs about " + std::to_string(need / 1024 + 1) +
               " KB of flash with the LCD driver and the other modules, more than the " + std::string(device->name) + "'s " +
               std::to_string(device->flashBytes / 1024) +
               " KB, so the project will not build; untick options or choose a larger chip");
    }
  }
  // The library writes the modules in the header's order; each once.
  for (const std::string& name : guiModules(c)) GuiCreateCode(name, ctx.files);
  ctx.files.add("gui.h", guiHeader(c));
}

}  // namespace tamberlo
