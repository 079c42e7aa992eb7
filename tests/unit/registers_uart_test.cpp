// The UART pages' boxes and the register bits they drive.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "settings/act_file.h"

namespace tamberlo {
namespace {

using test::StartedEditor;

struct PageNames {
  const char *baud, *byteLen, *parity, *u2x, *stop2, *rxEn, *txEn, *multi, *rxInt, *txInt, *udre,
      *sync, *edge;
  int RegisterShadows::*A;
  int RegisterShadows::*B;
  int RegisterShadows::*C;
  int RegisterShadows::*Baud;
  int RegisterShadows::*U2xDiv;
};

const PageNames kPages[] = {
    {"ComboBox1", "ComboBox4", "ComboBox5", "CheckBox1", "CheckBox2", "CheckBox5", "CheckBox7",
     "CheckBox6", "CheckBox9", "CheckBox11", "CheckBox8", "CheckBox21", "CheckBox4",
     &RegisterShadows::UCSR0A, &RegisterShadows::UCSR0B, &RegisterShadows::UCSR0C,
     &RegisterShadows::Baud0, &RegisterShadows::U2xDiv0},
    {"ComboBox6", "ComboBox7", "ComboBox8", "CheckBox13", "CheckBox12", "CheckBox14", "CheckBox16",
     "CheckBox15", "CheckBox18", "CheckBox19", "CheckBox17", "CheckBox22", "CheckBox20",
     &RegisterShadows::UCSR1A, &RegisterShadows::UCSR1B, &RegisterShadows::UCSR1C,
     &RegisterShadows::Baud1, &RegisterShadows::U2xDiv1},
};

TEST(UartRegisters, StartValuesFollowTheDevice) {
  StartedEditor e;
  EXPECT_EQ(e->shadows().UCSR0C, 0x86);
  EXPECT_EQ(e->shadows().UCSR1C, 0x06);
  e->userSelect("ComboBox3", 5);  // ATMega64
  EXPECT_EQ(e->shadows().UCSR0C, 0x06);
  EXPECT_EQ(e->shadows().UCSR1C, 0x06);
}

// Each box alone, from the start values, on both pages: which register
// changes and to what, then back when the box is unticked.
TEST(UartRegisters, EachTickBoxDrivesItsBit) {
  for (const PageNames& p : kPages) {
    struct Box {
      const char* name;
      int RegisterShadows::*reg;
      int ticked;  // register value with the box ticked (from A 0x00, B 0x00, C 0x06)
    };
    const Box boxes[] = {
        {p.u2x, p.A, 0x02},   {p.stop2, p.C, 0x0E}, {p.rxEn, p.B, 0x10}, {p.txEn, p.B, 0x08},
        {p.multi, p.A, 0x01}, {p.rxInt, p.B, 0x80}, {p.txInt, p.B, 0x40}, {p.udre, p.B, 0x20},
        {p.sync, p.C, 0x46},  {p.edge, p.C, 0x07},
    };
    for (const Box& b : boxes) {
      SCOPED_TRACE(b.name);
      StartedEditor e;
      e->userSelect("ComboBox3", 6);  // ATMega128: UCSR0C without the register-select bit
      int before = e->shadows().*b.reg;
      e->setChecked(b.name, true);
      EXPECT_EQ(e->shadows().*b.reg, b.ticked);
      e->setChecked(b.name, false);
      EXPECT_EQ(e->shadows().*b.reg, before);
    }
  }
}

TEST(UartRegisters, SizeAndParityBoxes) {
  struct Case {
    const char* box;  // "size" or "parity"
    int index;        // -1: typed text
    int B, C;         // from B 0x00, C 0x86 (ATMega16)
  };
  const Case cases[] = {
      {"size", 0, 0x00, 0x80}, {"size", 1, 0x00, 0x82}, {"size", 2, 0x00, 0x84},
      {"size", 3, 0x00, 0x86}, {"size", -1, 0x04, 0x80},  // typed: the 9-bit code
      {"parity", 0, 0x00, 0x86}, {"parity", 1, 0x00, 0x96}, {"parity", 2, 0x00, 0xA6},
      {"parity", 3, 0x00, 0xB6}, {"parity", -1, 0x00, 0x86},  // typed: nothing changes
  };
  for (const PageNames& p : kPages) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.box) + " " + std::to_string(c.index) + " on " + p.byteLen);
      StartedEditor e;
      const char* box = std::string(c.box) == "size" ? p.byteLen : p.parity;
      if (c.index < 0) {
        e->userType(box, "9位");
      } else {
        e->userSelect(box, c.index);
      }
      int regC = e->shadows().*p.C;
      if (p.C == &RegisterShadows::UCSR1C) regC |= 0x80;  // UCSR1C has no register-select bit
      EXPECT_EQ(e->shadows().*p.B, c.B);
      EXPECT_EQ(regC, c.C);
    }
  }
  // Typed size text after "5位" sets UCSZ2 and clears UCSZ1..0 again.
  StartedEditor e;
  e->userSelect("ComboBox5", 3);
  e->userSelect("ComboBox4", 1);
  e->userType("ComboBox4", "9");
  EXPECT_EQ(e->shadows().UCSR0B, 0x04);
  EXPECT_EQ(e->shadows().UCSR0C, 0xB0);
  e->userSelect("ComboBox4", 3);
  EXPECT_EQ(e->shadows().UCSR0B, 0x00);
  EXPECT_EQ(e->shadows().UCSR0C, 0xB6);
}

