#include <gtest/gtest.h>

#include "registers/ubrr_calc.h"

namespace tamberlo {
namespace {

struct UbrrCase {
  double mhz;
  int baud;
  int factor;
  const char* text;
  int ubrr, low, high;
  long long actual;
  const char* error;
};

TEST(UbrrCalc, WorkedDivisorsBytesRatesAndErrors) {
  const UbrrCase cases[] = {
      {7.3728, 9600, 2, "47", 47, 0x2F, 0x00, 9600, "0.000"},
      {7.3728, 9600, 1, "95", 95, 0x5F, 0x00, 9600, "0.000"},     // U2X about doubles it
      {16.0, 9600, 2, "103", 103, 0x67, 0x00, 9615, "0.156"},
      {8.0, 115200, 1, " 8", 8, 0x08, 0x00, 111111, "-3.549"},   // one digit: leading blank
      {16.0, 110, 2, "9090", 9090, 0x82, 0x23, 109, "-0.909"},   // above 4095: high byte 0x23
      {11.0592, 115200, 2, " 5", 5, 0x05, 0x00, 115200, "0.000"},
      {1.0, 115200, 2, " 0", 0, 0x00, 0x00, 62500, "-45.747"},   // -0.46 rounds to 0, not "-0"
      {4.0, 19200, 2, "12", 12, 0x0C, 0x00, 19230, "0.156"},     // 12.02 rounds down
      {3.6864, 256000, 1, " 1", 1, 0x01, 0x00, 230400, "-10.000"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.mhz) + " MHz, " + std::to_string(c.baud) + " bit/s, factor " +
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

TEST(UbrrCalc, RatesNoDivisorCanGiveAreNotReachable) {
  // 1 MHz at 256000 bit/s: 1e6/16/256000 - 1 = -0.76, which rounds to -1
  // and would divide by zero in the actual-rate step.
  UbrrResult r = UbrrCalc(1.0, 256000, 2);
  EXPECT_FALSE(r.reachable);
  EXPECT_EQ(r.text, "-1");
  EXPECT_EQ(r.ubrr, -1);

  EXPECT_FALSE(UbrrCalc(7.3728, 0, 2).reachable);      // a typed 0
  EXPECT_FALSE(UbrrCalc(7.3728, -9600, 2).reachable);  // a typed negative rate
  EXPECT_FALSE(UbrrCalc(0.0, 9600, 2).reachable);
  // A divisor that no int holds (a huge typed crystal) is refused, not wrapped.
  EXPECT_FALSE(UbrrCalc(1e12, 1, 1).reachable);
}

}  // namespace
}  // namespace tamberlo
