// SPDX-License-Identifier: GPL-3.0-or-later
// main.c from top to bottom: head and includes, globals, locals, the
// initialisation calls, the serial start-up messages, the LCD start-up demo,
// the main loop's serial commands and refreshes, and the closing braces.
#include "gen/main/main_code.h"

#include "app/constants.h"
#include "app/device_catalogue.h"
#include "gen/banners.h"
#include "gen/main/main_parts.h"

namespace tamberlo {
namespace mainc {

LcdFamily lcdFamily(std::string_view m) { return lcdFamilyOf(m); }

Facts factsOf(const ProjectConfig& c) {
  Facts f(c);
  f.uartUsed = c.UART0.Uart0_use || c.UART1.Uart1_use;
  f.twoUart = isTwoUartDevice(c.mcuName());
  const bool uart0 = f.twoUart ? c.UART0.Uart0_use : f.uartUsed;
  const bool uart1 = f.twoUart && c.UART1.Uart1_use;
  f.uart0Prints = uart0 && c.UART0.Tx_en;
  f.uart1Prints = uart1 && c.UART1.Tx_en;
  f.uart0Reads = uart0 && c.UART0.Rx_en;
  f.uart1Reads = uart1 && c.UART1.Rx_en;
  f.uart1Fallback = !f.uart0Prints;
  f.interrupts = c.UART0.Rx_int || c.UART1.Rx_int || c.SPI.Spi_int || c.TWI.Twi_int;
  f.vs1003 = c.OtherAPP.MP3_use && c.OtherAPP.MP3_chip.text == "VS1003";
  f.ch375 = c.USB.Usb_use && c.USB.Usb_chip.text == "CH375";
  f.lcd = c.LCD.Lcd_use;
  f.model = c.LCD.Lcd_type.text;
  f.family = lcdFamily(f.model);
  f.ds1302 = c.SPI.Spi_use && c.SPI.Spi_ds1302;
  f.ds1307 = c.TWI.Twi_use && c.TWI.Twi_ds1307;
  f.sd2000 = c.TWI.Twi_use && c.TWI.Twi_sd2k;
  f.ds18b20 = c.OtherAPP.OneWire_use && c.OtherAPP.Ds18b20_use;
  f.gui = f.lcd && f.family != LcdFamily::None && c.LCD.Gui_use;
  f.web = std::string(MakerWebAddress);
  f.webBang = f.web + "!";
  return f;
}

void addIndented(TextBuffer& b, int indent, std::string_view line) {
  if (line.empty() || line.substr(0, 2) == "//") {
    b.add(line);
  } else {
    b.add(std::string(indent, ' ') + std::string(line));
  }
}

void addIndented(TextBuffer& b, int indent, std::initializer_list<std::string_view> lines) {
  for (auto l : lines) addIndented(b, indent, l);
}

}  // namespace mainc

namespace {

using mainc::Facts;
using mainc::LcdFamily;

// Which serial functions a line calls: Puts/Putchar/... on a single-UART
// device, Puts0/... or Puts1/... on a two-UART one.
enum class Form { Single, Uart0, Uart1 };

std::string_view suffix(Form f) {
  return f == Form::Uart0 ? "0" : f == Form::Uart1 ? "1" : "";
}

// Fills every "$u$" of a line with the form's suffix.
std::string inForm(std::string_view line, Form f) {
  std::string out;
  for (size_t i = 0; i < line.size();) {
    if (line.substr(i, 3) == "$u$") {
      out += suffix(f);
      i += 3;
    } else {
      out += line[i++];
    }
  }
  return out;
}

// Display width of a name as the ANSI code page counts it: one byte per
// ASCII character, two per other character.
size_t ansiLength(std::string_view s) {
  size_t n = 0;
  for (unsigned char ch : s) {
    if (ch < 0x80) {
      ++n;
    } else if ((ch & 0xC0) != 0x80) {
      n += 2;
    }
  }
  return n;
}

class MainWriter {
 public:
  MainWriter(const ProjectConfig& cfg, bool needDelay)
      : c_(cfg), f_(mainc::factsOf(cfg)), needDelay_(needDelay) {}

