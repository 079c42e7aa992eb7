// The SPI and TWI pages: register bytes and the rate labels.
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "platform/error.h"

namespace tamberlo {
namespace {

using test::StartedEditor;

TEST(SpiRegisters, EachBoxDrivesItsSpcrBit) {
  const std::pair<const char*, int> boxes[] = {{"CheckBox45", 0x80}, {"CheckBox39", 0x40},
                                               {"CheckBox41", 0x20}, {"CheckBox40", 0x10},
                                               {"CheckBox43", 0x08}, {"CheckBox42", 0x04}};
  for (auto [box, bit] : boxes) {
    SCOPED_TRACE(box);
    StartedEditor e;
    e->setChecked(box, true);  // the transfer-interrupt box is locked; settings files tick it
    EXPECT_EQ(e->shadows().SPCR, bit);
    e->setChecked(box, false);
    EXPECT_EQ(e->shadows().SPCR, 0x00);
  }
}

TEST(SpiRegisters, DividerDoubleSpeedAndClockLabel) {
  struct Case {
    int dividerIndex;  // -1: typed text
    bool doubleSpeed;
    int spcr, spsr;
    const char* label;
  };
  // 7.3728 MHz throughout.
  const Case cases[] = {
      {0, false, 0x00, 0x00, "Clock Rate: 1843200Hz"},
      {0, true, 0x00, 0x01, "Clock Rate: 3686400Hz"},
      {1, false, 0x01, 0x00, "Clock Rate: 460800Hz"},
      {2, true, 0x02, 0x01, "Clock Rate: 230400Hz"},
      {3, false, 0x03, 0x00, "Clock Rate: 57600Hz"},
      {-1, false, 0x00, 0x00, "Clock Rate: 1843200Hz"},  // typed: divider stays 4
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("divider index " + std::to_string(c.dividerIndex));
    StartedEditor e;
    if (c.dividerIndex < 0) {
      e->userType("ComboBox13", "8");
    } else {
      e->userSelect("ComboBox13", c.dividerIndex);
    }
    if (c.doubleSpeed) e->userClick("CheckBox44");
    EXPECT_EQ(e->shadows().SPCR, c.spcr);
    EXPECT_EQ(e->shadows().SPSR, c.spsr);
    EXPECT_EQ(e->caption("Label15"), c.label);
  }
  // Unticking double speed goes back to the normal rate.
  StartedEditor e;
  e->userClick("CheckBox44");
  e->userClick("CheckBox44");
  EXPECT_EQ(e->shadows().SPSR, 0x00);
  EXPECT_EQ(e->shadows().SpiSpeedFactor, 1);
  EXPECT_EQ(e->caption("Label15"), "Clock Rate: 1843200Hz");
}

TEST(SpiRegisters, EnableMasterAndDivider16) {
  StartedEditor e;
  e->userClick("CheckBox39");
  e->userClick("CheckBox40");
  e->userSelect("ComboBox13", 1);
  EXPECT_EQ(e->shadows().SPCR, 0x51);
  // The divider keeps the other bits; the boxes keep the divider bits.
  e->userSelect("ComboBox13", 2);
  EXPECT_EQ(e->shadows().SPCR, 0x52);
  e->userClick("CheckBox39");
  EXPECT_EQ(e->shadows().SPCR, 0x12);
}

TEST(TwiRegisters, BitRatePrescalerAndLabel) {
  struct Case {
    const char* bitRate;  // typed into the bit-rate box
    int prescalerIndex;   // -1: typed text
    int twbr, twsr, twps;
    const char* label;
    const char* shownText;
  };
  // 7.3728 MHz throughout.
  const Case cases[] = {
      {"1", 0, 1, 0x00, 0, "Rate: 409600Hz", "1"},
      {"", 0, 0, 0x00, 0, "Rate: 460800Hz", "0"},  // emptied: becomes "0"
      {"1", 3, 1, 0x03, 3, "Rate: 51200Hz", "1"},  // 16 + 2 x 1 x 64 = 144
      {"32", 1, 32, 0x01, 1, "Rate: 27106Hz", "32"},
      {"10", 2, 10, 0x02, 2, "Rate: 21943Hz", "10"},
      {"1", -1, 1, 0x00, 0, "Rate: 409600Hz", "1"},  // typed prescaler changes nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("bit rate \"") + c.bitRate + "\", prescaler " + std::to_string(c.prescalerIndex));
    StartedEditor e;
    e->userType("LabeledEdit4", "7");  // away from the start text, so every case is a change
    e->userType("LabeledEdit4", c.bitRate);
    if (c.prescalerIndex < 0) {
      e->userType("ComboBox14", "8");
    } else {
      e->userSelect("ComboBox14", c.prescalerIndex);
    }
    EXPECT_EQ(e->text("LabeledEdit4"), c.shownText);
    EXPECT_EQ(e->shadows().TWBR, c.twbr);
    EXPECT_EQ(e->shadows().TWSR, c.twsr);
    EXPECT_EQ(e->shadows().TWPS, c.twps);
    EXPECT_EQ(e->caption("Label17"), c.label);
  }
}

TEST(TwiRegisters, BitRateThatIsNotANumber) {
  StartedEditor e;
  e->userType("LabeledEdit4", "4");
  try {
    e->userType("LabeledEdit4", "4x");
    ADD_FAILURE() << "no error for a bit rate that is not a number";
  } catch (const Error& err) {
    EXPECT_NE(std::string(err.what()).find("\"4x\""), std::string::npos) << err.what();
  }
  EXPECT_EQ(e->shadows().TWBR, 4);
  EXPECT_EQ(e->caption("Label17"), "Rate: 307200Hz");  // not refreshed
}

TEST(TwiRegisters, SlaveAddressAndGeneralCall) {
  struct Case {
    const char* typed;
    bool generalCall;
    const char* shown;
    int twar;
  };
  const Case cases[] = {
      {"200", false, "127", 0xFE}, {"200", true, "127", 0xFF}, {"127", false, "127", 0xFE},
      {"0", true, "0", 0x01},      {"", false, "0", 0x00},     {"", true, "0", 0x01},
      {"1", false, "1", 0x02},     {"64", true, "64", 0x81},   {"-5", false, "-5", 0xF6},
      {"-5", true, "-5", 0xF7},    // two's complement: address 123
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("address \"") + c.typed + "\"" + (c.generalCall ? " with general call" : ""));
    StartedEditor e;
    if (c.generalCall) e->userClick("CheckBox49");
    e->userType("LabeledEdit3", "9");
    e->userType("LabeledEdit3", c.typed);
    EXPECT_EQ(e->text("LabeledEdit3"), c.shown);
    EXPECT_EQ(e->shadows().TWAR, c.twar);
    EXPECT_EQ((e->shadows().TWAR >> 1) & 0x7F, c.typed[0] == '-' ? 123 : std::stoi(c.shown));
  }
  // General call toggles bit 0 only.
  StartedEditor e;
  e->userClick("CheckBox49");
  EXPECT_EQ(e->shadows().TWAR, 0xFF);
  e->userClick("CheckBox49");
  EXPECT_EQ(e->shadows().TWAR, 0xFE);
  // Not a number: error, TWAR stays.
  EXPECT_THROW(e->userType("LabeledEdit3", "abc"), Error);
  EXPECT_EQ(e->shadows().TWAR, 0xFE);
}

TEST(AdcLabel, PrescalerAndCrystal) {
  StartedEditor e;
  EXPECT_EQ(e->caption("Label14"), "转换时间:  4uS");
  e->userSelect("ComboBox12", 7);
  EXPECT_EQ(e->caption("Label14"), "转换时间: 226uS");  // 128 x 13 / 7.3728
  e->userSelect("ComboBox2", 18);                      // 16 MHz
  EXPECT_EQ(e->caption("Label14"), "转换时间: 104uS");
  EXPECT_EQ(e->caption("Label15"), "Clock Rate: 4000000Hz");
}

}  // namespace
}  // namespace tamberlo
