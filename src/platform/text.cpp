// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/error.h"

namespace tamberlo {

std::string_view trimBlanks(std::string_view t) {
  while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
  while (!t.empty() && (t.back() == ' ' || t.back() == '\t')) t.remove_suffix(1);
  return t;
}

std::string formatFixed(double value, int width, int decimals) {
  if (!std::isfinite(value)) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, value);
    return buf;
  }
  double scale = std::pow(10.0, decimals);
  // Print the scaled value with a few extra digits first, so that a value
  // such as 0.1565 that binary cannot hold exactly still rounds as written.
  char probe[64];
  std::snprintf(probe, sizeof probe, "%.*e", 14, value * scale);
  double scaled = std::round(std::strtod(probe, nullptr));
  double rounded = scaled / scale;
  if (rounded == 0.0) rounded = std::signbit(value) && scaled != 0.0 ? -0.0 : 0.0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%*.*f", width, decimals, rounded);
  return buf;
}

std::optional<int> parseInteger(std::string_view text) {
  std::string_view t = trimBlanks(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return std::nullopt;
  int value = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (ec != std::errc() || ptr != t.data() + t.size()) return std::nullopt;
  return value;
}

std::optional<double> parseDecimal(std::string_view text) {
  std::string_view t = trimBlanks(text);
  if (!t.empty() && t.front() == '+') t.remove_prefix(1);
  if (t.empty()) return std::nullopt;
  double value = 0;
  auto [ptr, ec] = std::from_chars(t.data(), t.data() + t.size(), value, std::chars_format::fixed);
  if (ec != std::errc() || ptr != t.data() + t.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

int toInteger(std::string_view text) {
  auto v = parseInteger(text);
  if (!v) throw Error(quoted(text) + " is not a valid integer value");
  return *v;
}

double toDecimal(std::string_view text) {
  auto v = parseDecimal(text);
  if (!v) throw Error(quoted(text) + " is not a valid floating point value");
  return *v;
}

namespace {

// Length of the UTF-8 sequence starting at text[i], or 0 when it is not one.
size_t utf8Length(std::string_view text, size_t i) {
  auto b = static_cast<unsigned char>(text[i]);
  size_t n = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || i + n > text.size()) return 0;
  for (size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 0;
  }
  return n;
}

}  // namespace

std::string forMessage(std::string_view text, size_t maxChars) {
  std::string out;
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++chars) {
    if (chars == maxChars) {
      out += "…";
      break;
    }
    auto b = static_cast<unsigned char>(text[i]);
    size_t n = utf8Length(text, i);
    if (b == '\r' || b == '\n' || b == '\t') {
      out += b == '\r' ? "\\r" : b == '\n' ? "\\n" : "\\t";
    } else if (n == 0 || b < 0x20 || b == 0x7F) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", b);
      out += hex;
      n = 1;
    } else {
      out.append(text.substr(i, n));
    }
    i += n == 0 ? 1 : n;
  }
  return out;
}

std::string messageForDisplay(std::string_view message) {
  std::string out;
  size_t pos = 0;
  for (;;) {
    size_t nl = message.find('\n', pos);
    out += forMessage(message.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos), 400);
    if (nl == std::string_view::npos) break;
    out += '\n';
    pos = nl + 1;
  }
  return out;
}

std::string quoted(std::string_view text, size_t maxChars) { return "\"" + forMessage(text, maxChars) + "\""; }

std::string hexByte(int value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(value));
  return buf;
}

std::string foldAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = foldAscii(c);
  return out;
}

bool equalsFoldingAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (foldAscii(a[i]) != foldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace tamberlo
