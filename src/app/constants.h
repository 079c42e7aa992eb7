// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <string_view>

namespace tamberlo {

inline constexpr std::string_view AppVersion = "V2.1.1";
// The maker's web address: title cycle, link label, test banner and the demo
// texts. Kept short enough (with its "!") for a 16-column character LCD.
inline constexpr std::string_view MakerWebAddress = "hollowmere.com";
inline constexpr std::string_view MakerName = "Hollowmere";

}  // namespace tamberlo