  TextBuffer build() {
    AddTestBanner(b_, c_);
    head();
    globals();
    b_.add("//-----------------------------------------------------------");
    b_.add("//主函数");
    b_.add("//-----------------------------------------------------------");
    b_.add("void main(void)");
    b_.add("{");
    locals();
    initialisation();
    startupMessages();
    mainc::addLcdStartupDemo(b_, f_);
    b_.add("");
    b_.add("   while(1)");
    b_.add("   {");
    serialCommands();
    twiDevices();
    ds1302Clock();
    ds18b20();
    mainc::addLcdRefresh(b_, f_);
    b_.add("   }");
    b_.add("}");
    return std::move(b_);
  }

 private:
  void add(std::string_view line) { b_.add(line); }
  void add(std::initializer_list<std::string_view> lines) {
    for (auto l : lines) b_.add(l);
  }
  void add(std::initializer_list<std::string_view> lines, Form form) {
    for (auto l : lines) b_.add(inForm(l, form));
  }

  // The lines once per serial form the messages go out in: the single form,
  // or on a two-UART device UART0 when it prints and UART1 when it prints
  // and UART0 cannot. With no UART that prints, none.
  template <typename Emit>
  void inEachForm(Emit emit) {
    if (!f_.twoUart) {
      if (f_.uart0Prints) emit(Form::Single);
      return;
    }
    if (f_.uart0Prints) emit(Form::Uart0);
    if (f_.uart1Prints && f_.uart1Fallback) emit(Form::Uart1);
  }

  std::string mcuBanner(int indent, Form form) const {
    const std::string& mcu = c_.mcuName();
    std::string tail = form == Form::Single  ? "的串口测试"
                       : form == Form::Uart0 ? "的串口0 测试"
                                             : "的串口1 测试";
    if (ansiLength(mcu) % 2 == 0) tail = " " + tail;
    return std::string(indent, ' ') + "Puts" + std::string(suffix(form)) + "(\"" + mcu + tail + "\");";
  }

  // The forum banner, web address, MCU line and line end.
  void serialBanner(int indent, Form form) {
    std::string pad(indent, ' ');
    std::string s(suffix(form));
    add(pad + "Puts" + s + "(\"Hollowmere论坛RS232 通信测试程序\");");
    add(pad + "Puts" + s + "(\"" + f_.web + "\");");
    add(mcuBanner(indent, form));
    add(pad + "Putchar" + s + "(0x0d);");
    add(pad + "Putchar" + s + "(0x0a);");
  }

  void head() {
    const auto& spi = c_.SPI;
    const auto& twi = c_.TWI;
    add("#include <macros.h>");
    if (c_.USB.Usb_use || c_.OtherAPP.MP3_use) add({"#include <string.h>", "#include <stdio.h>"});
    if (f_.uartUsed) add("#include \"uart.h\"");
    if (spi.Spi_use) {
      add("#include \"spi.h\"");
      if (spi.Spi_ds1302) add("#include \"ds1302.h\"");
      if (spi.Spi_sd) add({"#include \"sd.h\"", "#include \"fat.h\""});
    }
    if (twi.Twi_use) {
      add("#include \"twi.h\"");
      if (twi.Twi_at24) add("#include \"at24cxx.h\"");
      if (twi.Twi_sd2k) add("#include \"sd2000.h\"");
      if (twi.Twi_zlg7290) add("#include \"zlg7290.h\"");
      if (twi.Twi_ds1307) {
        add({"#include \"ds1307.h\"", "#include \"stdlib.h\"", "#include \"string.h\""});
      }
      if (twi.Twi_tea5767) add("#include \"tea5767.h\"");
    }
    if (c_.Adc_use) add("#include \"adc.h\"");
    if (c_.Acp_use) add("#include \"acp.h\"");
    if (f_.lcd && f_.family != LcdFamily::None) {
      add("#include \"lcd.h\"");
      if (f_.family == LcdFamily::Sed1335) add({"#include \"math.h\"", "#include \"letters_lib.h\""});
      if (f_.family == LcdFamily::Pcd8544) add("#include \"bmp.h\"");
      if (c_.LCD.Gui_use) add("#include \"gui.h\"");
    }
    if (f_.ch375) add({"#include \"ch375.h\"", "#include \"CH375HFB.H\""});
    if (c_.OtherAPP.OneWire_use && c_.OtherAPP.Ds18b20_use) add("#include \"ds18b20.h\"");
    if (f_.vs1003) add("#include \"vs1003.h\"");
    if (needDelay_) add("#include \"delay.h\"");
    add("");
  }

