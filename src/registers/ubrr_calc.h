// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The UART baud divisor for a crystal, a baud rate and a speed factor, with
// the texts the editor and the generated code show for it.
#include <string>

namespace tamberlo {

struct UbrrResult {
  std::string text;          // the divisor as "%2.0f" shows it: "47", " 5" (the "UBRR" box)
  int ubrr = 0;              // that text read back
  int low = 0;               // UBRR modulo 256 (truncating division)
  int high = 0;              // UBRR / 256 (truncating division); above 0x0F past 4095
  long long actualRate = 0;  // the rate the divisor gives, truncated to whole bit/s
  std::string errorText;     // (actual - wanted) in percent of wanted, "%2.3f": "0.156"
  // False when no divisor gives the rate: the rounded divisor is below 0
  // (the rate is far above what the crystal allows), or an input is not
  // above 0, or the divisor does not fit an int. The other fields then
  // hold what could be computed, and must not be printed.
  bool reachable = false;
};

// `foscMHz` is the crystal in MHz, `baud` the wanted rate in bit/s and
// `speedFactor` 2 at normal speed, 1 at double speed.
UbrrResult UbrrCalc(double foscMHz, int baud, int speedFactor);

}  // namespace tamberlo
