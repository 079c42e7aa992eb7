// SPDX-License-Identifier: GPL-3.0-or-later
// The UART pages' boxes and the register bits they drive.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "settings/act_file.h"

namespace tamberlo {
namespace {

using test::StartedEditor;
using Reg = int RegisterShadows::*;

// Both pages, so a handler wired to the other page's names shows up.
struct Page {
  const char *baud, *size, *parity, *u2x, *stop2, *rxEn, *txEn, *multi, *rxInt, *txInt, *udre, *sync, *edge;
  Reg A, B, C, Baud, U2xDiv;
};
const Page kPages[] = {
    {"ComboBox1", "ComboBox4", "ComboBox5", "CheckBox1", "CheckBox2", "CheckBox5", "CheckBox7", "CheckBox6",
     "CheckBox9", "CheckBox11", "CheckBox8", "CheckBox21", "CheckBox4", &RegisterShadows::UCSR0A,
     &RegisterShadows::UCSR0B, &RegisterShadows::UCSR0C, &RegisterShadows::Baud0, &RegisterShadows::U2xDiv0},
    {"ComboBox6", "ComboBox7", "ComboBox8", "CheckBox13", "CheckBox12", "CheckBox14", "CheckBox16",
     "CheckBox15", "CheckBox18", "CheckBox19", "CheckBox17", "CheckBox22", "CheckBox20",
     &RegisterShadows::UCSR1A, &RegisterShadows::UCSR1B, &RegisterShadows::UCSR1C, &RegisterShadows::Baud1,
     &RegisterShadows::U2xDiv1},
};

// Each box alone from the start values (ATMega128: both C registers 0x06),
// ticked and then unticked again.
TEST(UartRegisters, TickBoxesAndSelectionBoxes) {
  for (const Page& p : kPages) {
    const struct {
      const char* box;
      Reg reg;
      int ticked;
    } boxes[] = {{p.u2x, p.A, 0x02},   {p.multi, p.A, 0x01}, {p.rxEn, p.B, 0x10}, {p.txEn, p.B, 0x08},
                 {p.rxInt, p.B, 0x80}, {p.txInt, p.B, 0x40}, {p.udre, p.B, 0x20}, {p.stop2, p.C, 0x0E},
                 {p.sync, p.C, 0x46},  {p.edge, p.C, 0x07}};
    for (const auto& b : boxes) {
      SCOPED_TRACE(b.box);
      StartedEditor e;
      e->userSelect("ComboBox3", 6);
      e->setChecked(b.box, true);  // also the locked boxes, as a settings file does
      EXPECT_EQ(e->shadows().*b.reg, b.ticked);
      e->setChecked(b.box, false);
      EXPECT_EQ(e->shadows().*b.reg, b.reg == p.C ? 0x06 : 0x00);
    }
    // Size and parity items, then typed text: the 9-bit size code; a parity
    // text off its list is refused and changes nothing.
    const struct {
      const char* box;
      int index;
      int B, C;
    } picks[] = {{p.parity, 1, 0x00, 0x16}, {p.parity, 3, 0x00, 0x36}, {p.size, 0, 0x00, 0x30},
                 {p.size, 2, 0x00, 0x34},   {p.size, -1, 0x04, 0x30},  {p.parity, -1, 0x04, 0x30},
                 {p.parity, 2, 0x04, 0x20}, {p.size, 3, 0x00, 0x26}};
    StartedEditor e;
    e->userSelect("ComboBox3", 6);
    for (const auto& s : picks) {
      SCOPED_TRACE(std::string(s.box) + " item " + std::to_string(s.index));
      if (s.index < 0 && std::string_view(s.box) == p.parity)
        EXPECT_THROW(e->userType(s.box, "9位"), Error);
      else if (s.index < 0)
        e->userType(s.box, "9位");
      else
        e->userSelect(s.box, s.index);
      EXPECT_EQ(e->shadows().*p.B, s.B);
      EXPECT_EQ(e->shadows().*p.C, s.C);
    }
  }
}

TEST(UartRegisters, BaudTextAndSpeedFactor) {
  for (const Page& p : kPages) {
    SCOPED_TRACE(p.baud);
    StartedEditor e;
    e->userSelect(p.baud, 12);
    EXPECT_EQ(e->shadows().*p.Baud, 115200);
    e->userType(p.baud, "250000");
    EXPECT_EQ(e->shadows().*p.Baud, 250000);
    try {
      e->userType(p.baud, "fast");
      ADD_FAILURE() << "no error for a baud rate that is not a number";
    } catch (const Error& err) {
      EXPECT_NE(std::string(err.what()).find("波特率：“fast”"), std::string::npos) << err.what();
    }
    EXPECT_EQ(e->shadows().*p.Baud, 250000);
    e->userClick(p.u2x);
    EXPECT_EQ(e->shadows().*p.U2xDiv, 1);
    e->userClick(p.u2x);
    EXPECT_EQ(e->shadows().*p.U2xDiv, 2);
  }
}

TEST(UartRegisters, EnableDependencies) {
  for (const Page& p : kPages) {
    SCOPED_TRACE(p.rxEn);
    StartedEditor e;
    // The RX interrupt box is usable only while the receiver is on.
    e->userClick(p.rxInt);
    EXPECT_FALSE(e->checked(p.rxInt));
    e->userClick(p.rxEn);
    e->userClick(p.rxInt);
    EXPECT_EQ(e->shadows().*p.B, 0x90);
    e->userClick(p.rxEn);
    EXPECT_EQ(e->shadows().*p.B, 0x00);
    EXPECT_FALSE(e->checked(p.rxInt));
    EXPECT_FALSE(e->enabled(p.rxInt));

    // Synchronous mode locks out multi-processor mode; the clock edge box
    // is usable only in synchronous mode.
    e->userClick(p.multi);
    e->userClick(p.edge);
    EXPECT_EQ(e->shadows().*p.C & 0x01, 0x00);
    e->userClick(p.sync);
    EXPECT_FALSE(e->enabled(p.multi));
    EXPECT_FALSE(e->checked(p.multi));
    EXPECT_EQ(e->shadows().*p.A, 0x00);
    e->userClick(p.edge);
    EXPECT_EQ(e->shadows().*p.C & 0x41, 0x41);
    e->userClick(p.sync);
    EXPECT_FALSE(e->enabled(p.edge));
    EXPECT_FALSE(e->checked(p.edge));
    EXPECT_TRUE(e->enabled(p.multi));
    EXPECT_EQ(e->shadows().*p.C & 0x41, 0x00);
  }
}

// Boxes no handler enables take a ticked state from a settings file.
TEST(UartRegisters, LoadedSettingsSetTheLockedBoxesBits) {
  StartedEditor e;
  IniFile ini(e.dir / "irq.act");
  for (const char* key : {"Uart0_use", "Rx_en", "Rx_int", "Tx_en", "Tx_int", "Data_int"}) {
    ini.writeString("UART0", key, "1");
  }
  ini.writeString("UART1", "Tx_int", "1");
  ini.writeString("SPI", "Spi_int", "1");
  ini.save();
  LoadActFile(*e, e.dir / "irq.act");
  EXPECT_EQ(e->shadows().UCSR0B, 0xF8);
  EXPECT_EQ(e->shadows().UCSR1B, 0x40);
  EXPECT_EQ(e->shadows().SPCR, 0x80);
}

struct OpenerSpy : TerminalOpener {
  std::vector<ComOpenArgs> calls;
  void ComOpenForm(const ComOpenArgs& args) override { calls.push_back(args); }
};

TEST(UartTerminal, ButtonsPassTheLineSettingsOfATickedUart) {
  StartedEditor e;
  OpenerSpy spy;
  e->setTerminalOpener(&spy);
  e->userSelect("ComboBox3", 6);
  e->userClick("Button1");
  e->userClick("Button2");
  EXPECT_TRUE(spy.calls.empty());  // neither UART ticked

  e->setChecked("UART0Check", true);
  e->userClick("Button1");
  e->userSelect("ComboBox1", 0);
  e->userSelect("ComboBox5", 1);  // "保留" counts as none
  e->userSelect("ComboBox4", 0);
  e->userClick("CheckBox2");
  e->userClick("Button1");
  e->setChecked("UART1Check", true);
  e->userSelect("ComboBox6", 14);
  e->userSelect("ComboBox8", 2);
  e->userClick("Button2");
  e->userSelect("ComboBox8", 3);
  e->userSelect("ComboBox7", 1);
  e->userClick("CheckBox12");
  e->userClick("Button2");
  const std::vector<ComOpenArgs> expected = {{nullptr, -1, 7, 0, 3, 0, 2},
                                             {nullptr, -1, 1, 0, 0, 2, 2},
                                             {nullptr, -1, 15, 2, 3, 0, 2},
                                             {nullptr, -1, 15, 1, 1, 2, 2}};
  EXPECT_EQ(spy.calls, expected);
}

}  // namespace
}  // namespace tamberlo
