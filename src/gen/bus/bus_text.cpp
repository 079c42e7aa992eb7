// SPDX-License-Identifier: GPL-3.0-or-later
#include "gen/bus/bus_text.h"

namespace tamberlo::bus {

std::string padRight(std::string_view text, size_t width) {
  std::string out(text);
  if (out.size() < width) out.append(width - out.size(), ' ');
  return out;
}

std::string tabbedDefine(std::string_view name, std::string_view value, size_t column) {
  std::string out = "#define " + std::string(name);
  size_t at = out.size();
  if (at >= column) {
    out += ' ';
  } else {
    while (at < column) {
      out += '\t';
      at = (at / 4 + 1) * 4;
    }
  }
  return out + std::string(value);
}

}  // namespace tamberlo::bus
