// SPDX-License-Identifier: GPL-3.0-or-later
// The SPI and TWI pages: register bytes and rate labels (7.3728 MHz).
#include <gtest/gtest.h>

#include "editor_test_support.h"
#include "platform/error.h"

namespace tamberlo {
namespace {

using test::StartedEditor;

TEST(SpiRegisters, BoxesDividerAndClockLabel) {
  StartedEditor e;
  const std::pair<const char*, int> boxes[] = {{"CheckBox45", 0x80}, {"CheckBox39", 0x40},
                                               {"CheckBox41", 0x20}, {"CheckBox40", 0x10},
                                               {"CheckBox43", 0x08}, {"CheckBox42", 0x04}};
  for (auto [box, bit] : boxes) {
    e->setChecked(box, true);
    EXPECT_EQ(e->shadows().SPCR, bit) << box;
    e->setChecked(box, false);
  }
  // Enable, master and divider "16".
  e->userClick("CheckBox39");
  e->userClick("CheckBox40");
  e->userSelect("ComboBox13", 1);
  EXPECT_EQ(e->shadows().SPCR, 0x51);

  const struct {
    int divider;  // item index; -1: typed text, which changes nothing but the label
    bool doubleSpeed;
    int spr, spsr;
    const char* label;
  } cases[] = {{0, false, 0, 0x00, "Clock Rate: 1843200Hz"}, {0, true, 0, 0x01, "Clock Rate: 3686400Hz"},
               {3, false, 3, 0x00, "Clock Rate: 57600Hz"},   {2, true, 2, 0x01, "Clock Rate: 230400Hz"},
               {-1, true, 2, 0x01, "Clock Rate: 230400Hz"},  {1, false, 1, 0x00, "Clock Rate: 460800Hz"}};
  for (const auto& c : cases) {
    SCOPED_TRACE("divider item " + std::to_string(c.divider));
    if (c.divider < 0)
      e->userType("ComboBox13", "8");
    else
      e->userSelect("ComboBox13", c.divider);
    e->setChecked("CheckBox44", c.doubleSpeed);
    EXPECT_EQ(e->shadows().SPCR, 0x50 | c.spr);
    EXPECT_EQ(e->shadows().SPSR, c.spsr);
    EXPECT_EQ(e->caption("Label15"), c.label);
  }
}

TEST(TwiRegisters, BitRateAndPrescaler) {
  StartedEditor e;
  const struct {
    const char* typed;
    int prescaler;  // item index; -1: typed text
    const char* shown;
    int twbr, twsr;
    const char* label;
  } cases[] = {
      {"1", 0, "1", 1, 0x00, "Rate: 409600Hz"},   {"", 0, "0", 0, 0x00, "Rate: 460800Hz"},
      {"1", 3, "1", 1, 0x03, "Rate: 51200Hz"},  // 16 + 2 x 1 x 64 = 144
      // TWBR is one byte: typed factors outside it are clamped, in the box too.
      {"-1", 0, "0", 0, 0x00, "Rate: 460800Hz"},  {"99999", 0, "255", 255, 0x00, "Rate: 14017Hz"},
      {"32", 1, "32", 32, 0x01, "Rate: 27106Hz"}, {"10", -1, "10", 10, 0x01, "Rate: 76800Hz"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("bit rate \"") + c.typed + "\"");
    e->userType("LabeledEdit4", c.typed);
    if (c.prescaler < 0)
      e->userType("ComboBox14", "8");
    else
      e->userSelect("ComboBox14", c.prescaler);
    EXPECT_EQ(e->text("LabeledEdit4"), c.shown);
    EXPECT_EQ(e->shadows().TWBR, c.twbr);
    EXPECT_EQ(e->shadows().TWSR, c.twsr);
    EXPECT_EQ(e->caption("Label17"), c.label);
  }
  EXPECT_THROW(e->userType("LabeledEdit4", "4x"), Error);
  EXPECT_EQ(e->shadows().TWBR, 10);
  EXPECT_EQ(e->caption("Label17"), "Rate: 76800Hz");
}

TEST(TwiRegisters, SlaveAddressAndGeneralCall) {
  StartedEditor e;
  const struct {
    const char* typed;
    bool generalCall;
    const char* shown;
    int twar;
  } cases[] = {{"200", false, "127", 0xFE}, {"200", true, "127", 0xFF}, {"", true, "0", 0x01},
               {"64", true, "64", 0x81},    {"1", false, "1", 0x02},    {"-5", false, "-5", 0xF6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string("address \"") + c.typed + "\"");
    e->setChecked("CheckBox49", c.generalCall);
    e->userType("LabeledEdit3", c.typed);
    EXPECT_EQ(e->text("LabeledEdit3"), c.shown);
    EXPECT_EQ(e->shadows().TWAR, c.twar);
  }
  EXPECT_THROW(e->userType("LabeledEdit3", "abc"), Error);
  EXPECT_EQ(e->shadows().TWAR, 0xF6);
}

TEST(AdcLabel, FollowsPrescalerAndCrystal) {
  StartedEditor e;
  EXPECT_EQ(e->caption("Label14"), "转换时间:  4uS");
  e->userSelect("ComboBox12", 7);
  EXPECT_EQ(e->caption("Label14"), "转换时间: 226uS");
  e->userSelect("ComboBox2", 18);
  EXPECT_EQ(e->caption("Label14"), "转换时间: 104uS");
}

}  // namespace
}  // namespace tamberlo