  void globals() {
    const auto& u0 = c_.UART0;
    const auto& u1 = c_.UART1;
    if (f_.uartUsed) {
      // The receive interrupt fills these behind the main loop's back; as
      // plain variables an optimising compiler reads them once, before the
      // loop, and the demo never sees a received byte.
      if (!f_.twoUart) {
        if (u0.Rx_en && u0.Rx_int) add("extern volatile unsigned char rx_buff;       //串口接收中断缓冲区");
      } else {
        if (u0.Rx_en && u0.Rx_int) add("extern volatile unsigned char rx0_buff;       //串口0接收中断缓冲区");
        if (u1.Rx_en && u1.Rx_int) add("extern volatile unsigned char rx1_buff;       //串口1接收中断缓冲区");
      }
      add("");
    }
    if (f_.vs1003) {
      add({"#define PREVSONG          BIT(2)", "#define NEXTSONG          BIT(3)",
           "#define VOLDOWN           BIT(4)", "#define VOLUP             BIT(5)",
           "#define STOP              BIT(6)", "", "unsigned int  vol=0x2020;            //音量变量",
           "char  c;                             //歌曲INDEX",
           "unsigned char flag=0;                //停止按键开关量", ""});
    }
    if (f_.gui && c_.GUI.Test2_use) add({"uint8 Select=0;", ""});
    if (f_.vs1003) {
      b_.addText(MP3Memo());
      add("");
    }
  }

  void locals() {
    if (f_.uartUsed) {
      add("   unsigned char i=0;");
      // k holds UART1's byte: the loop reads into it whenever UART1
      // receives, not only when it also transmits.
      if (f_.twoUart && (c_.UART1.Tx_en || c_.UART1.Rx_en)) add("   unsigned char k=0;");
    }
    if (f_.vs1003) add({"   unsigned int  ii;", "   unsigned char t0,data,t1,t2;"});
    if (f_.ds18b20) add("   unsigned int  temp=0;");
    if (c_.TWI.Twi_use) {
      if (c_.TWI.Twi_ds1307) add("   char str1[20],str2[3];");
      if (c_.TWI.Twi_zlg7290) add("   unsigned int  n=0;");
    }
    if (f_.lcd) {
      if (f_.family == LcdFamily::Ks0108 || f_.family == LcdFamily::St7920) {
        add("   unsigned char  j=0;");
      }
      if (f_.gui && c_.GUI.Test2_use) {
        add({"   WINDOWS mw,message;", "   MMENU mainmenu;", "   SMENU smenu1,smenu2,smenu3;"});
      }
      if (f_.gui && c_.GUI.Test3_use) add({"   int x1,x2;", "   float y1,y2;", "   WIN_AA  Awin;"});
    }
    add("");
  }

