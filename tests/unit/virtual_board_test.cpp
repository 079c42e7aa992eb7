// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual board's headless side: compiler messages, what to run, and
// the simulator's stream read back into a board.
#include "app/virtual_board.h"

#include <gtest/gtest.h>

namespace tamberlo::board {
namespace {

TEST(VirtualBoard, CompilerMessagesWithFileAndLine) {
  const char* output =
      "avr-gcc -mmcu=atmega16 -DF_CPU=7372800UL -Os -c -o main.o main.c\n"
      "main.c: In function 'main':\n"
      "main.c:42:3: error: expected ';' before '}' token\n"
      "uart.c:7: warning: \"F_CPU\" redefined\n"
      "gcc/iom16v.h:3:10: fatal error: missing.h: No such file or directory\n"
      "C:\\avr\\lcd.c:12:1: note: declared here\n"
      "main.o: In function `main':\n"
      "main.c:(.text+0x1c): undefined reference to `foo'\n"
      "make: *** [Makefile:48: main.o] Error 1\n";
  const std::vector<Diagnostic> want = {
      {"main.c", 42, 3, "error", "expected ';' before '}' token"},
      {"uart.c", 7, 0, "warning", "\"F_CPU\" redefined"},
      {"gcc/iom16v.h", 3, 10, "error", "missing.h: No such file or directory"},
      {"C:\\avr\\lcd.c", 12, 1, "note", "declared here"},
  };
  EXPECT_EQ(parseDiagnostics(output), want);
}

TEST(VirtualBoard, LaunchFromTheMakefileAndTheLcdWiring) {
  const char* makefile = "# Written by Tamberlo\r\nMCU = atmega128\r\nF_CPU = 7372800\r\nTARGET = test\r\n";
  ProjectConfig cfg;
  Launch plain = launchFor(makefile, cfg);
  EXPECT_EQ(simArguments(plain), (std::vector<std::string>{"-m", "atmega128", "-f", "7372800", "test.elf"}));

  cfg.LCD.Lcd_use = true;
  cfg.LCD.Lcd_type = {6, "LCD4004"};
  cfg.LCD.Data_io = {4, "PORTE"};
  for (auto [slot, pin] : {std::pair{0, "PF0"}, {1, "PG1"}, {2, "PF2"}, {3, "PG0"}})
    cfg.LCD.pins[slot].Text = pin;
  EXPECT_EQ(launchFor(makefile, cfg).display, "hd44780:40x4:D=E,E=F0,RW=G1,RS=F2,E2=G0");
  cfg.LCD.pins[3].Text = "";  // the second controller unwired: no picture rather than a wrong one
  EXPECT_EQ(launchFor(makefile, cfg).display, "");
  cfg.LCD.Lcd_type = {15, "LCD3310(PCD8544)"};  // needs five signals, has three
  EXPECT_EQ(launchFor(makefile, cfg).display, "");
  EXPECT_EQ(launchFor("all:\n\techo\n", cfg).chip, "");
}

// The graphic modules wired as the firmware tests wire their models: the
// signals in the order of the editor's pin slots.
TEST(VirtualBoard, GraphicLcdDescriptions) {
  struct Case {
    const char* model;
    const char* io;
    const char* want;
  };
  const Case cases[] = {
      {"LCD128x64(KS0108)", "8 线并口", "ks0108:D=B,E=C0,RW=C1,DI=C2,CS1=C3,CS2=C4,RST=C5"},
      {"LCD240x64(KS0108)", "8 线并口", "ks0108:D=B,E=C0,RW=C1,DI=C2,CS1=C3,CS2=C4,RST=C5,CS3=C6,CS4=C7"},
      {"LCD3310(PCD8544)", "串行接口", "pcd8544:RES=C0,SCE=C1,SDIN=C2,SCLK=C3,DC=C4"},
      {"LCD128x64(T6963)", "8 线并口", "t6963:128x64:D=B,CE=C0,CD=C1,RD=C2,WR=C3,RST=C4"},
      {"LCD240x64(T6963)", "8 线并口", "t6963:240x64:D=B,CE=C0,CD=C1,RD=C2,WR=C3,RST=C4"},
      {"LCD320x240(SED1335)", "8 线并口", "sed1335:D=B,CS=C0,A0=C1,RD=C2,WR=C3,RST=C4"},
      {"LCD122x32(SED1520)", "8 线并口", "sed1520:D=B,A0=C0,RW=C1,RST=C2,E1=C3,E2=C4"},
      {"LCD128x64(ST7920)", "8 线并口", "st7920:128x64:D=B,E=C0,RW=C1,RS=C2,PSB=C3,RST=C4"},
      {"LCD122x32(ST7920)", "串行接口", "st7920:122x32:SCLK=C0,SID=C1,CS=C2,PSB=C3,RST=C4"},
  };
  const char* makefile = "MCU = atmega16\nF_CPU = 8000000\n";
  for (const Case& c : cases) {
    ProjectConfig cfg;
    cfg.LCD.Lcd_use = true;
    cfg.LCD.Lcd_type.text = c.model;
    cfg.LCD.Lcd_io.text = c.io;
    cfg.LCD.Data_io = {1, "PORTB"};
    for (int i = 0; i < 8; i++) cfg.LCD.pins[size_t(i)].Text = "PC" + std::to_string(i);
    EXPECT_EQ(launchFor(makefile, cfg).display, c.want) << c.model;
    cfg.LCD.pins[4].Text = "";  // every model uses the fifth slot
    EXPECT_EQ(launchFor(makefile, cfg).display, "") << c.model;
  }
}

TEST(VirtualBoard, SimulatorBesideTheProgramOrInItsInstalledPlace) {
  EXPECT_EQ(simCandidates("/home/u/tamberlo/build/"),
            (std::vector<std::string>{"/home/u/tamberlo/build/tamberlo-sim"}));
  EXPECT_EQ(simCandidates("/usr/bin/"),
            (std::vector<std::string>{"/usr/bin/tamberlo-sim", "/usr/libexec/tamberlo/tamberlo-sim"}));
}

TEST(VirtualBoard, GraphicDotsFromTheSimulatorStream) {
  BoardState b;
  EXPECT_TRUE(b.apply("gfx 12 2"));
  EXPECT_TRUE(b.apply("pix 1 A5F0"));
  EXPECT_EQ(b.dots, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  //
                                          1, 0, 1, 0, 0, 1, 0, 1, 1, 1, 1, 1}));
  EXPECT_EQ(b.litDots(), 8);
  EXPECT_FALSE(b.apply("pix 2 FFFF"));    // below the display
  EXPECT_FALSE(b.apply("pix 0 FFF"));     // a row of the wrong length
  EXPECT_FALSE(b.apply("pix 0 FFZZ"));    // not hex
  EXPECT_FALSE(b.apply("gfx 100000 2"));  // larger than any module
  EXPECT_EQ(b.litDots(), 8);
}

