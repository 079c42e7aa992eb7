// SPDX-License-Identifier: GPL-3.0-or-later
// uart.c and uart.h, compared whole with checked-in files, and the
// generator's effects on the editor.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "editor_test_support.h"
#include "gen/uart/uart_code.h"
#include "platform/error.h"
#include "platform/fs.h"

namespace tamberlo {
namespace {

using test::StartedEditor;
using Prepare = std::function<void(EditorModel&)>;

void tick(EditorModel& m, std::initializer_list<const char*> boxes) {
  for (const char* b : boxes) m.setChecked(b, true);
}

// The code preview of the first UART page, as the button runs it.
void preview(EditorModel& m) {
  m.userSelectPage(0);
  m.run("BitBtn1Click");
}

struct GoldenCase {
  const char* name;
  Prepare setup;
};

const GoldenCase kGoldenCases[] = {
    {"m16_rx_tx",
     [](EditorModel& m) {
       tick(m, {"UART0Check", "CheckBox5", "CheckBox7"});
     }},
    {"m16_rx_int",
     [](EditorModel& m) {
       m.userSelect("ComboBox2", 18);  // 16.0000
       m.userSelect("ComboBox1", 8);   // 19200
       m.userSelect("ComboBox5", 2);   // even parity
       m.userSelect("ComboBox4", 2);   // 7 bits
       tick(m, {"UART0Check", "CheckBox2", "CheckBox5", "CheckBox9", "CheckBox7"});
     }},
    {"m16_rs485_rx",
     [](EditorModel& m) {
       tick(m, {"UART0Check", "CheckBox5", "CheckBox7", "RS485Check0"});
       m.userSelect("ComboBox31", 3);  // PORTD
       m.userSetValue("SpinEdit2", 4);
       // UART1's pin is written whenever its box is ticked, here by a
       // settings file made for a two-UART chip.
       tick(m, {"RS485Check1"});
       m.userSelect("ComboBox32", 1);
       m.userSetValue("SpinEdit3", 1);
     }},
    {"m16_rs485_tx_only",
     [](EditorModel& m) {
       m.userSelect("ComboBox2", 11);  // 8.0000
       m.userSelect("ComboBox1", 12);  // 115200
       tick(m, {"UART0Check", "CheckBox1", "CheckBox7", "RS485Check0", "CheckBox6"});
       m.userSelect("ComboBox31", 2);  // PORTC
       m.userSetValue("SpinEdit2", 7);
     }},
    {"m16_tx_int",
     [](EditorModel& m) {
       // Only a settings file ticks these two; the loader sets them like this.
       tick(m, {"UART0Check", "CheckBox7", "CheckBox11", "CheckBox8", "CheckBox21"});
       m.userSelect("ComboBox1", 0);  // 110
     }},
    {"m128_both",
     [](EditorModel& m) {
       m.userSelect("ComboBox3", 6);   // ATMega128
       m.userSelect("ComboBox2", 14);  // 11.0592
       tick(m, {"UART0Check", "CheckBox5", "CheckBox9", "CheckBox7", "CheckBox6", "RS485Check0"});
       m.userSelect("ComboBox31", 3);  // PORTD
       m.userSetValue("SpinEdit2", 4);
       m.userSelect("ComboBox1", 12);  // 115200
       tick(m, {"UART1Check", "CheckBox22", "CheckBox20", "CheckBox14", "CheckBox16", "CheckBox17",
                "RS485Check1"});
       m.userSelect("ComboBox6", 9);   // 38400
       m.userSelect("ComboBox8", 3);   // odd parity
       m.userSelect("ComboBox32", 6);  // PORTG
       m.userSetValue("SpinEdit3", 0);
     }},
    {"m128_uart1_only",
     [](EditorModel& m) {
       m.userSelect("ComboBox3", 6);
       tick(m, {"CheckBox5", "CheckBox9"});  // UART0 unused, yet its receive buffer is declared
       tick(m, {"UART1Check", "CheckBox13", "CheckBox14", "CheckBox16"});
     }},
    {"m64_none",
     [](EditorModel& m) {
       m.userSelect("ComboBox3", 5);  // ATMega64, neither UART ticked
       tick(m, {"CheckBox14", "CheckBox18"});
     }},
};

TEST(UartCode, GoldenFiles) {
  for (const GoldenCase& c : kGoldenCases) {
    SCOPED_TRACE(c.name);
    StartedEditor e;
    c.setup(*e);
    preview(*e);
    const std::string folder = std::string("uart/") + c.name + "/";
    test::expectMatchesGolden(e->ProjectDir() + "uart.c", folder + "uart.c");
    test::expectMatchesGolden(e->ProjectDir() + "uart.h", folder + "uart.h");
    const auto lines = test::readGeneratedLines(e->ProjectDir() + "uart.c");
    EXPECT_EQ(e->previewLines(), lines);
    // Code that calls delay_nus asks for the delay module.
    EXPECT_EQ(e->NeedDelay(), std::find(lines.begin(), lines.end(), "#include \"delay.h\"") != lines.end());
    // The compiler choice changes nothing.
    const std::string bytes =
        test::readBytes(e->ProjectDir() + "uart.c") + test::readBytes(e->ProjectDir() + "uart.h");
    e->setItemIndex("ComboBox33", 1);
    e->run("ComboBox33Change");
    preview(*e);
    EXPECT_EQ(test::readBytes(e->ProjectDir() + "uart.c") + test::readBytes(e->ProjectDir() + "uart.h"),
              bytes);
  }
}

// Both boxes follow the crystal, baud rate and speed at once; the preview
// computes the same divisor for its UART, so it leaves the boxes as they are.
TEST(UartCode, DivisorGoesToTheUbrrBoxes) {
  const struct {
    Prepare setup;
    const char *box1, *box2;
    int ubrr0, ubrr1;
  } cases[] = {
      // A single-UART chip gets its section whatever the Use boxes say.
      {[](EditorModel&) {}, "47", "47", 47, 0},
      {[](EditorModel& m) {
         m.userSelect("ComboBox2", 14);
         m.userSelect("ComboBox1", 12);
       },
       " 5", "71", 5, 0},
      {[](EditorModel& m) {
         m.userSelect("ComboBox3", 6);
         m.userSelect("ComboBox2", 18);
         tick(m, {"UART1Check"});
       },
       "103", "103", 0, 103},
  };
  for (const auto& c : cases) {
    StartedEditor e;
    c.setup(*e);
    EXPECT_EQ(e->text("LabeledEdit1"), c.box1);
    EXPECT_EQ(e->text("LabeledEdit2"), c.box2);
    preview(*e);
    EXPECT_EQ(e->text("LabeledEdit1"), c.box1);
    EXPECT_EQ(e->text("LabeledEdit2"), c.box2);
    EXPECT_EQ(e->shadows().UBRR0, c.ubrr0);
    EXPECT_EQ(e->shadows().UBRR1, c.ubrr1);
  }
}

// The generator itself writes nothing: it returns the divisor for the box
// and its shadow with its files, and the run applies and writes them.
TEST(UartCode, GeneratorReturnsWhatTheRunApplies) {
  StartedEditor e;
  RegisterShadows regs = e->shadows();
  regs.UBRR0 = -1;
  bool needDelay = false;
  std::vector<std::string> shown;
  GenContext ctx{e->config(), regs, e->ProjectDir(), needDelay, shown, {}, {}, {}};
  MakeUartCode(ctx);
  EXPECT_EQ(regs.UBRR0, -1);
  ASSERT_EQ(ctx.updates.size(), 1u);
  EXPECT_EQ(ctx.updates[0].control, "LabeledEdit1");
  EXPECT_EQ(ctx.updates[0].text, "47");
  EXPECT_EQ(ctx.updates[0].shadow, &RegisterShadows::UBRR0);
  EXPECT_EQ(ctx.updates[0].value, 47);
  EXPECT_NE(ctx.files.find("uart.c"), nullptr);
  EXPECT_NE(ctx.files.find("uart.h"), nullptr);
  EXPECT_FALSE(fileExists(e->ProjectDir() + "uart.c"));
}


// A rate the crystal cannot give stops the generator before anything is
// written or shown, with a message naming the UART, the rate and the crystal.
TEST(UartCode, UnreachableRatesWriteNothing) {
  struct Case {
    Prepare setup;
    const char* message;
  };
  const Case cases[] = {
      {[](EditorModel& m) {
         m.userSelect("ComboBox2", 0);
         m.userSelect("ComboBox1", 14);
       },
       "UART: 256000 bit/s cannot be reached with a 1.0000 MHz crystal (the baud divisor would be -1); "
       "choose a lower baud rate, tick double speed or choose a faster crystal"},
      // A crystal far too fast needs the opposite remedies. The crystal box
      // refuses such a text; a caller that sets it past the box still gets
      // the generator's own check.
      {[](EditorModel& m) {
         m.setText("ComboBox2", "1000000000");
         m.shadows().FoscMHz = 1e9;
       },
       "UART: 9600 bit/s cannot be reached with a 1000000000 MHz crystal (the baud divisor 6510416666 is out of "
       "range); choose a higher baud rate, untick double speed or choose a slower crystal"},
      {[](EditorModel& m) {
         m.userSelect("ComboBox3", 6);
         m.userSelect("ComboBox2", 0);
         tick(m, {"UART0Check", "UART1Check"});
         m.userSelect("ComboBox6", 14);
       },
       "UART1: 256000 bit/s cannot be reached with a 1.0000 MHz crystal"},
      {[](EditorModel& m) { m.userType("ComboBox1", "0"); }, "UART: 0 bit/s cannot be reached"},
      {[](EditorModel& m) {
         tick(m, {"RS485Check0"});
         EXPECT_THROW(m.userType("ComboBox31", "PB"), Error);  // the box takes ports only
         m.setText("ComboBox31", "PB");
       },
       "UART: the RS485 direction pin port \"PB\" names no port"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    StartedEditor e;
    c.setup(*e);
    e->setText("LabeledEdit1", "old");
    e->previewLines() = {"old"};
    try {
      preview(*e);
      ADD_FAILURE() << "no error";
    } catch (const Error& err) {
      EXPECT_NE(std::string(err.what()).find(c.message), std::string::npos) << err.what();
    }
    EXPECT_FALSE(fileExists(e->ProjectDir() + "uart.c"));
    EXPECT_FALSE(fileExists(e->ProjectDir() + "uart.h"));
    EXPECT_EQ(e->text("LabeledEdit1"), "old");
    EXPECT_EQ(e->shadows().UBRR0, 0);
    EXPECT_EQ(e->previewLines(), std::vector<std::string>{"old"});
  }
}

std::string shellQuote(const std::string& s) {
  std::string q = "'";
  for (char ch : s) q += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
  return q + "'";
}

TEST(UartCode, TamberloGenPrintsThePreview) {
  test::TempDir dir;
  std::string cmd = shellQuote(TAMBERLO_GEN_EXE) + " --exe-dir " + shellQuote(dir.path()) + " -o " +
                    shellQuote(dir / "out") +
                    " --set UART0.Uart0_use=1 --set UART0.Rx_en=1 --set UART0.Tx_en=1 --preview 0 2>" +
                    shellQuote(dir / "stderr.txt");
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  ASSERT_NE(p, nullptr);
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
  int rc = pclose(p);
  ASSERT_TRUE(WIFEXITED(rc) && WEXITSTATUS(rc) == 0) << test::readBytes(dir / "stderr.txt");
  const auto golden =
      test::splitLines(test::readBytes(std::string(TAMBERLO_GOLDEN_DIR) + "/uart/m16_rx_tx/uart.c"));
  EXPECT_EQ(test::lineDiff(golden, test::splitLines(out)), "");
  // The preview writes its files too.
  EXPECT_EQ(test::readGeneratedLines(dir / "out/uart.c"), golden);
  EXPECT_TRUE(fileExists(dir / "out/uart.h"));
}

}  // namespace
}  // namespace tamberlo
