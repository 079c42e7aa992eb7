// SPDX-License-Identifier: GPL-3.0-or-later
// The display parts of main.c: the start-up picture for every LCD family and
// the refresh that ends each pass of the main loop.
#include <string>
#include <vector>

#include "gen/main/main_code.h"
#include "gen/main/main_parts.h"

namespace tamberlo::mainc {
namespace {

const char* const kClear3 = "   LCD16xx_clr();                     //显示清屏";
const char* const kClear6 = "      LCD16xx_clr();                     //显示清屏";

std::string charText(int col, int row, std::string_view text) {
  return "LCD16xx_write_string(" + std::to_string(col) + "," + std::to_string(row) + ",\"" +
         std::string(text) + "\");";
}

// The greeting of a character LCD, as calls without indent. The same texts
// at the same places come back in the main loop's refresh.
std::vector<std::string> charGreeting(const Facts& f) {
  const std::string author(DemoAuthor);
  const std::string& m = f.model;
  if (m == "LCD1601") return {charText(1, 0, f.webBang)};
  if (m == "LCD1602") return {charText(3, 0, "Welcome to"), charText(1, 1, f.webBang)};
  if (m == "LCD1604") {
    return {charText(3, 0, "Welcome to"), charText(1, 1, f.webBang), charText(4, 2, author),
            charText(3, 3, "2006.09.06")};
  }
  if (m == "LCD2002") return {charText(5, 0, "Welcome to"), charText(3, 1, f.webBang)};
  if (m == "LCD2004") {
    return {charText(5, 0, "Welcome to"), charText(3, 1, f.webBang), charText(10, 2, author),
            charText(9, 3, "2006.09.06")};
  }
  if (m == "LCD3202") {
    return {charText(3, 0, "Welcome to " + f.webBang), charText(5, 1, author + "  2006.09.06")};
  }
  // LCD4004
  return {charText(7, 0, "Welcome to " + f.webBang), charText(9, 1, author + "  2006.10.20")};
}

void addAll(TextBuffer& b, int indent, const std::vector<std::string>& lines) {
  for (const auto& l : lines) addIndented(b, indent, l);
}

void characterStartup(TextBuffer& b, const Facts& f) {
  addAll(b, 3, charGreeting(f));
  if (f.model == "LCD1602") {
    auto exists = [&](std::string_view test, std::string_view line) {
      b.add("   delay_nms(500);");
      b.add(kClear3);
      b.add("   delay_nms(2);");
      b.add(test);
      b.add("   { ");
      b.add(line);
      b.add("      " + charText(1, 1, f.webBang));
      b.add("   } ");
    };
    if (f.ds1302) {
      exists("   if(DS1302_EXIST)", "      LCD16xx_write_string(1,0,\"DS1302 EXIST!\");");
    }
    if (f.ds18b20) {
      exists("   if(temp)", "      LCD16xx_write_string(2,0,\"DS18B20 EXIST!\");");
    }
  }
  b.add("   delay_nms(500);");
  b.add(kClear3);
  b.add("   delay_nms(2);");
}

const std::vector<std::string>& ks0108Border() {
  static const std::vector<std::string> loops = {
      "for(j=0;j<GUI_LCM_YMAX;j++) ", "   GUI_Point(GUI_LCM_XMAX-1,j,1);", "for(j=0;j<GUI_LCM_YMAX;j++) ",
      "   GUI_Point(0,j,1);  ",       "for(j=0;j<GUI_LCM_XMAX;j++) ",      "   GUI_Point(j,0,1);  ",
      "for(j=0;j<GUI_LCM_XMAX;j++) ", "   GUI_Point(j,GUI_LCM_YMAX-1,1); "};
  return loops;
}

const std::vector<std::string>& ks0108Rows() {
  static const std::vector<std::string> rows = {"SetRowCol(1,0);",  "disp_str(\" 液晶显示的第一行12\");",
                                                "SetRowCol(2,0);",  "disp_str(\" 液晶显示的第二行23\");",
                                                "SetRowCol(3,0);",  "disp_str(\" 液晶显示的第三行34\");",
                                                "SetRowCol(4,0);",  "disp_str(\" 液晶显示的第四行56\");",
                                                "SetRowCol(5,0); ", "disp_str(\" 液晶显示的第五行67\");"};
  return rows;
}

std::vector<std::string> st7920Rows(const Facts& f) {
  const bool fourRows = f.model == "LCD128x64(ST7920)";
  std::vector<std::string> rows = {"LCD_chinese(0x80,hanzi1);"};
  if (fourRows) rows.emplace_back("LCD_chinese(0x88,hanzi2);");
  rows.emplace_back("LCD_chinese(0x90,hanzi3);");
  if (fourRows) rows.emplace_back("LCD_chinese(0x98,hanzi4);");
  return rows;
}

// The drawing demo of the KS0108 and T6963 GUI pages.
void guiDrawing(TextBuffer& b, const Facts& f, std::string_view firstRectangle) {
  const auto& g = f.cfg.GUI;
  addIndented(b, 3, {"//GUI绘图演示"});
  addIndented(b, 3, firstRectangle);
  addIndented(b, 3,
              {"", "GUI_Rectangle(60, 5, 123, 59, 1);", "GUI_HLine(60, 13, 123, 1);",
               "GUI_RLine(68, 5, 13, 1);", "GUI_Line(60, 5, 68, 13, 1);", "GUI_Line(60, 13, 68, 5, 1);", ""});
  if (g.Ellipse_use) {
    addIndented(b, 3, {"GUI_Ellipse(10, 50, 10, 30, 1);", "GUI_EllipseFill(10, 50, 33, 53, 1);"});
  }
  if (g.Circle_use) addIndented(b, 3, {"GUI_Circle(20, 20, 15, 1);", "GUI_CircleFill(20, 40, 15, 1);"});
  if (g.Arc_use) addIndented(b, 3, {"GUI_Arc4(20, 20, 15, 3, 1);", "GUI_Arc(20, 40, 15, 12, 60, 1);"});
  if (g.Pieslice_use) addIndented(b, 3, "GUI_Pieslice(20, 30, 15, 25, 80, 1);");
}

void sed1335Drawing(TextBuffer& b, const Facts& f) {
  const auto& g = f.cfg.GUI;
  addIndented(b, 3,
              {"//GUI绘图演示", "GUI_HLine(40, 131, 230, 1);", "GUI_RLine(40, 131, 217, 1);",
               "GUI_HLine(40, 217, 230, 1);", "GUI_RLine(230, 131, 217, 1);", "",
               "GUI_Rectangle(140, 134, 227, 214, 1);", "GUI_HLine(140, 144, 227, 1);",
               "GUI_RLine(150, 134, 144, 1);", "GUI_Line(140, 134, 150, 144, 1);",
               "GUI_Line(140, 144, 150, 134, 1);", ""});
  if (g.Circle_use) addIndented(b, 3, {"GUI_Circle(65, 40, 15, 1);", "GUI_CircleFill(65, 85, 15, 1);"});
  if (g.Ellipse_use) {
    addIndented(b, 3, {"GUI_Ellipse(48, 128, 146, 166, 1);", "GUI_EllipseFill(48, 128, 176, 196, 1);"});
  }
  if (g.Arc_use) addIndented(b, 3, {"GUI_Arc4(120, 40, 15, 3, 1);", "GUI_Arc(120, 85, 15, 12, 60, 1);"});
  if (g.Pieslice_use) addIndented(b, 3, "GUI_Pieslice(170, 40, 15, 25, 80, 1);");
  addIndented(b, 3, "delay_nms(1000);");
}

// The window demo: a main window with a menu bar, a sub-menu and a message
// box. `with` is the message box width; the SED1335 variant is larger.
void windowDemo(TextBuffer& b, const Facts& f, bool sed1335, int with) {
  auto add = [&](std::string_view l) { addIndented(b, 3, l); };
  add(sed1335 ? "message.x = 60;       // 设置窗口位置和大小"
              : "message.x = 20;       // 设置窗口位置和大小");
  add(sed1335 ? "message.y = 60;" : "message.y = 10;");
  add("message.with = " + std::to_string(with) + ";");
  add("message.hight = 48;");
  add("message.title = (uint8 *)\"" + f.web + "\";       // 窗口标题");
  add("message.state = (uint8 *) 0;");
  add("");
  if (sed1335) {
    for (auto l : {"mw.x = 1;", "mw.y = 2;", "mw.with = GUI_LCM_XMAX-1;", "mw.hight = GUI_LCM_YMAX-2;"})
      add(l);
  } else {
    for (auto l : {"mw.x = 0;", "mw.y = 0;", "mw.with = GUI_LCM_XMAX;", "mw.hight = GUI_LCM_YMAX;"}) add(l);
  }
  add("mw.title = (uint8 *)\"Hollowmere BBS-----" + f.web + "\";");
  add("mw.state = \"Welcome to Hollowmere BBS!\";");
  add("");

  auto items = [&](std::string_view name, const std::vector<std::string_view>& texts) {
    add(std::string(name) + ".no=" + std::to_string(texts.size()) + ";");
    for (size_t i = 0; i < texts.size(); ++i) {
      add(std::string(name) + ".str[" + std::to_string(i) + "]=\"" + std::string(texts[i]) + "\";");
    }
  };
  add("mainmenu.win=&mw;");
  if (sed1335) {
    items("mainmenu", {"File", "Edit", "Tool", "Help", "Test", "Test", "Test"});
  } else {
    items("mainmenu", {"File", "Edit", "Tool", "Help"});
  }
  add("");
  add("smenu1.win =&mw;");
  add(sed1335 ? "smenu1.mmenu_no=5;" : "smenu1.mmenu_no=0;");
  if (sed1335) {
    items("smenu1", {"Open", "Save", "Print", "Close"});
  } else {
    items("smenu1", {"Open", "Save", "Print"});
  }
  add("smenu1.state=0;");
  add("");
  add("smenu2.win =&mw;");
  add("smenu2.mmenu_no=1;");
  if (sed1335) {
    items("smenu2", {"Undo", "Redo", "Cut", "Copy", "Paste"});
  } else {
    items("smenu2", {"Cut", "Copy", "Paste"});
  }
  add("smenu2.state=0;");
  add("");
  add("GUI_SetColor(1,0);             //设置前景色和背景色");
  add("GUI_WindowsDraw(&mw);          //显示对话框窗口");
  add("GUI_MMenuDraw(&mainmenu);      //显示主菜单");
  if (sed1335) {
    // The sub-menu goes over the message box, so it is drawn last.
    add("");
    add("DemoMessage(&message,Select);  //显示对话框");
    add("");
    add("GUI_SMenuDraw(&smenu2);        //显示子菜单");
  } else {
    add("GUI_SMenuDraw(&smenu1);        //显示子菜单");
    add("");
    add("DemoMessage(&message,Select);  //显示对话框");
  }
}

void analogueWindow(TextBuffer& b, const Facts& f) {
  auto add = [&](std::string_view l) { addIndented(b, 3, l); };
  for (auto l : {"Awin.x = 1;", "Awin.y = 2;", "Awin.with  = GUI_LCM_XMAX-1;", "Awin.hight = GUI_LCM_YMAX-2;",
                 "Awin.title = (uint8 *)\"        Hollowmere BBS \";"}) {
    add(l);
  }
  if (f.sd2000) {
    add("Awin.date = date;");
    add("Awin.time = time;");
  } else {
    add("Awin.date = (uint8 *)\"2006-10-04\";");
    add("Awin.time = (uint8 *)\"20:31:00\";");
  }
  for (auto l : {"Awin.no1 =3;", "Awin.str1[0]= \"Statmet\";", "Awin.str1[1]= \"Options\";",
                 "Awin.str1[2]= \"Systems\";", "Awin.no2 =3;", "Awin.str2[0]= \"Last\";",
                 "Awin.str2[1]= \"Next\";", "Awin.str2[2]= \"Back\";"}) {
    add(l);
  }
  add("Awin.state = (uint8 *)\"Welcome to " + f.web + " !\";");
  for (auto l : {"", "GUI_SetColor(1,0);             //设置前景色和背景色", "GUI_AAWinDraw(&Awin);",
                 "GUI_PutString(40, 70, \"Welcome to Hollowmere BBS!\");",
                 "GUI_PutString8_8(40, 90, \"Welcome to Hollowmere BBS!\");",
                 "GUI_PutString24_32(50, 110, \"012345\");", "x1=x2=10;", "y1=y2=110;",
                 "GClrPART(8, 45, 239, 225);"}) {
    add(l);
  }
}

void sed1335Panel(TextBuffer& b, const Facts& f) {
  addIndented(b, 3,
              {"GBox(4,4,254,237,1);", "GBox(258,4,317,237,1);", "GLine(4,28,254,28);", "GLine(4,53,254,53);",
               "GLine(63,4,63,53);", "GLine(127,4,127,53);", "GLine(190,4,190,53);", "GLine(4,220,254,220);",
               "", "GLine(259,53,316,53);", "GLine(259,4,316,53);", "GLine(259,53,316,4);", "",
               "TextBox(6,9,6,1);", "TextBox(20,9,6,1);", ""});
  const char* const addresses[] = {"0x52", "0x59", "0x61", "0x69", "0xCA", "0xD1", "0xD9", "0xE1"};
  for (int i = 0; i < 8; ++i) {
    addIndented(
        b, 3,
        std::string("LCDWriteString(") + addresses[i] + ",0x00,\"Test" + std::to_string(i + 1) + "\");");
  }
  addIndented(
      b, 3,
      {"", "LCDDisplay_bmp(268,55,8,A);", "LCDDisplay_bmp(276,55,8,B);", "LCDDisplay_bmp(284,55,8,C);",
       "LCDDisplay_bmp(292,55,8,X);", "LCDDisplay_bmp(300,55,8,Y);", "LCDDisplay_bmp(308,55,8,Z);", "",
       "LCDWriteString(0x5D,0x02,\"Welcome to Hollowmere BBS!\");"});
  addIndented(b, 3, "LCDWriteString(0x66,0x04,\"" + f.web + "\");");
  b.add("");
}

int messageWidth(const Facts& f) {
  return f.model.rfind("LCD240x64", 0) == 0 ? 150 : 100;
}

}  // namespace

void addLcdStartupDemo(TextBuffer& b, const Facts& f) {
  if (!f.lcd) return;
  const auto& c = f.cfg;
  switch (f.family) {
    case LcdFamily::None: return;
    case LcdFamily::Character: characterStartup(b, f); return;
    case LcdFamily::Sed1520: addIndented(b, 3, "Printf(0,0,\"" + f.web + "\");"); return;
    case LcdFamily::Ks0108:
      b.add("   LCD_clr();                     //显示清屏");
      b.add("   delay_nms(1); ");
      if (!c.LCD.Gui_use) {
        addAll(b, 3, ks0108Border());
        b.add("   delay_nms(50);");
        addAll(b, 3, ks0108Rows());
        b.add("   delay_nms(50);");
      } else {
        if (c.GUI.Test1_use) guiDrawing(b, f, "GUI_Rectangle(0, 0, GUI_LCM_XMAX-1, GUI_LCM_YMAX-1, 1);");
        if (c.GUI.Test2_use) windowDemo(b, f, false, messageWidth(f));
      }
      return;
    case LcdFamily::St7920:
      addAll(b, 3, st7920Rows(f));
      b.add("   LCD_command(0x34); ");
      b.add("   LCD_command(0x05); ");
      return;
    case LcdFamily::T6963:
      if (!c.LCD.Gui_use) return;
      b.add("//GUI绘图演示");
      b.add("   GUI_ClearSCR();");
      b.add("");
      if (c.GUI.Test1_use) guiDrawing(b, f, "GUI_Rectangle(1, 1, GUI_LCM_XMAX-2, GUI_LCM_YMAX-2, 1);");
      if (c.GUI.Test2_use) windowDemo(b, f, false, messageWidth(f));
      return;
    case LcdFamily::Sed1335:
      b.add("   ClrSCR();");
      b.add("   GClrSCR();");
      b.add("");
      if (!c.LCD.Gui_use) {
        sed1335Panel(b, f);
      } else {
        if (c.GUI.Test1_use) sed1335Drawing(b, f);
        if (c.GUI.Test2_use) windowDemo(b, f, true, 145);
        if (c.GUI.Test3_use) analogueWindow(b, f);
        b.add("");
      }
      b.add("   delay_nms(4);");
      return;
    case LcdFamily::Pcd8544:
      b.add("   LCD_clear();");
      addIndented(b, 3, "LCD_write_String(0,5,\"" + f.web + "\");      // 显示网址 ");
      b.add("   LCD_draw_map(0,2,AVR_bmp,40,24);        // 显示“AVR”位图 ");
      b.add("   LCD_draw_map(44,3,china_bmp,36,15);     // 显示”实验室“位图 ");
      b.add("   delay_nms(4);");
      return;
  }
}

void addLcdRefresh(TextBuffer& b, const Facts& f) {
  if (!f.lcd) return;
  const auto& c = f.cfg;
  auto ending = [&] {
    b.add("      delay_nms(1000);");
    b.add(kClear6);
    b.add("      delay_nms(1000);");
  };
  switch (f.family) {
    case LcdFamily::None:
    case LcdFamily::Sed1520: return;
    case LcdFamily::Character:
      if (f.model == "LCD1602") {
        if (f.ds1302 || f.ds1307) {
          // The clock text is redrawn over itself; clearing would flicker.
          b.add("      LCD16xx_write_string(0,0,\"Current time :\");");
          b.add("      LCD16xx_write_string(0,1,str1);");
          b.add("      delay_nms(500);");
          return;
        }
        if (f.ds18b20) {
          b.add("      LCD16xx_write_string(0,0,\"Current temp :\");");
          b.add("      LCD16xx_write_string(4,1,temp_buf);");
          b.add("      delay_nms(500);");
          return;
        }
      }
      addAll(b, 6, charGreeting(f));
      ending();
      return;
    case LcdFamily::Ks0108:
      if (!c.LCD.Gui_use) {
        b.add("      LCD_clr();                     //显示清屏");
        b.add("      delay_nms(1); ");
        addAll(b, 6, ks0108Rows());
        b.add("      delay_nms(1000);");
        b.add("      LCD_clr();                     //显示清屏");
        addAll(b, 6, ks0108Border());
        b.add("      delay_nms(1000);");
      } else if (c.GUI.Test1_use) {
        b.add("      GUI_Rectangle(0, 0, GUI_LCM_XMAX-1, GUI_LCM_YMAX-1, 1);");
        b.add("      delay_nms(500);");
      }
      return;
    case LcdFamily::St7920:
      b.add("      LCD_Init();");
      b.add("      delay_nms(1000);");
      addAll(b, 6, st7920Rows(f));
      b.add("      LCD_command(0x34); ");
      b.add("      LCD_command(0x05); ");
      b.add("      delay_nms(1000);");
      return;
    case LcdFamily::T6963: b.add("      delay_nms(500);"); return;
    case LcdFamily::Sed1335:
      if (!c.LCD.Gui_use) {
        // The letters scroll down the right panel; the box in the middle
        // fills half way and empties when they start again.
        addIndented(
            b, 6,
            {"LCDDisplay_bmp(268,x1,8,A);", "LCDDisplay_bmp(276,x1,8,B);", "LCDDisplay_bmp(284,x1,8,C);",
             "LCDDisplay_bmp(292,x1,8,X);", "LCDDisplay_bmp(300,x1,8,Y);", "LCDDisplay_bmp(308,x1,8,Z);",
             "x1+=2;", "if(x1==141)", "   GFullPART(100,63,148,108);", "if(x1>220)", "{", "   x1=55;",
             "   GClrPART(100,63,148,108);", "}"});
        return;
      }
      if (c.GUI.Test1_use) b.add("      delay_nms(1000);");
      if (c.GUI.Test2_use) {
        addIndented(
            b, 6,
            {"if(Select==0)", "{", "   GUI_Button_OK1(message.x+75,message.y+15);     // 选中\"OK\"按钮",
             "   GUI_Button_Cancle(message.x+75,message.y+31);  // 取消\"CANSEL\"按钮的选中状态",
             "   Select=1;", "   GUI_SMenuHide(&smenu2);", "   GUI_SMenuDraw(&smenu1);", "}", "else", "{",
             "   GUI_Button_OK(message.x+75,message.y+15);",
             "   GUI_Button_Cancle1(message.x+75,message.y+31);", "   Select=0;",
             "   GUI_SMenuHide(&smenu1);", "   GUI_SMenuDraw(&smenu2);        //显示子菜单", "}",
             "delay_nms(1000);"});
      }
      if (c.GUI.Test3_use) {
        addIndented(b, 6,
                    {"GLine(x1,y1,x2,y2); ", "x1=x2;", "y1=y2;", "x2+=1;", "if(x2>=230)", "{", "   x2=10;",
                     "   GClrPART(8, 45, 239, 225);", "   x1=10;", "   y1=110;", "}",
                     "y2=(30*sin((float)x2/5))+(20*cos((float)x2/3))+(15*cos((float)x2/2+2))+130;",
                     "delay_nms(1);", ""});
        // The clock digits belong to the analogue window's status area.
        if (f.sd2000) {
          addIndented(b, 6,
                      {"GUI_PutString(257,24,time);", "delay_nms(1);", "GUI_PutChar24_32(256,150,time[6]);",
                       "GUI_PutChar24_32(280,150,time[7]);"});
        }
      }
      return;
    case LcdFamily::Pcd8544: b.add("      LCD_move_chi(0, 0, 25);              // 汉字移动显示 "); return;
  }
}

}  // namespace tamberlo::mainc
