// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two comment blocks that open generated sources, and the delay module.
#include <string>
#include <string_view>

#include "gen/generator.h"
#include "platform/text_buffer.h"

namespace tamberlo {

// Appends the six source-banner lines and the device include (when the MCU
// name is a known device). `author` is the name after "//程序由".
void addSourceBanner(TextBuffer& buffer, const ProjectConfig& cfg,
                     std::string_view author = "Tamberlo");

// Inserts the ten test-banner lines and the device include at the very top.
void AddTestBanner(TextBuffer& buffer, const ProjectConfig& cfg);

// The MemoDELAY template holder: body of delay.c.
const std::string& MemoDELAY();

// delay.c (banner + MemoDELAY) and delay.h.
void MakeDelayCode(GenContext& ctx);

}  // namespace tamberlo