TEST(VirtualBoard, MissingToolsNameTheDebianPackages) {
  EXPECT_EQ(missingToolsAdvice(true, true), "");
  EXPECT_NE(missingToolsAdvice(false, true).find("sudo apt-get install gcc-avr avr-libc binutils-avr"),
            std::string::npos);
  EXPECT_NE(missingToolsAdvice(false, false).find("binutils-avr make"), std::string::npos);
}

TEST(VirtualBoard, StateFromTheSimulatorStream) {
  BoardState b;
  for (const char* line : {"board atmega8515 atmega16 7372800", "uart 0 /dev/pts/7", "lcd 16 2",
                           "state running", "port A ddr=0xF0 out=0x50 pin=0x5F", "row 0    Welcome to   ",
                           "time 3686400", "Loaded 520 .text at address 0x0", "state crashed pc=0x01A4"})
    b.apply(line);
  EXPECT_EQ(b.chip, "atmega8515");
  EXPECT_EQ(b.uarts.at(0), "/dev/pts/7");
  EXPECT_EQ(b.ports.at('A').ddr, 0xF0);
  EXPECT_EQ(b.ports.at('A').pin, 0x5F);
  EXPECT_EQ(b.lcd, (std::vector<std::string>{"   Welcome to   ", "                "}));
  EXPECT_DOUBLE_EQ(b.seconds(), 0.5);
  EXPECT_TRUE(b.crashed());
  EXPECT_EQ(b.pc, 0x01A4u);
  EXPECT_FALSE(b.apply("row 5 beyond the display"));
  EXPECT_FALSE(b.apply("port B ddr=zz out=0 pin=0"));
}

