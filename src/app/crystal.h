// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The project's crystal as its text in MHz ("7.3728") becomes a number of Hz
// in one place, so the Makefile, the fuses and the drivers' waits agree.
#include <cstdint>
#include <optional>
#include <string_view>

namespace tamberlo {

// Crystal text in MHz ("7.3728", "20") -> Hz; nullopt when it is no
// positive number of MHz with at most 6 decimals.
std::optional<int64_t> crystalTextHz(std::string_view mhz);

// The same for the drivers' waits, which need some frequency: a text that
// is no crystal takes `fallbackMHz` (the calculators' value).
unsigned long crystalHz(std::string_view mhzText, double fallbackMHz);

}  // namespace tamberlo