TEST(UartRegisters, BaudAndSpeedFactor) {
  for (const PageNames& p : kPages) {
    SCOPED_TRACE(p.baud);
    StartedEditor e;
    e->userSelect(p.baud, 12);
    EXPECT_EQ(e->shadows().*p.Baud, 115200);
    e->userType(p.baud, "250000");
    EXPECT_EQ(e->shadows().*p.Baud, 250000);
    // Not a number: a clear error, the previous value stays.
    try {
      e->userType(p.baud, "fast");
      ADD_FAILURE() << "no error for a baud rate that is not a number";
    } catch (const Error& err) {
      EXPECT_NE(std::string(err.what()).find("baud rate"), std::string::npos) << err.what();
      EXPECT_NE(std::string(err.what()).find("\"fast\""), std::string::npos) << err.what();
    }
    EXPECT_EQ(e->shadows().*p.Baud, 250000);

    EXPECT_EQ(e->shadows().*p.U2xDiv, 2);
    e->userClick(p.u2x);
    EXPECT_EQ(e->shadows().*p.U2xDiv, 1);
    e->userClick(p.u2x);
    EXPECT_EQ(e->shadows().*p.U2xDiv, 2);
  }
}

TEST(UartRegisters, ReceiverEnableGovernsTheRxInterruptBox) {
  for (const PageNames& p : kPages) {
    SCOPED_TRACE(p.rxEn);
    StartedEditor e;
    EXPECT_FALSE(e->enabled(p.rxInt));
    e->userClick(p.rxInt);  // disabled: nothing happens
    EXPECT_FALSE(e->checked(p.rxInt));
    e->userClick(p.rxEn);
    EXPECT_TRUE(e->enabled(p.rxInt));
    e->userClick(p.rxInt);
    EXPECT_EQ(e->shadows().*p.B, 0x90);
    // Unticking the receiver clears RXEN and RXCIE and locks the box again.
    e->userClick(p.rxEn);
    EXPECT_EQ(e->shadows().*p.B, 0x00);
    EXPECT_FALSE(e->checked(p.rxInt));
    EXPECT_FALSE(e->enabled(p.rxInt));
  }
}

TEST(UartRegisters, SynchronousModeExcludesMultiProcessorMode) {
  for (const PageNames& p : kPages) {
    SCOPED_TRACE(p.sync);
    StartedEditor e;
    EXPECT_FALSE(e->enabled(p.edge));
    EXPECT_TRUE(e->enabled(p.multi));
    e->userClick(p.multi);
    EXPECT_EQ(e->shadows().*p.A, 0x01);

    e->userClick(p.sync);
    EXPECT_TRUE(e->enabled(p.edge));
    EXPECT_FALSE(e->enabled(p.multi));
    EXPECT_FALSE(e->checked(p.multi));
    EXPECT_EQ(e->shadows().*p.A, 0x00);
    EXPECT_EQ(e->shadows().*p.C & 0x40, 0x40);
    e->userClick(p.edge);
    EXPECT_EQ(e->shadows().*p.C & 0x41, 0x41);

    e->userClick(p.sync);
    EXPECT_FALSE(e->enabled(p.edge));
    EXPECT_FALSE(e->checked(p.edge));
    EXPECT_TRUE(e->enabled(p.multi));
    EXPECT_EQ(e->shadows().*p.C & 0x41, 0x00);
  }
}