  void initialisation() {
    if (f_.interrupts) add("   CLI();");
    if (f_.uartUsed) {
      if (!f_.twoUart) {
        add("   Uart_Init();");
      } else {
        // Every UART with a section is set up, whether it sends, receives
        // or works from its interrupts.
        if (c_.UART0.Uart0_use) add("   Uart0_Init();");
        if (c_.UART1.Uart1_use) add("   Uart1_Init();");
      }
    }
    if (c_.SPI.Spi_use) {
      add("   SPI_Init();");
      if (c_.SPI.Spi_ds1302) add("   DS1302_Init();");
    }
    if (f_.vs1003) add({"   VS1003_Init();", "   DDRE=0x00;                   //按键输入", ""});
    if (c_.TWI.Twi_use) {
      add("   TWI_Init();");
      if (c_.TWI.Twi_at24) add("   AT24Cxx_Init();");
      if (c_.TWI.Twi_sd2k) add("   SD2000_Init();");
      if (c_.TWI.Twi_zlg7290) add("   ZLG7290_Init();");
      if (c_.TWI.Twi_tea5767) add("   TEA5767_Init();");
    }
    if (f_.lcd) {
      if (f_.family == LcdFamily::Character) {
        add({"   LCD16xx_init();", "   LCD16xx_clr();                     //显示清屏", "   delay_nms(1); "});
      } else if (f_.family != LcdFamily::None) {
        add("   LCD_Init();");
      }
    }
    if (f_.interrupts) add("   SEI();");
  }

  void startupMessages() {
    if (f_.uartUsed) {
      if (!f_.twoUart) {
        if (f_.uart0Prints) {
          add("");
          serialBanner(3, Form::Single);
        }
      } else {
        if (f_.uart0Prints) {
          add("");
          serialBanner(3, Form::Uart0);
        }
        if (f_.uart1Prints) {
          add("");
          serialBanner(3, Form::Uart1);
        }
      }
    }
    if (c_.TWI.Twi_use && c_.TWI.Twi_at24 && f_.uartUsed) at24Prompt();
    if (f_.ds1302) {
      add({"", "   DS1302_EXIST=check_RTC();\t\t\t//检测DS1302的存在 "});
      if (f_.uartUsed) {
        // Each form carries its own if/else so that two forms stay two
        // complete statements.
        inEachForm([&](Form form) {
          add({"   if(DS1302_EXIST)", "   { ", "     Puts$u$(\"检测到DS1302 的存在，可以测试！ \");",
               "     Puts$u$(\"发送0x0E键可以初始化RTC 时间，默认为2005年10月06日23时59分50秒 星期四\");",
               "     Puts$u$(\"发送0x0D键可以读取当前时间 \");",
               "     Puts$u$(\"用户可以自行开发其他功能 \");"},
              form);
          add("     Puts" + std::string(suffix(form)) + "(\"" + f_.web + " \");");
          add({"   } ", "   else"});
          add(form == Form::Uart1 ? "     Puts1(\"未检测到DS1302的存在!\");"
                                  : inForm("     Puts$u$(\"未检测到DS1302 的存在!\");", form));
        });
      }
    }
    if (f_.ds18b20) {
      add("   temp=resetDS18B20();             //检测DS1302的存在");
      if (f_.uartUsed) {
        inEachForm([&](Form form) {
          add({"   if(temp)", "   { ", "     Puts$u$(\"检测到DS18B20 的存在，可以测试！ \");",
               "     Puts$u$(\"发送0x0C可以读取当前时间 \");",
               "     Puts$u$(\"用户可以自行开发其他功能 \");"},
              form);
          add("     Puts" + std::string(suffix(form)) + "(\"" + f_.web + " \");");
          add({"   } ", "   else", "     Puts$u$(\"未检测到DS18B20 的存在!\");"}, form);
        });
      }
    }
  }

  void at24Prompt() {
    const std::initializer_list<std::string_view> prompt = {"   Puts$u$(\"发送0x0A可以写AT24Cxx \");",
                                                            "   Puts$u$(\"发送0x0B可以读取AT24Cxx \");"};
    if (!f_.twoUart) {
      if (!f_.uart0Prints) return;
      add("");
      add(prompt, Form::Single);
      add({"   Putchar(0x0a);", "   Putchar(0x0d);"});
      return;
    }
    if (f_.uart0Prints) {
      add("");
      add(prompt, Form::Uart0);
      add({"   Putchar0(0x0d);", "   Putchar0(0x0a);"});
    }
    if (f_.uart1Prints && f_.uart1Fallback) {
      add("");
      add(prompt, Form::Uart1);
      add({"   Putchar1(0x0a);", "   Putchar1(0x0d);"});
    }
  }

