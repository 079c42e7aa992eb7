// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts typed into the editor's boxes, checked where they come in (the
// window, tamberlo-gen --type and --set, a settings file): generators print
// them into C lines and comments, so a text those lines cannot carry is
// refused before it reaches a control.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlo {

class EditorModel;

// The name a message gives a control: the caption the user sees on it or
// beside it ("UART 数据位", "晶振(MHz)", "LCD E"), else its own name.
std::string fieldCaptionOf(const EditorModel& model, std::string_view control);

// The text to put into `control`. Refused (Error naming the control by its
// caption): control characters (CR, LF, ESC, BEL, DEL, NUL ...), text that is
// not UTF-8 or has characters GBK lacks, a trailing backslash (it would join
// the next generated line to a // comment) and trigraphs such as "??/".
// The UART character size and parity boxes take only their own items, which
// a typed text is mapped onto ("8" is "8位"), and the character size also
// "9位" (9-bit characters): any other text would be printed beside register
// bits it did not set.
//
// The crystal box takes a number of MHz (an "MHz" after it is dropped), above
// 0 and below 100 MHz with at most six decimals; the MCU box and the port
// boxes take only their own items, in any letter case.
std::string acceptTypedText(const EditorModel& model, std::string_view control, std::string_view text);

// Crystals from 100 MHz up are no AVR's: refused.
inline constexpr int64_t kMaxCrystalHz = 100'000'000;

// The crystal box's text in MHz, when the box's rule takes it.
std::optional<double> crystalMHz(std::string_view text);

}  // namespace tamberlo
