// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The graphics library of the KS0108, T6963 and SED1335 models: gui.h from
// the options of the GUI page, the library sources from the module library.
#include <string>
#include <vector>

#include "gen/generator.h"
#include "platform/text_buffer.h"

namespace tamberlo {

// gui.h for the GUI options of `cfg` (whether or not the GUI is ticked).
TextBuffer guiHeader(const ProjectConfig& cfg);

// The library modules a configuration needs, in the order they are written:
// "gui" first, then each module whose option is ticked, each once.
std::vector<std::string> guiModules(const ProjectConfig& cfg);

// Nothing without LCD.Gui_use; otherwise writes the modules and gui.h and
// sets NeedDelay.
void MakeGuiCode(GenContext& ctx);

}  // namespace tamberlo
