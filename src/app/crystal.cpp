// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/crystal.h"

namespace tamberlo {

std::optional<int64_t> crystalTextHz(std::string_view mhz) {
  size_t dot = mhz.find('.');
  std::string_view whole = mhz.substr(0, dot);
  std::string_view frac = dot == std::string_view::npos ? std::string_view() : mhz.substr(dot + 1);
  auto digits = [](std::string_view s) {
    for (char c : s) {
      if (c < '0' || c > '9') return false;
    }
    return true;
  };
  if (whole.empty() || whole.size() > 8 || !digits(whole) || frac.size() > 6 || !digits(frac))
    return std::nullopt;
  int64_t hz = 0;
  for (char c : whole) hz = hz * 10 + (c - '0');
  for (size_t i = 0; i < 6; ++i) hz = hz * 10 + (i < frac.size() ? frac[i] - '0' : 0);
  if (hz <= 0) return std::nullopt;
  return hz;
}

unsigned long crystalHz(std::string_view mhzText, double fallbackMHz) {
  if (const auto hz = crystalTextHz(mhzText)) return static_cast<unsigned long>(*hz);
  return static_cast<unsigned long>(fallbackMHz * 1000000.0 + 0.5);
}

}  // namespace tamberlo