// The description a run writes is what the board wires later, whatever the
// editor holds then: every chip, the UARTs main.c uses and the commands its
// loop answers, read back as written.
TEST(VirtualBoard, BoardDescriptionOfTheGeneratedProject) {
  ProjectConfig cfg;
  EXPECT_EQ(boardDescription(cfg), (std::vector<std::string>{"mcu ATMega16", "crystal 7.3728"}));
  cfg.UART0.Uart0_use = true;
  cfg.UART0.Rx_en = cfg.UART0.Tx_en = true;
  cfg.TWI.Twi_use = cfg.TWI.Twi_at24 = cfg.TWI.Twi_ds1307 = cfg.TWI.Twi_zlg7290 = true;
  cfg.OtherAPP.OneWire_use = cfg.OtherAPP.Ds18b20_use = true;
  cfg.OtherAPP.Ds18b20_port = {2, "PORTC"};
  cfg.OtherAPP.Ds18b20_portno = 3;
  cfg.LCD.Lcd_use = true;
  cfg.LCD.Lcd_type = {1, "LCD1602"};
  for (auto [slot, pin] : {std::pair{0, "PB0"}, {1, "PB1"}, {2, "PB2"}}) cfg.LCD.pins[slot].Text = pin;
  const std::vector<std::string> lines = boardDescription(cfg);
  EXPECT_EQ(lines, (std::vector<std::string>{"mcu ATMega16", "crystal 7.3728", "uart 0", "commands 0F 0A 0B 0C",
                                             "display hd44780:16x2:D=A,E=B0,RW=B1,RS=B2", "ds18b20 C3", "at24",
                                             "ds1307", "zlg7290"}));
  std::string file;
  for (const auto& l : lines) file += l + "\r\n";
  Launch l = launchFor("MCU = atmega16\r\nF_CPU = 7372800\r\n", ProjectConfig{});
  applyBoardDescription(file + "a line of a later version\r\n", l);
  EXPECT_EQ(l.display, "hd44780:16x2:D=A,E=B0,RW=B1,RS=B2");
  EXPECT_EQ(l.uarts, std::vector<int>{0});
  EXPECT_EQ(l.commands, (std::vector<int>{0x0F, 0x0A, 0x0B, 0x0C}));
  EXPECT_EQ(l.chips, (std::vector<std::string>{"ds18b20 C3", "at24", "ds1307", "zlg7290"}));
  l.boardFile = kBoardFile;
  EXPECT_EQ(simArguments(l), (std::vector<std::string>{"-m", "atmega16", "-f", "7372800", "-d",
                                                       "hd44780:16x2:D=A,E=B0,RW=B1,RS=B2", "-b", "gcc/board.txt",
                                                       "test.elf"}));

  // A UART that only sends answers nothing; one UART on a one-UART chip is
  // UART 0 whichever box was ticked.
  ProjectConfig quiet;
  quiet.UART1.Uart1_use = quiet.UART1.Tx_en = true;
  EXPECT_EQ(boardDescription(quiet), (std::vector<std::string>{"mcu ATMega16", "crystal 7.3728", "uart 0"}));
}

TEST(VirtualBoard, ChipsFromTheSimulatorStream) {
  BoardState b;
  for (const char* line : {"chip ds18b20 C3", "ds18b20 401", "chip at24", "eeprom 00FF99", "chip zlg7290",
                           "zlg7290 FC60DAF2669E00FE", "chip ds1307", "rtc 2026-12-09 06:45:00", "chip tea5767", "radio 88000"})
    EXPECT_TRUE(b.apply(line)) << line;
  EXPECT_TRUE(b.hasChip("ds18b20") && b.hasChip("at24") && !b.hasChip("sd2000"));
  EXPECT_EQ(b.ds18b20Raw, 401);
  EXPECT_EQ(b.eeprom, (std::vector<uint8_t>{0x00, 0xFF, 0x99}));
  EXPECT_EQ(b.rtc, "2026-12-09 06:45:00");
  EXPECT_EQ(b.radioKhz, 88000u);
  std::string digits;
  for (uint8_t d : b.digits) digits += sevenSegment(d);
  EXPECT_EQ(digits, "01234E 8");
  EXPECT_EQ(sevenSegment(0x61), '1');  // the decimal point aside
  EXPECT_EQ(sevenSegment(0x81), '?');
  EXPECT_FALSE(b.apply("eeprom 0F0"));
  EXPECT_FALSE(b.apply("zlg7290 FC"));
}

}  // namespace
}  // namespace tamberlo::board