  void serialCommands() {
    if (!f_.uartUsed) return;
    const auto& u0 = c_.UART0;
    const auto& u1 = c_.UART1;
    if (!f_.twoUart) {
      if (f_.uart0Reads) {
        if (u0.Rx_int) {
          takeReceived("i", "rx_buff");
        } else {
          add("      i=Getchar();");
        }
      }
      if (f_.uart0Prints) bannerCommand("i", u0.Rx_int, Form::Single);
      return;
    }
    if (f_.uart0Reads) {
      if (u0.Rx_int) {
        takeReceived("i", "rx0_buff");
      } else {
        add("      i = Getchar0();");
      }
    }
    if (f_.uart0Prints) bannerCommand("i", u0.Rx_int, Form::Uart0);
    if (f_.uart1Reads) {
      if (u1.Rx_int) {
        takeReceived("k", "rx1_buff");
      } else {
        add("      k=Getchar1();");
      }
    }
    if (f_.uart1Prints) bannerCommand("k", u1.Rx_int, Form::Uart1);
  }

  // Takes the byte the receive interrupt left. Reading and clearing happen
  // with interrupts off: a byte arriving between the two would be cleared
  // unseen.
  void takeReceived(const std::string& var, const std::string& buffer) {
    add("      CLI();");
    add("      " + var + " = " + buffer + ";");
    add("      " + buffer + " = 0;");
    add("      SEI();");
  }

  // Command 0x0F: the start-up banner again, on request.
  void bannerCommand(const std::string& var, bool rxInt, Form form) {
    add("      if (" + var + "==0x0F)    //发送0x0F开始测试");
    add("      {");
    add("         " + var + "=0;");
    if (rxInt) add("         CLI();");
    serialBanner(9, form);
    if (rxInt) add("         SEI();");
    add("      }");
  }

  void twiDevices() {
    const auto& twi = c_.TWI;
    if (!twi.Twi_use) return;
    const bool rxInt = c_.UART0.Rx_int;
    if (twi.Twi_at24 && f_.uartUsed) {
      add({"      if (i==0x0A)    //发送0x0A开始写EEPROM", "      {", "         i=0;"});
      if (rxInt) add("         CLI();");
      inEachForm([&](Form form) {
        add({"         Puts$u$(\"对EEPROM的地址0x55写入0x99,地址0x56写入0x22\");"}, form);
      });
      add({"         TWIWrite(0x55,0x99);", "         TWIWrite(0x56,0x22);"});
      if (rxInt) add("         SEI();");
      add("      }");

      // 0x99 + 0x22 reads back as 187 when both bytes arrived.
      add({"      if (i==0x0B)    //发送0x0B开始读EEPROM", "      {"});
      if (rxInt) add("         CLI();");
      inEachForm([&](Form form) {
        add({"         Puts$u$(\"读取EEPROM的值，如果是187，则测试通过\");",
             "         i=TWIRead(0x55)+TWIRead(0x56);", "         Putchar$u$(i);",
             "         Putchar$u$(0x0a);", "         Putchar$u$(0x0d);"},
            form);
      });
      if (rxInt) add("         SEI();");
      add({"         i=0;", "      }"});
    }
    if (f_.sd2000) {
      add({"      get_time_byte();", "      hour1=bcd_to_byte(g_sd2k_read_time[hour]);",
           "      time[0]=int_to_asc(hour1/10);", "      time[1]=int_to_asc(hour1%10);",
           "      minute1=bcd_to_byte(g_sd2k_read_time[minute]);", "      time[3]=int_to_asc(minute1/10);",
           "      time[4]=int_to_asc(minute1%10);", "      second1=bcd_to_byte(g_sd2k_read_time[second]);",
           "      time[6]=int_to_asc(second1/10);", "      time[7]=int_to_asc(second1%10);", ""});
    }
    if (f_.ds1307) {
      // "0" year "-" month "-" day " " hour ":" minute ":" second
      mainc::addIndented(b_, 6, {"RtcUpdateData(RTC_READ);", "RtcBCDToBin();", "strcpy(str1,\"0\");"});
      add("      ");
      mainc::addIndented(
          b_, 6,
          {"itoa(str2,g_aTimeBin[6],10);   //year", "strcat(str1,str2);", "strcat(str1,\"-\");",
           "itoa(str2,g_aTimeBin[5],10);   //month", "strcat(str1,str2);", "strcat(str1,\"-\");",
           "itoa(str2,g_aTimeBin[4],10);   //day", "strcat(str1,str2);"});
      add("      ");
      mainc::addIndented(
          b_, 6,
          {"strcat(str1,\" \");", "itoa(str2,g_aTimeBin[2],10);   //hour", "strcat(str1,str2);",
           "strcat(str1,\":\");", "itoa(str2,g_aTimeBin[1],10);   //minute", "strcat(str1,str2);",
           "strcat(str1,\":\");", "itoa(str2,g_aTimeBin[0],10);   //second", "strcat(str1,str2);"});
      add("      ");
    }
    if (twi.Twi_zlg7290) {
      add({"      DispHexValue8BIT(0,n++);\t   //16数制显示(8位)", "      delay_nms(10);"});
    }
  }

