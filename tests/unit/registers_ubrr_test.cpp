// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "registers/ubrr_calc.h"

namespace tamberlo {
namespace {

TEST(UbrrCalc, DivisorBytesActualRateAndError) {
  const struct {
    double mhz;
    int baud, factor;
    const char* text;
    int ubrr, low, high;
    long long actual;
    const char* error;
  } cases[] = {
      {7.3728, 9600, 2, "47", 47, 0x2F, 0x00, 9600, "0.000"},
      {7.3728, 9600, 1, "95", 95, 0x5F, 0x00, 9600, "0.000"},
      {16.0, 9600, 2, "103", 103, 0x67, 0x00, 9615, "0.156"},
      {8.0, 115200, 1, " 8", 8, 0x08, 0x00, 111111, "-3.549"},
      {16.0, 110, 2, "9090", 9090, 0x82, 0x23, 109, "-0.909"},  // past 4095: high byte above 0x0F
      {11.0592, 115200, 2, " 5", 5, 0x05, 0x00, 115200, "0.000"},
      {1.0, 115200, 2, " 0", 0, 0x00, 0x00, 62500, "-45.747"},  // -0.46 shows as " 0", not "-0"
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mhz) + " MHz, " + std::to_string(c.baud) + " bit/s / " +
                 std::to_string(c.factor));
    UbrrResult r = UbrrCalc(c.mhz, c.baud, c.factor);
    EXPECT_TRUE(r.reachable);
    EXPECT_EQ(r.text, c.text);
    EXPECT_EQ(r.ubrr, c.ubrr);
    EXPECT_EQ(r.low, c.low);
    EXPECT_EQ(r.high, c.high);
    EXPECT_EQ(r.actualRate, c.actual);
    EXPECT_EQ(r.errorText, c.error);
  }
}

TEST(UbrrCalc, RatesNoDivisorGivesAreRefused) {
  // -0.76 rounds to -1, which would divide by zero in the actual-rate step.
  UbrrResult r = UbrrCalc(1.0, 256000, 2);
  EXPECT_FALSE(r.reachable);
  EXPECT_EQ(r.text, "-1");
  EXPECT_FALSE(UbrrCalc(7.3728, 0, 2).reachable);
  EXPECT_FALSE(UbrrCalc(7.3728, -9600, 2).reachable);
  EXPECT_FALSE(UbrrCalc(1e12, 1, 1).reachable);  // no int holds the divisor
}

}  // namespace
}  // namespace tamberlo
