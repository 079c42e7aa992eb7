#include "app/field_message.h"

namespace tamberlo {

std::string quotedForMessage(std::string_view typed) {
  constexpr int kMaxChars = 24;
  std::string out = "“";
  int chars = 0;
  for (size_t i = 0; i < typed.size();) {
    const auto lead = static_cast<unsigned char>(typed[i]);
    size_t len = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (i + len > typed.size()) len = 1;
    if (chars == kMaxChars) {
      out += "…";
      break;
    }
    if (lead < 0x20 || lead == 0x7F || (len == 1 && lead >= 0x80)) {
      out += '?';
    } else {
      out.append(typed.substr(i, len));
    }
    i += len;
    ++chars;
  }
  return out + "”";
}

std::string fieldMessage(std::string_view caption, std::string_view typed, std::string_view problem) {
  return std::string(caption) + "：" + quotedForMessage(typed) + " " + std::string(problem);
}

}  // namespace tamberlo
