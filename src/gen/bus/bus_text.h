// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Small formatting rules shared by the bus generators' headers.
#include <string>
#include <string_view>

namespace tamberlo::bus {

// "//" and 59 dashes: the rule that frames titles in generated C.
inline constexpr std::string_view Separator = "//-----------------------------------------------------------";

// `text` followed by blanks up to `width` characters (never cut).
std::string padRight(std::string_view text, size_t width);

// "#define NAME<tabs>VALUE": tabs (4 columns wide) up to `column`, or a
// single blank when the name already reaches it.
std::string tabbedDefine(std::string_view name, std::string_view value, size_t column);

}  // namespace tamberlo::bus
