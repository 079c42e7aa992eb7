// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// main.c: the demonstration program that initialises every module of the run
// and answers one-byte serial commands in its main loop.
#include <string>
#include <string_view>
#include <vector>

#include "app/project_config.h"
#include "gen/generator.h"
#include "platform/text_buffer.h"

namespace tamberlo {

// The MP3Memo template holder: the mp3_play routine copied into main.c.
const std::string& MP3Memo();

// The author credit shown by the character-LCD demos. Short enough for the
// 20-column LCD2004, where it starts at column 10.
inline constexpr std::string_view DemoAuthor = "Tamberlo";

// The whole of main.c for `cfg`, as lines (no file written).
TextBuffer mainCodeLines(const ProjectConfig& cfg, bool needDelay);

// Writes main.c into the project folder.
void MakeMainCode(GenContext& ctx);

}  // namespace tamberlo
