// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fill.h"

#include <utility>

#include "platform/error.h"

namespace tamberlo {
namespace {

bool isNameChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

}  // namespace

Filler::Filler(std::string what, FillValues values, FillValues fixed)
    : what_(std::move(what)), values_(std::move(values)), fixed_(std::move(fixed)) {}

std::string Filler::fill(std::string_view text, bool keepUnknown) {
  filled_ = true;
  std::string out;
  out.reserve(text.size());
  size_t at = 0;
  for (size_t open; (open = text.find('$', at)) != std::string_view::npos;) {
    size_t end = open + 1;
    while (end < text.size() && isNameChar(text[end])) ++end;
    if (end == open + 1 || end >= text.size() || text[end] != '$') {
      out.append(text.substr(at, open + 1 - at));  // a '$' that opens no mark
      at = open + 1;
      continue;
    }
    const std::string_view name = text.substr(open + 1, end - open - 1);
    out.append(text.substr(at, open - at));
    if (auto v = values_.find(name); v != values_.end()) {
      out += v->second;
      used_.emplace(name);
    } else if (auto f = fixed_.find(name); f != fixed_.end()) {
      out += f->second;
    } else if (keepUnknown) {
      out.append(text.substr(open, end + 1 - open));
    } else {
      const std::string mark = "$" + std::string(name) + "$";
      throw Error(what_ + ": no value for " + mark);
    }
    at = end + 1;
  }
  out.append(text.substr(at));
  return out;
}

void Filler::finish() const {
  for (const auto& [name, value] : values_) {
    const std::string mark = "$" + name + "$";
    if (!used_.count(name)) throw Error(what_ + ": no place for " + mark);
  }
}

std::string fillMarks(std::string_view what, std::string_view text, const FillValues& values) {
  Filler f{std::string(what), values};
  std::string out = f.fill(text);
  f.finish();
  return out;
}

}  // namespace tamberlo
