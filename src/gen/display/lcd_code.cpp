// SPDX-License-Identifier: GPL-3.0-or-later
// lcd.h, composed from the model and the pins of the LCD editor, and the
// order of the run: check the pins, let the library (or the KS0108 template)
// write lcd.c, then write the header.
#include "gen/display/lcd_code.h"

#include <span>
#include <vector>

#include "app/crystal.h"
#include "app/device_catalogue.h"
#include "app/lcd_models.h"
#include "app/pin_map.h"
#include "gen/banners.h"
#include "gen/main/main_parts.h"
#include "modlib/modlib.h"
#include "platform/fill.h"
#include "platform/error.h"

namespace tamberlo {
namespace {

using mainc::LcdFamily;

// One signal of a family: the macro stem, its editor slot (1-based) and the
// name the editor shows on the slot's selector.
struct Signal {
  std::string_view stem;
  int slot;
  std::string_view caption;
};

std::string pad(std::string_view s, size_t width) {
  std::string out(s);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

// The signals each family wires, in the order their pin blocks appear.
std::vector<Signal> signalsOf(LcdFamily family, std::string_view model, bool serial) {
  switch (family) {
    case LcdFamily::Character: {
      std::vector<Signal> s = {{"EN", 1, "E"}, {"RW", 2, "WR"}, {"RS", 3, "R/S"}};
      if (findLcdModel(model)->extraSelects) s.push_back({"E2", 4, "E2"});
      return s;
    }
    case LcdFamily::Sed1520:
      return {{"A0", 1, "A0"}, {"RW", 2, "R/W"}, {"RST", 3, "/RST"}, {"E1", 4, "E1"}, {"E2", 5, "E2"}};
    case LcdFamily::Ks0108: {
      std::vector<Signal> s = {{"RST", 6, "/RST"}, {"EN", 1, "E"},     {"RW", 2, "R/W"},
                               {"DI", 3, "RS"},    {"CS1", 4, "/CS1"}, {"CS2", 5, "/CS2"}};
      if (findLcdModel(model)->extraSelects) {
        s.push_back({"CS3", 7, "/CS3"});
        s.push_back({"CS4", 8, "/CS4"});
      }
      return s;
    }
    case LcdFamily::St7920:
      if (serial) {
        return {
            {"SCLK", 1, "SCLK"}, {"SID", 2, "SID"}, {"CS", 3, "CS"}, {"PSB", 4, "PSB"}, {"RST", 5, "/RST"}};
      }
      return {{"EN", 1, "E"}, {"RW", 2, "R/W"}, {"RS", 3, "RS"}, {"PSB", 4, "PSB"}, {"RST", 5, "/RST"}};
    case LcdFamily::T6963:
      return {{"CE", 1, "CE"}, {"CD", 2, "CD"}, {"RD", 3, "RD"}, {"WR", 4, "WR"}, {"RES", 5, "/RST"}};
    case LcdFamily::Sed1335:
      return {{"CS", 1, "CE"}, {"A0", 2, "A0"}, {"RD", 3, "/RD"}, {"WR", 4, "/WR"}, {"RES", 5, "/RES"}};
    case LcdFamily::Pcd8544:
      return {
          {"RES", 1, "RES"}, {"SCE", 2, "SCE"}, {"SDIN", 3, "SDIN"}, {"SCLK", 4, "SCLK"}, {"DC", 5, "D/C"}};
    case LcdFamily::None: break;
  }
  return {};
}

bool hasDataBus(LcdFamily family, bool serial) {
  return family != LcdFamily::Pcd8544 && !(family == LcdFamily::St7920 && serial);
}

// Tells the user about wiring on a port the chip does not have: the project
// is written as chosen, but will not build.
void warnMissingPorts(const GenContext& ctx) {
  const ProjectConfig& c = ctx.cfg;
  const std::string mcu = c.mcuName();
  if (!findDevice(mcu)) return;
  // The port boxes offer A..D (A..G on the 64 and 128) whatever the chip,
  // so a choice can name a port it lacks.
  const std::string ports = portLetters(mcu);
  const LcdFamily family = mainc::lcdFamily(c.LCD.Lcd_type.text);
  const bool serial = c.LCD.Lcd_io.text == "串行接口";
  auto check = [&](char port, std::string_view what) {
    if (ports.find(port) == std::string::npos) {
      ctx.warn("LCD: " + mcu + " has no PORT" + std::string(1, port) + " (" + std::string(what) +
               "); the project will not build as wired");
    }
  };
  if (hasDataBus(family, serial)) check(c.LCD.Data_io.text[4], "the data port");
  for (const Signal& s : signalsOf(family, c.LCD.Lcd_type.text, serial)) {
    const std::string& pin = c.LCD.pins[static_cast<size_t>(s.slot - 1)].Text;
    if (pin.size() != 3 || ports.find(pin[1]) == std::string::npos) {
      check(pin.size() > 1 ? pin[1] : '?', std::string(s.caption) + " pin");
    } else if (!deviceHasPin(mcu, pin[1], pin[2] - '0')) {
      // The port is there but not this bit (PC7 of the ATMega8, PE3 of the
      // ATMega8515, PG5 of the ATMega64): its name is unknown to the compiler.
      ctx.warn("LCD: " + mcu + " has no pin " + pin + " for " + std::string(s.caption) +
               "; the project will not build as wired");
    }
  }
}

// The header's lines, family by family, in file order.
class LcdHeader {
 public:
  explicit LcdHeader(const ProjectConfig& cfg)
      : cfg_(cfg),
        model_(cfg.LCD.Lcd_type.text),
        family_(mainc::lcdFamily(model_)),
        serial_(cfg.LCD.Lcd_io.text == "串行接口") {}

  TextBuffer build() {
    if (family_ == LcdFamily::None) return {};
    checkWiring();
    h_.add("#ifndef\t__LCD__H");
    h_.add("#define\t__LCD__H");
    h_.add("");
    switch (family_) {
      case LcdFamily::Character: character(); break;
      case LcdFamily::Sed1520: sed1520(); break;
      case LcdFamily::Ks0108: ks0108(); break;
      case LcdFamily::St7920: st7920(); break;
      case LcdFamily::T6963: t6963(); break;
      case LcdFamily::Sed1335: sed1335(); break;
      case LcdFamily::Pcd8544: pcd8544(); break;
      case LcdFamily::None: break;
    }
    h_.add("");
    h_.add("#endif");
    return h_;
  }

 private:
  // Every pin the header names must be a pin: the header takes the port from
  // the text's second character, so a short or odd text stops the run here.
  void checkWiring() const {
    for (const Signal& s : signalsOf(family_, model_, serial_)) {
      const std::string& t = pinText(s.slot);
      if (t.empty()) throw Error("LCD: no pin is assigned to " + std::string(s.caption));
      if (!parsePortPin(t)) {
        throw Error("LCD: \"" + t.substr(0, 20) + "\" assigned to " + std::string(s.caption) +
                    " is not a pin (PA0 .. PG7)");
      }
    }
    if (hasDataBus(family_, serial_) && !parsePortName(cfg_.LCD.Data_io.text)) {
      throw Error("LCD: the data port \"" + cfg_.LCD.Data_io.text.substr(0, 20) +
                  "\" is not a port (PORTA .. PORTG)");
    }
  }

  const std::string& pinText(int slot) const { return cfg_.LCD.pins[static_cast<size_t>(slot - 1)].Text; }
  char portOf(int slot) const { return pinText(slot)[1]; }
  char dataPort() const { return cfg_.LCD.Data_io.text[4]; }

  // "#define", the family's blanks, the name, blanks up to `column` (1-based).
  std::string define(std::string_view name, std::string_view value, size_t column) const {
    std::string line = "#define" + std::string(defineBlanks_, ' ') + std::string(name);
    line = line.size() + 1 < column ? pad(line, column - 1) : line + " ";
    return line + std::string(value);
  }

  void pinBlock(std::string_view stem, int slot, size_t column, bool shortBit = false) {
    const std::string base = "LCD_" + std::string(stem);
    h_.add(define(base + "_DDR", std::string("DDR") + portOf(slot), column));
    h_.add(define(base + "_PORT", std::string("PORT") + portOf(slot), column));
    h_.add(define(shortBit ? base : base + "_BIT", "(1<<" + pinText(slot) + ")", column));
  }

  void pinBlocks(size_t column, bool shortBit = false) {
    for (const Signal& s : signalsOf(family_, model_, serial_)) pinBlock(s.stem, s.slot, column, shortBit);
  }

  void dataLines(std::string_view out, std::string_view dir, std::string_view in, size_t column) {
    const char d = dataPort();
    h_.add(define(out, std::string("PORT") + d, column));
    h_.add(define(dir, std::string("DDR") + d, column));
    h_.add(define(in, std::string("PIN") + d, column));
  }

  void lines(std::initializer_list<std::string_view> ls) {
    for (auto l : ls) h_.add(l);
  }

  // Set and clear macros of one pin ("#define  NAME  PORT |= BIT//note").
  void portMacro(std::string_view name, std::string_view stem, bool set, std::string_view tail) {
    const std::string port = "LCD_" + std::string(stem) + "_PORT";
    const std::string bit = "LCD_" + std::string(stem) + "_BIT";
    std::string line = "#define  " + pad(name, 15) + port + (set ? " |= " : " &= ~") + bit;
    h_.add(tail.empty() ? line : pad(line + " ", 54) + std::string(tail));
  }

  // Control macros of the character, ST7920 and PCD8544 headers: the name
  // padded, then "PORT|=BIT " or "PORT&= ~BIT ".
  void controlMacro(std::string_view lead, size_t width, std::string_view name, std::string_view stem,
                    bool set, bool shortBit = false) {
    const std::string base = "LCD_" + std::string(stem);
    const std::string bit = shortBit ? base : base + "_BIT";
    h_.add(std::string(lead) + pad(name, width) + base + "_PORT" + (set ? "|=" : "&= ~") + bit + " ");
  }

  void colourAndSize(std::string_view x, std::string_view y) {
    lines({"/* 定义颜色数据类型(可以是数据结构) */", "#define  TCOLOR\t\t\tunsigned char ", "",
           "/* 定义LCM像素数宏 */"});
    h_.add("#define  GUI_LCM_XMAX\t\t" + std::string(x) + "\t//   定义液晶x轴的像素数 *");
    h_.add("#define  GUI_LCM_YMAX\t\t" + std::string(y) + "\t//   定义液晶y轴的像素数 *");
  }

  void guiColourMacros() {
    lines({"#define  GUI_CmpColor(color1, color2)\t( (color1&0x01) == (color2&0x01) )",
           "#define  GUI_CopyColor(color1, color2) \t*color1 = color2&0x01", ""});
  }

  void constant(std::string_view name, std::string_view value, size_t width = 16) {
    h_.add("#define  " + pad(name, width) + std::string(value));
  }

  // ---- the families -------------------------------------------------------

  void character() {
    defineBlanks_ = 1;
    h_.add("//定义MCU与LCD的接口");
    dataLines("LCD_DATA_PORT", "LCD_DATA_DDR", "LCD_DATA_PIN", 24);
    lines({"#define LCD_DATA       0xf0   //portd4/5/6/7   out", ""});
    pinBlocks(24, true);
    h_.add("");
    const bool e2 = findLcdModel(model_)->extraSelects;
    const std::pair<std::string_view, std::string_view> pins[] = {
        {"E", "EN"}, {"RW", "RW"}, {"RS", "RS"}, {"E2", "E2"}};
    for (auto [name, stem] : pins) {
      if (stem == "E2" && !e2) continue;
      controlMacro("#define ", 15, std::string(name) + "_H", stem, true, true);
      controlMacro("#define ", 15, std::string(name) + "_L", stem, false, true);
    }
    h_.add("");
    const std::string box = "/" + std::string(72, '*') + "/";
    lines({"//函数声明", "void LCD16xx_init         (void);", "void LCD16xx_en_write     (void);"});
    h_.add(box);
    h_.add("/* LCD16xx清屏：清除全部显示，光标回到第0行第0列                         */");
    h_.add(box);
    lines(
        {"void LCD16xx_clr(void) ;", "void LCD16xx_write_char   (unsigned char command,unsigned char data);",
         "void LCD16xx_wait_Ready   (void);", "void LCD16xx_set_xy       (unsigned char x, unsigned char y);",
         "void LCD16xx_write_string (unsigned char X,unsigned char Y,unsigned char *s);"});
  }

  void sed1520() {
    defineBlanks_ = 2;
    lines({"/*SED1520 122*32 LCD C语言驱动", "LCD引脚定义", "1---VSS ", "2---VDD", "3---VEE", "4---A0",
           "5---E1", "6---E2", "7---NC", "8---NC", "9---R/W", "10到17 D0-D7", "18--RES", "19--BL-",
           "20--BL+*/", ""});
    h_.add("/*  常量定义  */");
    constant("LCD_DISPLAY_ON", "0xaf");
    constant("LCD_DISPLAY_OFF", "0xae");
    constant("LCD_STARTLINE0", "0xc0");
    constant("LCD_PAGE0", "0xb8");
    constant("LCD_COLUMNADDR0", "0x00");
    h_.add("");
    constant("LCD_SET_ADC_NOR", "0xa0  /* ADC set for normal direction */");
    constant("LCD_SET_ADC_REV", "0xa1  /* ADC set for reverse direction */");
    constant("LCD_DRIVER_ON", "0xa5");
    constant("LCD_DRIVER_OFF", "0xa4");
    constant("LCD_DUTY16", "0xa8");
    constant("LCD_DUTY32", "0xa9");
    constant("LCD_END", "0xee");
    constant("LCD_RESET", "0xe2");
    constant("LCD_RWMODE", "0xe0");
    lines({"", "#define  TIME  10 ", ""});
    h_.add("//定义MCU与LCD的接口");
    dataLines("LCD_OP_PORT", "LCD_DDR_PORT", "LCD_IP_PORT", 26);
    h_.add("");
    pinBlocks(26);
    h_.add("");
    portMacro("SET_LCD_A0", "A0", true, "//数据模式");
    portMacro("CLEAR_LCD_A0", "A0", false, "//指令模式");
    portMacro("SET_LCD_RST", "RST", true, "//复位结束");
    portMacro("CLEAR_LCD_RST", "RST", false, "//复位");
    portMacro("SET_LCD_READ", "RW", true, "//读模式");
    portMacro("SET_LCD_WRITE", "RW", false, "//写模式");
    portMacro("SET_LCD_E1", "E1", true, "//左半屏选择禁止");
    portMacro("CLEAR_LCD_E1", "E1", false, "//左半屏选择使能");
    portMacro("SET_LCD_E2", "E2", true, "//右半屏选择禁止");
    portMacro("CLEAR_LCD_E2", "E2", false, "//右半屏选择使能");
    h_.add("");
    const std::pair<std::string_view, std::string_view> commands[] = {
        {"LCD_ON()", "LCD_DISPLAY_ON"},
        {"LCD_OFF()", "LCD_DISPLAY_OFF"},
        {"LCD_StaticON()", "LCD_DRIVER_ON"},
        {"LCD_StaticOFF()", "LCD_DRIVER_OFF"},
        {"LCD_Select16()", "LCD_DUTY16"},
        {"LCD_Select32()", "LCD_DUTY32"},
        {"LCD_StartRW()", "LCD_RWMODE"},
        {"LCD_EndRW()", "LCD_END"},
        {"LCD_Reset()", "LCD_RESET"},
        {"LCD_SetStartLine(i)", "LCD_STARTLINE0+i"},
        {"LCD122x32_SetPage(i)", "LCD_PAGE0+i"},
        {"LCD122x32_SetColumn(i)", "LCD_COLUMNADDR0+i"},
    };
    for (auto [name, arg] : commands) {
      h_.add("#define  " + pad(name, 24) + "LCD122x32_Command(" + std::string(arg) + ")");
    }
    lines({"", "//函数声明", "void  LCD_Init(void); /*初始化函数*/",
           "void  LCD122x32_Command(unsigned char nCommand) ;",
           "void  LCD122x32_SetRam(unsigned char bChip2,unsigned char ndata); ",
           "void  LCD122x32_Write(unsigned char npage,unsigned char ncolumn,unsigned char ndata);",
           "void  LCD122x32_PageWrite(unsigned char npage,unsigned char *ndata);",
           "unsigned char *GetTextFont(unsigned char index);",
           "void  LCD122x32_TextOut(unsigned char x,unsigned char y,unsigned char *szText);",
           "unsigned char GetIndex(unsigned char szText);",
           "void  Printf(unsigned char x,unsigned char y,unsigned char *szText);", "", "//全局变量声明",
           "extern unsigned char ASCII[][6];"});
  }

  void ks0108() {
    defineBlanks_ = 2;
    const bool wide = findLcdModel(model_)->extraSelects;
    if (wide) {
      lines({"/*KS0108 240*64 LCD C语言驱动", "LCD引脚定义", "1---GND ", "2---RESET", "3---E", "4---R/W",
             "5---RS", "6---CS4", "7---CS3", "8---CS2", "9---CS1", "10--VEE", "11--SW", "12到19 D7-D0",
             "20--VCC*/"});
    } else {
      lines({"/*KS0108 128*64 LCD C语言驱动", "LCD引脚定义", "1---GND ", "2---VCC", "3---VLCD", "4---D/I",
             "5---R/W", "6---E", "7到14 D0-D7", "15--CS1", "16--CS2", "17--RESET", "18--VEE", "19--SW",
             "20--NC*/"});
    }
    h_.add("");
    colourAndSize(wide ? "240" : "128", "64");
    h_.add("");
    h_.add("/*  常量定义  */");
    constant("LCD_STATUS_BUSY", "0x80");
    constant("START_LINE0", "0xc0");
    constant("DISPLAY_ON", "0x3f");
    constant("DISPLAY_OFF", "0x3e");
    constant("PARA1", "0x40");
    if (wide) {
      lines({"#define  BLOCK1 1", "#define  BLOCK2 2", "#define  BLOCK3 3", "#define  BLOCK4 4"});
    } else {
      lines({"#define  LEFT  0", "#define  RIGHT 1"});
    }
    lines({"#define  CMD   0", "#define  DATA  1", ""});
    h_.add("//定义MCU与LCD的接口");
    dataLines("LCD_OP_PORT", "LCD_DIR_PORT", "LCD_IP_PORT", 25);
    h_.add("");
    pinBlocks(25);
    h_.add("");
    portMacro("SET_LCD_RST", "RST", true, "//复位结束");
    portMacro("CLEAR_LCD_RST", "RST", false, "//复位");
    portMacro("SET_LCD_E", "EN", true, "//使能信号高");
    portMacro("CLEAR_LCD_E", "EN", false, "//使能信号低");
    portMacro("SET_LCD_DATA", "DI", true, "//数据模式");
    portMacro("SET_LCD_CMD", "DI", false, "//指令模式");
    portMacro("SET_LCD_READ", "RW", true, "//读模式");
    portMacro("SET_LCD_WRITE", "RW", false, "//写模式");
    const int chips = wide ? 4 : 2;
    for (int i = 1; i <= chips; ++i) {
      const std::string n = std::to_string(i);
      portMacro("SET_LCD_CS" + n, "CS" + n, true, "//第" + n + "片选择禁止");
      portMacro("CLEAR_LCD_CS" + n, "CS" + n, false, "//第" + n + "片选择使能");
    }
    h_.add("");
    lines({"//函数声明", "void LCD_reset(void);", "void LCD_Init(void); /*初始化函数*/",
           "void LCD_clr(void) ; /*清屏函数*/",
           "void SetRowCol(unsigned char urow, unsigned char ucol); /* 设置当前显示的页和列 */",
           "void disp_char(unsigned char c);", "void disp_hz(unsigned char *hz);",
           "void disp_str(unsigned char *p);",
           "void GUI_Point(unsigned char xx,unsigned char yy,unsigned char flag);"});
    if (cfg_.LCD.Gui_use) guiColourMacros();
  }

  void st7920() {
    defineBlanks_ = 2;
    const bool big = model_ == "LCD128x64(ST7920)";
    h_.add(big ? "/*ST7920 128*64 LCD C语言驱动" : "/*ST7920 122*32 LCD C语言驱动");
    lines({"LCD引脚定义", "1---VSS ", "2---VCC", "3---V0"});
    if (serial_) {
      lines({"4---CS", "5---SID", "6---SCLK", "7到14 NC"});
    } else {
      lines({"4---RS", "5---R/W", "6---E", "7到14 D0-D7"});
    }
    lines({"15--PSB", "16--NC", "17--/RST", "18--NC", "19--LEDK", "20--LEDA*/", ""});
    colourAndSize(big ? "128" : "122", big ? "64" : "32");
    h_.add("");
    h_.add("//定义MCU与LCD的接口");
    if (serial_) {
      pinBlock("SCLK", 1, 27);
      pinBlock("SID", 2, 26);
      pinBlock("CS", 3, 25);
    } else {
      dataLines("data_out", "data_ddr", "data_in", 22);
      h_.add("");
      pinBlock("EN", 1, 25);
      pinBlock("RW", 2, 25);
      pinBlock("RS", 3, 25);
    }
    pinBlock("PSB", 4, 25);
    pinBlock("RST", 5, 25);
    h_.add("");
    const std::pair<std::string_view, std::string_view> parallel[] = {
        {"E", "EN"}, {"RW", "RW"}, {"RS", "RS"}};
    const std::pair<std::string_view, std::string_view> serialPins[] = {
        {"SCLK", "SCLK"}, {"SID", "SID"}, {"CS", "CS"}};
    for (auto [name, stem] : serial_ ? std::span(serialPins) : std::span(parallel)) {
      controlMacro("#define  ", 15, std::string(name) + "_H", stem, true);
      controlMacro("#define  ", 15, std::string(name) + "_L", stem, false);
    }
    controlMacro("#define  ", 15, "PSB_P", "PSB", true);
    controlMacro("#define  ", 15, "PSB_S", "PSB", false);
    controlMacro("#define  ", 15, "RST_H", "RST", true);
    controlMacro("#define  ", 15, "RST_L", "RST", false);
    h_.add("");
    lines({"//函数声明", "void LCD_command(unsigned char com_data);", "void LCD_Init(void);",
           "void LCD_chinese(unsigned char out_addr,unsigned char *out_data);",
           "void LCD_ascii(unsigned char out_addr,unsigned char *out_data);", "void LCD_pic_init(void);",
           "void LCD_pic_clear(void);", "void LCD_pic_all(unsigned char *out_data);",
           "void LCD_pic_part(unsigned char x,unsigned char y,unsigned char *out_data);",
           "void LCD_pic_point(unsigned char x,unsigned char y);",
           "void LCD_pic_line(unsigned char x1,unsigned char y1,unsigned char x2,unsigned char y2);", "",
           "//全局变量声明", "extern unsigned char hanzi1[];", "extern unsigned char hanzi2[];",
           "extern unsigned char hanzi3[];", "extern unsigned char hanzi4[];"});
  }

  void t6963() {
    defineBlanks_ = 2;
    const bool wide = model_ == "LCD240x64(T6963)";
    if (wide) {
      lines({"/*T6963 240*64 LCD C语言驱动", "LCD引脚定义", "1---FG ", "2---VSS", "3---VDD", "4---CON",
             "5---/WR", "6---/RD", "7---/CE", "8---C/D", "9---VEE", "10---/RST", "11到18 D0-D7",
             "19--FS1*/"});
    } else {
      lines({"/*T6963 128*64 LCD C语言驱动", "LCD引脚定义", "1---FG ", "2---VSS", "3---VDD", "4---CON",
             "5---/WR", "6---/RD", "7---/CE", "8---C/D", "9---/RST", "10到17 D0-D7", "18--FS1*/"});
    }
    lines({"",
           "/*  常量定义  */",
           "#define LC_CUR_POS\t0x21\t// 光标位置设置",
           "#define LC_CGR_POS\t0x22\t// CGRAM偏置地址设置",
           "#define LC_ADD_POS\t0x24\t// 地址指针位置",
           "#define LC_TXT_STP\t0x40\t// 文本区首址",
           "#define LC_TXT_WID\t0x41\t// 文本区宽度",
           "#define LC_GRH_STP\t0x42\t// 图形区首址",
           "#define LC_GRH_WID\t0x43\t// 图形区宽度",
           "#define LC_MOD_OR  0x80\t// 显示方式：逻辑或",
           "#define LC_MOD_XOR\t0x81\t// 显示方式：逻辑异或",
           "#define LC_MOD_AND\t0x82\t// 显示方式：逻辑与",
           "#define LC_MOD_TCH\t0x83\t// 显示方式：文本特征",
           "#define LC_DIS_SW  0x90\t// 显示开关：D0=1/0:光标闪烁启用/禁用；",
           "\t\t\t\t\t\t// D1=1/0:光标显示启用/禁用；",
           "\t\t\t\t\t\t// D2=1/0:文本显示启用/禁用；",
           "\t\t\t\t\t\t// D3=1/0:图形显示启用/禁用；",
           "#define LC_CUR_SHP\t0xA0\t// 光标形状选择：0xA0-0xA7表示光标占的行数",
           "#define LC_AUT_WR\t0xB0\t// 自动写设置",
           "#define LC_AUT_RD\t0xB1\t// 自动读设置",
           "#define LC_AUT_OVR\t0xB2\t// 自动读/写结束",
           "#define LC_INC_WR\t0xC0\t// 数据一次写，地址加1",
           "#define LC_INC_RD\t0xC1\t// 数据一次读，地址加1",
           "#define LC_DEC_WR\t0xC2\t// 数据一次写，地址减1",
           "#define LC_DEC_RD\t0xC3\t// 数据一次读，地址减1",
           "#define LC_NOC_WR\t0xC4\t// 数据一次写，地址不变",
           "#define LC_NOC_RD\t0xC5\t// 数据一次读，地址不变",
           "#define LC_SCN_RD\t0xE0\t// 屏读",
           "#define LC_SCN_CP\t0xE8\t// 屏拷贝",
           "#define LC_BIT_OP\t0xF0\t// 位操作：D0-D2定义D0-D7位，D3=1置位，D3=0清除",
           ""});
    colourAndSize(wide ? "240" : "128", "64");
    lines({"", "//定义MCU与LCD的接口"});
    dataLines("DATAOUT", "DATABUS", "DATAIN", 22);
    h_.add("");
    pinBlocks(26);
    h_.add("");
    h_.add("#define  DATAINIT  DATABUS=0xFF");
    const std::pair<std::string_view, std::string_view> pins[] = {
        {"CS", "CE"}, {"CD", "CD"}, {"RD", "RD"}, {"WR", "WR"}, {"RES", "RES"}};
    for (auto [name, stem] : pins) {
      portMacro(std::string(name) + "_H", stem, true, "//");
      portMacro(std::string(name) + "_L", stem, false,
                name == "RD"   ? "//读模式"
                : name == "WR" ? "//写模式"
                               : "//");
    }
    lines({"", "//函数声明", "void  LCD_Init(void); /*初始化函数*/", "void  GUI_FillSCR(TCOLOR dat);",
           "void  GUI_ClearSCR(void); ",
           "unsigned char GUI_Point(unsigned int x, unsigned char y, unsigned char color);",
           "unsigned char GUI_ReadPoint(unsigned int x, unsigned char y, TCOLOR *ret);", ""});
    if (cfg_.LCD.Gui_use) guiColourMacros();
    lines({"//全局变量声明", "extern const unsigned char turnf[8];"});
  }

  void sed1335() {
    defineBlanks_ = 2;
    lines({"/*SED1335 320*240 LCD C语言驱动", "LCD引脚定义", "1、2---GND ", "3---Vcc", "4---Vadj", "5---Vee",
           "6---/WR", "7---/RD", "8---/CE", "9---A0", "10---NC", "11---/RST", "12到19 D0-D7", "20--NC*/", "",
           "/*  常量定义  */"});
    const std::vector<std::vector<std::pair<std::string_view, std::string_view>>> groups = {
        {{"SYSTEM_SET", "0x40"}, {"SLEEP_IN", "0x53"}},
        {{"DISP_ON", "0x59"},
         {"DISP_OFF", "0x58"},
         {"SCROLL", "0x44"},
         {"CSRFORM", "0x5D"},
         {"CGRAM_ADR", "0x50"},
         {"CSRDIR1", "0x4C"},
         {"CSRDIR2", "0x4D"},
         {"CSRDIR3", "0x4E"},
         {"CSRDIR4", "0x4F"},
         {"HDOT_SCR", "0x5A"},
         {"OVLAY", "0x5B"}},
        {{"CSRW", "0x46"}, {"CSRR", "0x47"}},
        {{"MWRITE", "0x42"}, {"MREAD", "0x43"}},
    };
    for (const auto& g : groups) {
      for (auto [name, value] : g) constant(name, value, 12);
      h_.add("");
    }
    if (cfg_.LCD.Gui_use) {
      lines({"/* 定义颜色数据类型(可以是数据结构) */", "#define  TCOLOR\t\t\t unsigned char ", "",
             "/* 定义LCM像素数宏 */", "#define  GUI_LCM_XMAX\t 320\t//   定义液晶x轴的像素数 *",
             "#define  GUI_LCM_YMAX\t 240\t//   定义液晶y轴的像素数 *", ""});
    }
    lines({"#define  XTAL 7372800", "", "//定义MCU与LCD的接口"});
    dataLines("DATAOUT", "DATABUS", "DATAIN", 26);
    h_.add("");
    pinBlocks(26);
    h_.add("");
    h_.add("#define  DATAINIT  DATABUS=0xFF");
    const std::pair<std::string_view, std::string_view> pins[] = {
        {"CS", "CS"}, {"A0", "A0"}, {"RD", "RD"}, {"WR", "WR"}, {"RES", "RES"}};
    for (auto [name, stem] : pins) {
      portMacro(std::string(name) + "_H", stem, true, "");
      portMacro(std::string(name) + "_L", stem, false, "");
    }
    lines({"",
           "//函数声明",
           "void LCDWriteCmd(unsigned char byte);",
           "void LCDWriteData(unsigned char byte);",
           "unsigned char LCDReadData(void);",
           "void LCD_Init(void);",
           "void ClrSCR(void);",
           "",
           "void GotoXY(unsigned char, unsigned char);",
           "void LCDWriteString(unsigned char addr_l,unsigned char addr_h,char *ptr);",
           "void LCDWriteConstString(unsigned char addr_l,unsigned char addr_h,const char *ptr);",
           "void Cursor(unsigned char cursor);",
           "void LCDDisplay_bmp(int x,unsigned char y,unsigned char length,const unsigned char *dat);",
           "",
           "void GClrSCR(void);",
           "void GClrPART(int x1, int y1, int x2, int y2);",
           "void GFullPART(int x1, int y1, int x2, int y2);",
           "void GPix(int x, int y, unsigned char stat);",
           "void GBox(int x1, int y1, int x2, int y2,int stat);",
           "void TextBox(int x, int y, int length,int stat);",
           "void GLine(int x1, int y1, int x2, int y2);",
           ""});
    if (cfg_.LCD.Gui_use) {
      lines({"unsigned char GUI_Point(unsigned int x, unsigned char y, unsigned char color);",
             "unsigned char GUI_ReadPoint(unsigned int x, unsigned char y, TCOLOR *ret);", ""});
      guiColourMacros();
    }
    lines({"//全局变量声明", "//extern const unsigned char turnf[8];"});
  }

  void pcd8544() {
    defineBlanks_ = 2;
    lines({"/*LCD3310(PCD8544) C语言驱动", "LCD引脚定义", "1---VCC ", "2---SCLK", "3---SDIN", "4---D/C",
           "5---SCE", "6---GND", "7---VOUT", "8---RES", "9---VCC", ""});
    colourAndSize("48", "84");
    lines({"", "//定义MCU与LCD的接口"});
    pinBlocks(26);
    h_.add("");
    for (std::string_view stem : {"RES", "SCE", "SDIN", "SCLK", "DC"}) {
      controlMacro("#define  ", 16, std::string(stem) + "_H", stem, true);
      controlMacro("#define  ", 16, std::string(stem) + "_L", stem, false);
    }
    lines(
        {"", "//函数声明", "void LCD_write_byte(unsigned char data, unsigned char dc);",
         "void LCD_Init(void);", "void LCD_clear(void);",
         "void LCD_write_String(unsigned char X,unsigned char Y,char *s);",
         "void LCD_write_chi(unsigned char X, unsigned char Y,unsigned char ch_with,unsigned char "
         "num,unsigned "
         "char line,unsigned char row);",
         "void LCD_move_chi(unsigned char X, unsigned char Y, unsigned char T);",
         "void LCD_write_char(unsigned char c);",
         "void LCD_draw_map(unsigned char X,unsigned char Y,unsigned char *map,unsigned char Pix_x,unsigned "
         "char Pix_y);"});
  }

  const ProjectConfig& cfg_;
  std::string model_;
  LcdFamily family_;
  bool serial_;
  int defineBlanks_ = 2;
  TextBuffer h_;
};

}  // namespace

TextBuffer lcdHeader(const ProjectConfig& cfg) {
  return LcdHeader(cfg).build();
}

std::string_view MemoLCD128x64_KS0108() {
  return moduleTemplate("memo/LCD128x64_KS0108.c");
}

std::string fillMemoCrystal(std::string_view memo, unsigned long crystalHz) {
  return fillMarks("memo template", memo, {{"crystal_hz", std::to_string(crystalHz)}});
}

void MakeLcdCode(GenContext& ctx) {
  if (ctx.status) ctx.status("正在生成LCD程序文件...");
  const ProjectConfig& c = ctx.cfg;
  const std::string& model = c.LCD.Lcd_type.text;
  if (mainc::lcdFamily(model) == LcdFamily::None) return;
  ctx.NeedDelay = true;
  // Composed first: a pin that is not a pin stops the run before any LCD file.
  TextBuffer header = lcdHeader(c);
  warnMissingPorts(ctx);
  // lcd.h declares the SED1520's font writable, so ICC keeps its 570 bytes
  // in RAM (avr-gcc puts it in flash): more than the small chips hold.
  if (auto dev = findDevice(c.mcuName()); dev && model == "LCD122x32(SED1520)" && dev->ramBytes < 1024) {
    ctx.warn("LCD: the SED1520 font takes 570 bytes of RAM under ICC (lcd.h declares it writable); " + c.mcuName() +
             " has " + std::to_string(dev->ramBytes) +
             " bytes, so the ICC project will not link (the avr-gcc build keeps the font in flash)");
  }
  TextBuffer source;
  if (model == "LCD128x64(KS0108)") {
    // The template's bus waits are counted in cycles of the project's crystal.
    source.assignText(fillMemoCrystal(MemoLCD128x64_KS0108(), crystalHz(c.crystalText(), ctx.regs.FoscMHz)));
    AddTestBanner(source, c);
    ctx.files.add("lcd.c", source);
  } else {
    AddTestBanner(source, c);
    const LcdModel* record = findLcdModel(model);
    const CharacterGeometry geometry{record->cols, record->rows, record->rowAddr};
    LcdCreateCode(model, c.LCD.Lcd_io.text, ctx.files, source, crystalHz(c.crystalText(), ctx.regs.FoscMHz),
                  record->family == LcdFamily::Character ? &geometry : nullptr);
  }
  ctx.files.add("lcd.h", header);
}

}  // namespace tamberlo