  void ds1302Clock() {
    if (!f_.ds1302) return;
    if (f_.uartUsed) {
      add({"      if (i==0x0E)        //发送0x0E开始初始化RTC", "      {", "         i=0;",
           "         DS1302_Init();", "         read_date();\t\t  //读取当前时间，解释"});
      inEachForm([&](Form form) {
        add({"         Puts$u$(\"RTC初始化...\");", "         Puts$u$(sCURDATE);\t//发送到电脑",
             "         Putchar$u$(0x0a);", "         Putchar$u$(0x0d);"},
            form);
      });
      add("      }");
      add({"      if (i==0x0D)        //发送0x0D读取RTC", "      {", "         i=0;",
           "         read_date();\t\t  //读取当前时间，解释"});
      inEachForm([&](Form form) {
        add({"         Puts$u$(\"读取当前时间...\");", "         Puts$u$(sCURDATE);\t//发送到电脑",
             "         Putchar$u$(0x0a);", "         Putchar$u$(0x0d);"},
            form);
      });
      add("      }");
    }
    if (f_.lcd) add("      read_date1();\t\t  //读取当前时间，解释");
  }

  void ds18b20() {
    if (!f_.ds18b20) return;
    if (f_.uartUsed) {
      add({"      if (i==0x0C)             //发送0x0C读取温度", "      {", "         i=0;"});
      inEachForm([&](Form form) {
        add({"         Putstr$u$(\"当前环境温度为：\");", "         temp=readTempDS18B20();",
             "         Puts$u$(long2str(temp));"},
            form);
      });
      add("      }");
    }
    if (f_.lcd) add("      Read_Temp();");
  }

  const ProjectConfig& c_;
  Facts f_;
  bool needDelay_;
  TextBuffer b_;
};

}  // namespace

TextBuffer mainCodeLines(const ProjectConfig& cfg, bool needDelay) {
  return MainWriter(cfg, needDelay).build();
}

void MakeMainCode(GenContext& ctx) {
  // The player's keys sit on PE2..PE6.
  if (mainc::factsOf(ctx.cfg).vs1003 && portPinCount(ctx.cfg.mcuName(), 'E') < 7) {
    ctx.warn("MP3 (VS1003): the demo reads its five keys on PE2..PE6, which the " + ctx.cfg.mcuName() +
             " does not have, so main.c will not build");
  }
  TextBuffer main = mainCodeLines(ctx.cfg, ctx.NeedDelay);
  mainc::warnRamUse(ctx, main.lines());
  mainc::warnFlashUse(ctx, main.lines());
  ctx.files.add("main.c", main);
}

}  // namespace tamberlo
