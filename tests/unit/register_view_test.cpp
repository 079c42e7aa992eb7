// SPDX-License-Identifier: GPL-3.0-or-later
// The register view lists, for each page, the bytes the page's generator
// writes: compared with the bytes in the generated sources themselves.
#include "registers/register_view.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>
#include <regex>

#include "editor_test_support.h"

namespace tamberlo {
namespace {

using test::StartedEditor;

// The last value each register is set to in a generated source ("UCSRB  =  0x18;").
std::map<std::string, int> writtenBytes(const std::string& path) {
  static const std::regex assignment(R"(^\s*(\w+)\s*=\s*0x([0-9A-F]{2});)");
  std::map<std::string, int> out;
  for (const std::string& line : test::readGeneratedLines(path)) {
    std::smatch m;
    if (std::regex_search(line, m, assignment)) out[m[1]] = std::stoi(m[2], nullptr, 16);
  }
  return out;
}

struct Case {
  const char* name;
  int page;
  const char* file;
  std::function<void(EditorModel&)> setup;
};

void tick(EditorModel& m, std::initializer_list<const char*> boxes) {
  for (const char* b : boxes) m.userClick(b);
}

const Case kCases[] = {
    {"m16 start", 0, "uart.c", [](EditorModel&) {}},
    {"m16 rx tx parity 2 stop", 0, "uart.c",
     [](EditorModel& m) {
       tick(m, {"UART0Check", "CheckBox5", "CheckBox9", "CheckBox7", "CheckBox2"});
       m.userSelect("ComboBox5", 3);
       m.userSelect("ComboBox4", 1);
     }},
    {"m8 16 MHz 115200 double speed", 0, "uart.c",
     [](EditorModel& m) {
       m.userSelect("ComboBox3", 0);
       m.userType("ComboBox2", "16");
       m.userSelect("ComboBox1", 12);
       tick(m, {"UART0Check", "CheckBox1", "CheckBox7"});
     }},
    {"m128 uart0 sync", 0, "uart.c",
     [](EditorModel& m) {
       m.userSelect("ComboBox3", 6);
       tick(m, {"UART0Check", "CheckBox21", "CheckBox4", "CheckBox7"});
     }},
    {"m64 uart1 110 bit/s 16 MHz", 1, "uart.c",
     [](EditorModel& m) {
       m.userSelect("ComboBox3", 5);
       m.userType("ComboBox2", "16");
       m.userSelect("ComboBox6", 0);
       tick(m, {"UART1Check", "CheckBox14", "CheckBox18", "CheckBox13"});
       m.userSelect("ComboBox8", 2);
     }},
    {"spi master", 2, "spi.c",
     [](EditorModel& m) {
       tick(m, {"SPICheck", "CheckBox39", "CheckBox40", "CheckBox43"});
       m.userSelect("ComboBox13", 2);
     }},
    {"spi slave double speed", 2, "spi.c",
     [](EditorModel& m) {
       m.userSelect("ComboBox3", 0);
       tick(m, {"SPICheck", "CheckBox39", "CheckBox45", "CheckBox41", "CheckBox44"});
     }},
    {"twi defaults", 3, "twi.c",
     [](EditorModel& m) {
       tick(m, {"TWICheck", "CheckBox47"});
     }},
    {"twi address 0x50 prescaler 16", 3, "twi.c",
     [](EditorModel& m) {
       m.userSelect("ComboBox3", 6);
       tick(m, {"TWICheck", "CheckBox47", "CheckBox48", "CheckBox49"});
       m.userType("LabeledEdit3", "80");
       m.userType("LabeledEdit4", "12");
       m.userSelect("ComboBox14", 2);
     }},
};

TEST(RegisterView, ListsTheBytesTheGeneratorWrites) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    StartedEditor e;
    c.setup(*e);
    const RegisterView view = registerViewFor(*e, c.page);
    ASSERT_FALSE(view.rows.empty());
    e->userSelectPage(c.page);
    e->run("BitBtn1Click");
    const auto written = writtenBytes(e->ProjectDir() + c.file);
    for (const RegisterRow& row : view.rows) {
      ASSERT_EQ(row.bits.size(), 8u) << row.name;
      auto it = written.find(row.name);
      ASSERT_NE(it, written.end()) << row.name << " is not written by " << c.file;
      EXPECT_EQ(row.value, it->second) << row.name;
    }
  }
}

