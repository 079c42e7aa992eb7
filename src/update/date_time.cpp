// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/date_time.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <ctime>

#include "platform/text.h"

namespace tamberlo::update {

namespace {

using namespace std::chrono;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

// A run of `minDigits`..`maxDigits` digits at the front of `text`, consumed.
std::optional<int> takeNumber(std::string_view& text, size_t minDigits, size_t maxDigits) {
  size_t n = 0;
  while (n < text.size() && isDigit(text[n])) ++n;
  if (n < minDigits || n > maxDigits) return std::nullopt;
  int value = 0;
  for (size_t i = 0; i < n; ++i) value = value * 10 + (text[i] - '0');
  text.remove_prefix(n);
  return value;
}

std::optional<local_days> parseDate(std::string_view text) {
  // Three numbers with one separator repeated: "2026-12-07", "7.12.2026".
  char sep = 0;
  for (char c : text) {
    if (c == '-' || c == '/' || c == '.') {
      sep = c;
      break;
    }
  }
  if (sep == 0) return std::nullopt;
  size_t first = text.find(sep);
  size_t second = text.find(sep, first + 1);
  if (second == std::string_view::npos || text.find(sep, second + 1) != std::string_view::npos) {
    return std::nullopt;
  }
  std::array<std::string_view, 3> parts = {text.substr(0, first), text.substr(first + 1, second - first - 1),
                                           text.substr(second + 1)};
  for (auto p : parts) {
    if (p.empty()) return std::nullopt;
    for (char c : p) {
      if (!isDigit(c)) return std::nullopt;
    }
  }
  int y, m, d;
  if (parts[0].size() == 4 && parts[1].size() <= 2 && parts[2].size() <= 2) {
    y = *takeNumber(parts[0], 4, 4);
    m = *takeNumber(parts[1], 1, 2);
    d = *takeNumber(parts[2], 1, 2);
  } else if (parts[2].size() == 4 && parts[0].size() <= 2 && parts[1].size() <= 2 && sep != '/') {
    d = *takeNumber(parts[0], 1, 2);
    m = *takeNumber(parts[1], 1, 2);
    y = *takeNumber(parts[2], 4, 4);
  } else {
    return std::nullopt;
  }
  year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
  if (y < 1 || !ymd.ok()) return std::nullopt;
  return local_days{ymd};
}

std::optional<seconds> parseTime(std::string_view text) {
  auto h = takeNumber(text, 1, 2);
  if (!h || text.empty() || text.front() != ':') return std::nullopt;
  text.remove_prefix(1);
  auto m = takeNumber(text, 2, 2);
  if (!m) return std::nullopt;
  int s = 0;
  if (!text.empty()) {
    if (text.front() != ':') return std::nullopt;
    text.remove_prefix(1);
    auto sec = takeNumber(text, 2, 2);
    if (!sec || !text.empty()) return std::nullopt;
    s = *sec;
  }
  if (*h > 23 || *m > 59 || s > 59) return std::nullopt;
  return hours{*h} + minutes{*m} + seconds{s};
}

}  // namespace

std::optional<LocalTime> parseDescriptorDate(std::string_view text) {
  text = trimBlanks(text);
  if (text.empty()) return std::nullopt;
  std::string_view datePart = text;
  std::string_view timePart;
  size_t split = text.find_first_of(" \tT");
  if (split != std::string_view::npos) {
    datePart = text.substr(0, split);
    timePart = text.substr(split);
    if (timePart.front() == 'T') {
      timePart.remove_prefix(1);
    } else {
      timePart = trimBlanks(timePart);
    }
    if (timePart.empty()) return std::nullopt;
  }
  auto date = parseDate(datePart);
  if (!date) return std::nullopt;
  if (timePart.empty()) return LocalTime{*date};
  auto time = parseTime(timePart);
  if (!time) return std::nullopt;
  return LocalTime{*date} + *time;
}

std::optional<LocalTime> fileDate(const std::string& path) {
  // Never opened: opening a FIFO (or a link to one) would block, and a device
  // may do anything. stat() follows links, so a link counts as what it names.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  if (::access(path.c_str(), R_OK) != 0) return std::nullopt;
  std::tm tm{};
  if (::localtime_r(&st.st_mtime, &tm) == nullptr) return std::nullopt;
  year_month_day ymd{year{tm.tm_year + 1900}, month{static_cast<unsigned>(tm.tm_mon + 1)},
                     day{static_cast<unsigned>(tm.tm_mday)}};
  // A leap second (tm_sec 60) counts as 58 like every odd second rounds down.
  int sec = std::min(tm.tm_sec, 59) / 2 * 2;
  return LocalTime{local_days{ymd}} + hours{tm.tm_hour} + minutes{tm.tm_min} + seconds{sec};
}

std::string formatLocalTime(LocalTime t) {
  local_days days = floor<std::chrono::days>(t);
  year_month_day ymd{days};
  hh_mm_ss<seconds> hms{t - days};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(ymd.year()),
                static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()),
                static_cast<int>(hms.hours().count()), static_cast<int>(hms.minutes().count()),
                static_cast<int>(hms.seconds().count()));
  return buf;
}

}  // namespace tamberlo::update