// Boxes no handler enables still take a ticked state from a settings file,
// and their handlers set the bits.
TEST(UartRegisters, LoadedSettingsTickTheLockedInterruptBoxes) {
  StartedEditor e;
  const std::string file = e.dir / "irq.act";
  {
    IniFile ini(file);
    ini.writeString("MCU", "mcutype", "6");
    ini.writeString("UART0", "Uart0_use", "1");
    ini.writeString("UART0", "Rx_en", "1");
    ini.writeString("UART0", "Rx_int", "1");
    ini.writeString("UART0", "Tx_en", "1");
    ini.writeString("UART0", "Tx_int", "1");
    ini.writeString("UART0", "Data_int", "1");
    ini.writeString("UART1", "Tx_int", "1");
    ini.writeString("UART1", "Data_int", "1");
    ini.writeString("UART1", "Synchro", "1");
    ini.writeString("UART1", "Rising", "1");
    ini.writeString("SPI", "Spi_int", "1");
    ini.save();
  }
  LoadActFile(*e, file);
  EXPECT_EQ(e->shadows().UCSR0B, 0xF8);  // RXCIE TXCIE UDRIE RXEN TXEN
  EXPECT_EQ(e->shadows().UCSR1B, 0x60);  // TXCIE UDRIE
  EXPECT_EQ(e->shadows().UCSR1C, 0x47);  // synchronous, rising edge, 8 bits
  EXPECT_EQ(e->shadows().SPCR, 0x80);    // SPIE
  EXPECT_EQ(e->shadows().UCSR0C, 0x06);  // ATMega128: no register select
}

struct OpenerSpy : TerminalOpener {
  std::vector<ComOpenArgs> calls;
  void ComOpenForm(const ComOpenArgs& args) override { calls.push_back(args); }
};

TEST(UartTerminal, ButtonsPassTheLineSettings) {
  StartedEditor e;
  OpenerSpy spy;
  e->setTerminalOpener(&spy);
  e->userSelect("ComboBox3", 6);

  // An unticked UART opens nothing.
  e->userClick("Button1");
  e->userClick("Button2");
  EXPECT_TRUE(spy.calls.empty());

  struct Case {
    int baudIndex, parityIndex, sizeIndex;
    bool stop2;
    ComOpenArgs expected;
  };
  const Case cases[] = {
      {6, 0, 3, false, {nullptr, -1, 7, 0, 3, 0, 2}},
      {0, 1, 0, true, {nullptr, -1, 1, 0, 0, 2, 2}},    // "保留" counts as no parity
      {14, 2, 2, false, {nullptr, -1, 15, 2, 2, 0, 2}},  // even
      {12, 3, 1, true, {nullptr, -1, 13, 1, 1, 2, 2}},   // odd
  };
  const struct {
    const char *use, *button, *baud, *parity, *size, *stop2;
  } uarts[] = {{"UART0Check", "Button1", "ComboBox1", "ComboBox5", "ComboBox4", "CheckBox2"},
               {"UART1Check", "Button2", "ComboBox6", "ComboBox8", "ComboBox7", "CheckBox12"}};
  for (const auto& u : uarts) {
    e->setChecked(u.use, true);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(u.button) + " baud index " + std::to_string(c.baudIndex));
      e->userSelect(u.baud, c.baudIndex);
      e->userSelect(u.parity, c.parityIndex);
      e->userSelect(u.size, c.sizeIndex);
      e->setChecked(u.stop2, c.stop2);
      spy.calls.clear();
      e->userClick(u.button);
      ASSERT_EQ(spy.calls.size(), 1u);
      EXPECT_EQ(spy.calls[0], c.expected);
    }
    e->setChecked(u.use, false);
  }
  // Without an opener (headless runs) the button does nothing.
  e->setTerminalOpener(nullptr);
  e->setChecked("UART0Check", true);
  EXPECT_NO_THROW(e->userClick("Button1"));
}

}  // namespace
}  // namespace tamberlo