// The baud error the view shows is the datasheet's: the rate
// fosc / (16 (UBRR + 1)), or fosc / (8 (UBRR + 1)) at double speed, against
// the wanted rate; above 2 % it is flagged.
TEST(RegisterView, BaudErrorFollowsTheDatasheet) {
  const struct {
    const char* crystal;
    int baudItem;
    bool doubleSpeed;
    bool flagged;
  } cases[] = {{"7.3728", 6, false, false}, {"16", 6, false, false},     {"8", 12, true, true},
               {"4", 12, false, true},      {"11.0592", 14, true, true}, {"1", 3, false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.crystal) + " MHz, item " + std::to_string(c.baudItem));
    StartedEditor e;
    e->userType("ComboBox2", c.crystal);
    e->userSelect("ComboBox1", c.baudItem);
    if (c.doubleSpeed) e->userClick("CheckBox1");
    const RegisterView view = registerViewFor(*e, 0);
    const int ubrr = view.rows[3].value + 256 * view.rows[4].value;
    const double fosc = std::stod(c.crystal) * 1e6;
    const double baud = std::stoi(e->text("ComboBox1"));
    const double actual = fosc / ((c.doubleSpeed ? 8 : 16) * (ubrr + 1.0));
    const double error = (actual - baud) / baud * 100;
    std::smatch m;
    std::string notes;
    for (const auto& n : view.notes) notes += n + "\n";
    ASSERT_TRUE(std::regex_search(notes, m, std::regex("误差 (-?[0-9.]+)%"))) << notes;
    // The shown rate is cut to whole bit/s, which moves the error by less than 1 bit/s.
    EXPECT_NEAR(std::stod(m[1]), error, 100.0 / baud + 0.0005) << notes;
    EXPECT_EQ(view.warning, c.flagged) << notes;
    EXPECT_EQ(notes.find("超过 2%") != std::string::npos, c.flagged) << notes;
  }
}

TEST(RegisterView, RatesAndNamesFollowTheChip) {
  StartedEditor e;
  e->userSelect("ComboBox13", 1);
  EXPECT_EQ(registerViewFor(*e, 2).notes.at(0), "SCK = fosc/16 = 460800 Hz");
  // The TWI's start value gives 409.6 kHz, above its 400 kHz: flagged.
  EXPECT_EQ(registerViewFor(*e, 3).notes.at(0), "SCL = 409600 Hz");
  EXPECT_TRUE(registerViewFor(*e, 3).warning);
  e->userType("LabeledEdit4", "10");
  EXPECT_EQ(registerViewFor(*e, 3).notes.at(0), "SCL = 204800 Hz");
  EXPECT_FALSE(registerViewFor(*e, 3).warning);
  EXPECT_EQ(registerViewFor(*e, 0).rows.at(1).name, "UCSRB");
  EXPECT_EQ(registerViewFor(*e, 0).rows.at(2).bits.at(0), "URSEL");
  e->userSelect("ComboBox3", 6);
  EXPECT_EQ(registerViewFor(*e, 0).rows.at(1).name, "UCSR0B");
  EXPECT_EQ(registerViewFor(*e, 0).rows.at(1).bits.at(3), "RXEN0");
  EXPECT_EQ(registerViewFor(*e, 1).rows.at(4).name, "UBRR1H");
  EXPECT_TRUE(registerViewFor(*e, 10).rows.empty());
}

// Hidden at the first start (the window looks as designed); the user's
// choice comes back at the next start. Nothing is written until it changes.
TEST(RegisterView, ShownStateIsRemembered) {
  StartedEditor e;
  EXPECT_FALSE(e->checked("RegisterViewCheck"));
  EXPECT_EQ(test::readBytes(e->actIniPath()).find("View"), std::string::npos);
  e->userClick("RegisterViewCheck");
  e.start();
  EXPECT_TRUE(e->checked("RegisterViewCheck"));
  e->userClick("RegisterViewCheck");
  e.start();
  EXPECT_FALSE(e->checked("RegisterViewCheck"));
}

}  // namespace
}  // namespace tamberlo
