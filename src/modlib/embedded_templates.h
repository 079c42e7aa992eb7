// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The C driver sources that the module code library writes, embedded at build
// time from src/modlib/templates (UTF-8, LF line ends).
#include <string_view>
#include <vector>

namespace tamberlo {

struct EmbeddedTemplate {
  std::string_view path;  // relative to the templates folder, e.g. "twi/at24cxx.c"
  std::string_view text;
};

const std::vector<EmbeddedTemplate>& embeddedTemplates();

}  // namespace tamberlo
