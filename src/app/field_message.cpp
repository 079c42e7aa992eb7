// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/field_message.h"

#include "platform/text.h"

namespace tamberlo {

std::string quotedForMessage(std::string_view typed) {
  // Control characters escaped, long texts cut, as in every message.
  return "“" + forMessage(typed, 24) + "”";
}

std::string fieldMessage(std::string_view caption, std::string_view typed, std::string_view problem) {
  return std::string(caption) + "：" + quotedForMessage(typed) + " " + std::string(problem);
}

}  // namespace tamberlo
