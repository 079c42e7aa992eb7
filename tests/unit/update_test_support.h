// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Helpers shared by the update tests (headless and window).
#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <string>

namespace tamberlo::test {

// Sets the file's modification time to the given local wall-clock time;
// false when the file cannot be touched.
inline bool setLocalModTime(const std::string& path, int y, int mo, int d, int h, int mi, int s) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  std::time_t t = std::mktime(&tm);
  timespec times[2] = {{t, 0}, {t, 0}};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

}  // namespace tamberlo::test
