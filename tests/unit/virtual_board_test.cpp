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
  cfg.LCD.Lcd_type = {15, "LCD3310(PCD8544)"};
  EXPECT_EQ(launchFor(makefile, cfg).display, "");
  EXPECT_EQ(launchFor("all:\n\techo\n", cfg).chip, "");
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

}  // namespace
}  // namespace tamberlo::board
