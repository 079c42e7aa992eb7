// SPDX-License-Identifier: GPL-3.0-or-later
#include "registers/ubrr_calc.h"

#include <cmath>

#include "platform/text.h"

namespace tamberlo {

UbrrResult UbrrCalc(double foscMHz, int baud, int speedFactor) {
  UbrrResult r;
  if (!(foscMHz > 0) || baud <= 0 || speedFactor <= 0) return r;
  const double clock = foscMHz * 1000000.0 / 8 / speedFactor;
  // The box shows the rounded divisor and the register gets what the box
  // shows, so the text is the source of the number.
  r.text = formatFixed(clock / baud - 1, 2, 0);
  auto ubrr = parseInteger(r.text);
  if (!ubrr) return r;
  r.ubrr = *ubrr;
  r.low = r.ubrr % 256;
  r.high = r.ubrr / 256;
  // -1 would divide by zero below; nothing below 0 can be written to the
  // divisor register anyway.
  if (r.ubrr < 0) return r;
  r.actualRate = static_cast<long long>(std::trunc(clock / (r.ubrr + 1)));
  const long long deviation = (r.actualRate - baud) * 100;
  r.errorText = formatFixed(static_cast<double>(deviation) / baud, 2, 3);
  r.reachable = true;
  return r;
}

}  // namespace tamberlo
