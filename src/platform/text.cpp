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
  if (!v) throw Error("\"" + std::string(text) + "\" is not a valid integer value");
  return *v;
}

double toDecimal(std::string_view text) {
  auto v = parseDecimal(text);
  if (!v) throw Error("\"" + std::string(text) + "\" is not a valid floating point value");
  return *v;
}

std::string hexByte(int value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(value));
  return buf;
}

}  // namespace tamberlo
