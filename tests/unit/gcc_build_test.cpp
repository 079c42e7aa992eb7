// SPDX-License-Identifier: GPL-3.0-or-later
// The avr-gcc build of a project: interrupt glue, Makefile and who owns it.
#include "project/gcc_build.h"

#include "editor_test_support.h"
#include "modlib/modlib.h"
#include "platform/fs.h"

namespace tamberlo {
namespace {

using test::TempDir;

DeviceInfo device(const char* name) {
  return *findDevice(name);
}

std::vector<std::string> glueFor(const char* chip, const std::string& source,
                                 std::vector<std::string>& problems) {
  const std::string header = "iom" + std::string(chip).substr(6) + "v.h";
  TextBuffer text;
  text.addText(source);
  TextBuffer glue = interruptGlue(header, moduleTemplate("gcc/" + header), {{"x.c", text.lines()}}, problems);
  // The fixed head (comment and include) is not what the cases are about.
  return std::vector<std::string>(glue.lines().begin() + 5, glue.lines().end());
}

TEST(GccBuild, GlueBindsEachPragmaPairOnceToTheChipsVector) {
  struct Case {
    const char* what;
    const char* chip;
    const char* source;
    std::vector<std::string> glue;
    const char* problem;  // part of the one problem expected, or nullptr
  };
  const Case cases[] = {
      {"no pragma", "ATMega16", "void f(void) {}\n", {}, nullptr},
      {"one handler",
       "ATMega16",
       "#pragma interrupt_handler Uart_Rx_Isr:iv_USART_RX\r\nvoid Uart_Rx_Isr(void) {}\r\n",
       {"extern void Uart_Rx_Isr(void);", "ISR(__vector_11) { Uart_Rx_Isr(); }  /* iv_USART_RX, x.c */"},
       nullptr},
      {"same name on another chip",
       "ATMega32",
       "#pragma interrupt_handler Uart_Rx_Isr:iv_USART_RX\n",
       {"extern void Uart_Rx_Isr(void);", "ISR(__vector_13) { Uart_Rx_Isr(); }  /* iv_USART_RX, x.c */"},
       nullptr},
      {"two pairs in one pragma, then a comment",
       "ATMega128",
       "  #pragma interrupt_handler a:iv_USART1_RX b:iv_TWI // note\n",
       {"extern void a(void);", "ISR(__vector_30) { a(); }  /* iv_USART1_RX, x.c */", "extern void b(void);",
        "ISR(__vector_33) { b(); }  /* iv_TWI, x.c */"},
       nullptr},
      {"a vector the chip lacks",
       "ATMega8515",
       "#pragma interrupt_handler t:iv_TWI\n",
       {},
       "x.c: line 1: #pragma interrupt_handler t:iv_TWI: iom8515v.h has no vector iv_TWI"},
      {"two handlers for one vector",
       "ATMega16",
       "#pragma interrupt_handler a:iv_ADC\n#pragma interrupt_handler b:iv_ADC\n",
       {"extern void a(void);", "ISR(__vector_14) { a(); }  /* iv_ADC, x.c */"},
       "x.c: line 2: #pragma interrupt_handler b:iv_ADC: the vector is already bound to a"},
      {"a pair without a vector",
       "ATMega16",
       "#pragma interrupt_handler Isr_only\n",
       {},
       "cannot read the handler pair \"Isr_only\""},
      {"the same pair twice (header and source)",
       "ATMega16",
       "#pragma interrupt_handler a:iv_ADC\n#pragma interrupt_handler a:iv_ADC\n",
       {"extern void a(void);", "ISR(__vector_14) { a(); }  /* iv_ADC, x.c */"},
       nullptr},
      {"vectors the file binds itself",
       "ATMega16",
       "#pragma interrupt_handler t:iv_TWI u:iv_USART_RX v:iv_ADC\nISR(TWI_vect)\n{\n}\n  ISR(__vector_14, "
       "ISR_BLOCK) {}\n",
       {"/* t:iv_TWI: x.c binds __vector_17 itself */", "extern void u(void);",
        "ISR(__vector_11) { u(); }  /* iv_USART_RX, x.c */", "/* v:iv_ADC: x.c binds __vector_14 itself */"},
       nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> problems;
    EXPECT_EQ(glueFor(c.chip, c.source, problems), c.glue);
    if (!c.problem) {
      EXPECT_TRUE(problems.empty()) << problems.front();
    } else {
      ASSERT_EQ(problems.size(), 1u);
      EXPECT_NE(problems[0].find(c.problem), std::string::npos) << problems[0];
    }
  }
}

TEST(GccBuild, MakefileForTheChipCrystalAndSources) {
  TempDir dir;
  gccMakefile(device("ATMega16"), "7.3728", {"main.c", "uart.c", "delay.c"}).save(dir.path(), "Makefile");
  test::expectMatchesGolden(dir / "Makefile", "project/Makefile");
  const struct {
    const char* chip;
    const char* crystal;
    const char* lines[3];
  } cases[] = {{"ATMega8515", "1.0000", {"MCU = atmega8515", "F_CPU = 1000000", "AVRDUDE_PART = m8515"}},
               {"ATMega128", "16.0000", {"MCU = atmega128", "F_CPU = 16000000", "AVRDUDE_PART = m128"}},
               {"ATMega8", "11.0592", {"RAM_SIZE = 1024", "F_CPU = 11059200", "AVRDUDE_PART = m8"}}};
  for (const auto& c : cases) {
    auto lines = gccMakefile(device(c.chip), c.crystal, {"main.c"}).lines();
    for (const char* want : c.lines) {
      EXPECT_NE(std::find(lines.begin(), lines.end(), want), lines.end()) << c.chip << ": " << want;
    }
  }
}

TEST(GccBuild, MakefileIsReplacedOnlyWhileItIsStillOurs) {
  TempDir dir;
  const auto write = [&](const char* crystal) {
    writeGccBuild(dir.path(), device("ATMega16"), crystal, {"main.c"}, {});
    return test::readBytes(dir / "Makefile");
  };
  const std::string first = write("7.3728");
  EXPECT_TRUE(isOurUneditedMakefile(first));
  EXPECT_TRUE(test::readBytes(dir / "gcc/iom16v.h").find("#define iv_USART_RX") != std::string::npos);
  EXPECT_FALSE(test::readBytes(dir / "gcc/icc_glue.c").empty());

  const std::string second = write("16.0000");  // untouched: ours to replace
  EXPECT_NE(second.find("F_CPU = 16000000\r\n"), std::string::npos);

  const std::string edited = second + "flash: PROGRAMMER = stk500v2\r\n";
  test::writeBytes(dir / "Makefile", edited);
  EXPECT_FALSE(isOurUneditedMakefile(edited));
  EXPECT_EQ(write("1.0000"), edited);

  const std::string own = "all:\n\techo mine\n";  // no marker line at all
  test::writeBytes(dir / "Makefile", own);
  EXPECT_EQ(write("1.0000"), own);
}

// A whole run writes the build beside the specified files, for either compiler.
TEST(GccBuild, EveryRunWritesMakefileHeadersAndGlue) {
  for (int compiler : {0, 1}) {  // ICC AVR, GCC AVR
    SCOPED_TRACE(compiler);
    test::StartedEditor e;
    e->setItemIndex("ComboBox33", compiler);
    e->run("ComboBox33Change");
    e->run("BitBtn2Click");
    const std::string dir = e->ProjectDir();
    auto make = test::readGeneratedLines(dir + "Makefile");
    EXPECT_NE(std::find(make.begin(), make.end(), "SRC = main.c"), make.end());
    EXPECT_EQ(test::listFiles(dir + "gcc"),
              (std::vector<std::string>{"board.txt", "fuses.c", "icc_device.h", "icc_glue.c", "iom16v.h",
                                        "macros.h", "stdlib.h"}));
    // The board it runs on, as generated (a later session may hold other settings).
    EXPECT_EQ(test::readGeneratedLines(dir + "gcc/board.txt"),
              (std::vector<std::string>{"mcu ATMega16", "crystal 7.3728"}));
    // The ELF's fuses and "make fuses" say the same: FF D9 for 7.3728 MHz.
    auto fuses = test::readGeneratedLines(dir + "gcc/fuses.c");
    EXPECT_NE(std::find(fuses.begin(), fuses.end(), "    .low = 0xFF,"), fuses.end());
    EXPECT_NE(std::find(fuses.begin(), fuses.end(), "    .high = 0xD9,"), fuses.end());
    EXPECT_NE(std::find(make.begin(), make.end(), "LFUSE = 0xFF"), make.end());
    EXPECT_NE(std::find(make.begin(), make.end(), "HFUSE = 0xD9"), make.end());
    EXPECT_TRUE(e->warnings().empty());
  }
}

// The STA013 driver is in no ICC list, yet the Makefile builds it wherever
// the chip has the TWI it talks to; without one it stays out, warned about.
TEST(GccBuild, MakefileBuildsTheSta013DriverOnChipsWithTwi) {
  for (int chip : {1, 3}) {  // ATMega8515 (no TWI), ATMega16
    SCOPED_TRACE(chip);
    test::StartedEditor e;
    e->setItemIndex("ComboBox3", chip);
    e->run("ComboBox3Change");
    e->setChecked("MP3Check", true);
    e->userType("ComboBox29", "STA013");
    e->run("BitBtn2Click");
    const std::string dir = e->ProjectDir();
    auto make = test::readGeneratedLines(dir + "Makefile");
    const std::string src = chip == 3 ? "SRC = main.c delay.c sta013.c" : "SRC = main.c delay.c";
    EXPECT_NE(std::find(make.begin(), make.end(), src), make.end());
    EXPECT_TRUE(fileExists(dir + "sta013.c"));
    EXPECT_EQ(e->warnings().size(), chip == 3 ? 0u : 1u);
  }
}

}  // namespace
}  // namespace tamberlo
