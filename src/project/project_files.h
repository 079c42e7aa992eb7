// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The compiler project descriptions written at the end of a generation run:
// the ICC option file and source list, and the GCC (Programmer's Notepad)
// project.
#include <vector>

#include "gen/generator.h"
#include "platform/text_buffer.h"

namespace tamberlo {

// The "Compiler Options" keys of test.prj, in the order they are written.
struct IccOption {
  const char* key;
  enum Kind { Text, Integer } kind;
  const char* text;  // Text: the value
  int number;        // Integer: the value
};
const std::vector<IccOption>& iccOptions();

// The lines of test.SRC for a configuration.
TextBuffer iccSourceList(const ProjectConfig& cfg, bool needDelay);

// test.prj and test.SRC; asks the GUI library for letters_lib.h when the
// SED1335 is the LCD.
void MakeIccProject(GenContext& ctx);
// test.pnproj.
void MakeGccProject(GenContext& ctx);

}  // namespace tamberlo
