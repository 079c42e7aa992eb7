// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Messages about what the user typed into a field, in the window's language:
// the field is named by the caption the user sees, and the typed text is
// quoted safely (control characters shown as '?', long texts cut).
#include <string>
#include <string_view>

namespace tamberlo {

// "晶振(MHz)：“abc” 不是数字". `problem` says what is wrong with the text.
std::string fieldMessage(std::string_view caption, std::string_view typed, std::string_view problem);

// The typed text as a message quotes it: at most 24 characters (UTF-8
// sequences are kept whole), control characters replaced by '?'.
std::string quotedForMessage(std::string_view typed);

}  // namespace tamberlo
