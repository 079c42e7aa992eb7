// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Number formatting and parsing as the editor's labels and boxes use them.
#include <optional>
#include <string>
#include <string_view>

namespace tamberlo {

// printf-style "%<width>.<decimals>f" with halves rounded away from zero
// ("%2.0f" of 47.5 is "48", of 46.5 is "47"; of 5 is " 5").
std::string formatFixed(double value, int width, int decimals);

// A whole text (blanks around it allowed) as a decimal integer.
std::optional<int> parseInteger(std::string_view text);
// A whole text as a decimal number with "." as separator.
std::optional<double> parseDecimal(std::string_view text);

// Like parseInteger/parseDecimal, but Error with the message the window shows
// ("\"abc\" is not a valid integer value").
int toInteger(std::string_view text);
double toDecimal(std::string_view text);

// "0x" and at least two upper-case hex digits: 0x0F, 0x86, 0x123.
std::string hexByte(int value);

std::string_view trimBlanks(std::string_view text);

// A value as a message may echo it: control characters escaped (\r, \n, \t,
// \xNN), bytes that are not UTF-8 as \xNN, and a text longer than
// `maxChars` characters cut there with "…", so a message stays one readable
// line whatever the user typed or a file held.
std::string forMessage(std::string_view text, size_t maxChars = 64);
// A whole message for a message box or an error line: each line as
// forMessage gives it (up to 400 characters), line breaks kept.
std::string messageForDisplay(std::string_view message);
// forMessage in double quotes: "value".
std::string quoted(std::string_view text, size_t maxChars = 64);

// ASCII case folding, as the Windows profile functions, HTTP header names
// and file names compare: 'A'..'Z' become 'a'..'z', every other byte (GBK
// halves included) stays, so a GBK text never changes under it.
inline char foldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
std::string foldAscii(std::string_view text);
bool equalsFoldingAscii(std::string_view a, std::string_view b);

}  // namespace tamberlo
