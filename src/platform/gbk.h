// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Text inside the program is UTF-8; files on disk are GBK (the ANSI code page
// of the original target platform).
#include <optional>
#include <string>
#include <string_view>

namespace tamberlo {

// Throws Error naming the first character that GBK cannot represent.
std::string utf8ToGbk(std::string_view utf8);

// Decodes GBK leniently: a byte sequence that is not GBK becomes U+FFFD, so a
// foreign file can always be read.
std::string gbkToUtf8(std::string_view gbk);

// Decodes GBK strictly: nothing when any byte sequence is not GBK, for names
// that must mean exactly what they say (a file to look at).
std::optional<std::string> gbkToUtf8Exact(std::string_view gbk);

// True when the text is valid UTF-8.
bool isValidUtf8(std::string_view text);

}  // namespace tamberlo
