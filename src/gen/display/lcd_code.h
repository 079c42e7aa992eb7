// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The LCD driver: lcd.h carries the model's wiring and is written here; lcd.c
// comes from the module library, or from the stored KS0108 128x64 template.
#include "gen/generator.h"
#include "platform/text_buffer.h"

#include <string>
#include <string_view>

namespace tamberlo {

// lcd.h for the configured model, after checking every pin the model uses.
// Error naming the signal when a used slot holds no pin, or the data port is
// not a port; an empty buffer when the model text names no model.
TextBuffer lcdHeader(const ProjectConfig& cfg);

// The template holder MemoLCD128x64_KS0108: lcd.c of "LCD128x64(KS0108)".
std::string_view MemoLCD128x64_KS0108();
// The template's text with its "$crystal_hz$" marks (the bus waits are
// counted in cycles) replaced by the crystal in Hz.
std::string fillMemoCrystal(std::string_view memo, unsigned long crystalHz);

// Writes lcd.c (through the library or the template) and lcd.h; sets NeedDelay.
void MakeLcdCode(GenContext& ctx);

}  // namespace tamberlo
