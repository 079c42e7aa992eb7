// SPDX-License-Identifier: GPL-3.0-or-later
#include <sys/stat.h>
#include <unistd.h>

#include "test_support.h"
#include "unit/update_test_support.h"
#include "update/date_time.h"

namespace tamberlo::update {
namespace {

using test::setLocalModTime;
using test::TempDir;
using test::writeBytes;

TEST(UpdateDates, AcceptedForms) {
  struct Case {
    const char* text;
    const char* expected;
  } cases[] = {
      {"2026-12-07 10:30:00", "2026-12-07 10:30:00"},     {"2026-12-07T10:30:00", "2026-12-07 10:30:00"},
      {"2026-12-07 10:30", "2026-12-07 10:30:00"},        {"2026-12-07T10:30", "2026-12-07 10:30:00"},
      {"  2026-12-07   8:05:09 ", "2026-12-07 08:05:09"}, {"2026/12/7 10:30:00", "2026-12-07 10:30:00"},
      {"2026/1/07 0:00", "2026-01-07 00:00:00"},          {"2026.12.07 23:59:59", "2026-12-07 23:59:59"},
      {"7.12.2026 10:30", "2026-12-07 10:30:00"},         {"07.12.2026 10:30:15", "2026-12-07 10:30:15"},
      {"07-12-2026 10:30:15", "2026-12-07 10:30:15"},     {"2026-12-07", "2026-12-07 00:00:00"},
      {"2024-02-29 12:00", "2024-02-29 12:00:00"},        {"\t2026-12-07\t10:30\t", "2026-12-07 10:30:00"},
  };
  for (const auto& c : cases) {
    auto t = parseDescriptorDate(c.text);
    ASSERT_TRUE(t.has_value()) << c.text;
    EXPECT_EQ(formatLocalTime(*t), c.expected) << c.text;
  }
}

TEST(UpdateDates, RejectedForms) {
  const char* cases[] = {
      "",
      "   ",
      "soon",
      "12/7/2026 10:30",        // month/day or day/month: cannot tell
      "26-12-07 10:30",         // two-digit year
      "2026-13-07 10:30",       // month 13
      "2026-02-30",             // no such day
      "2025-02-29",             // not a leap year
      "2026-12-07 24:00",       // hour 24
      "2026-12-07 10:60",       // minute 60
      "2026-12-07 10:30:60",    // second 60
      "2026-12-07 10:3",        // one-digit minutes
      "2026-12-07 10",          // no minutes
      "2026-12-07 10:30:00.5",  // fractions
      "2026-12-07 10:30 PM",
      "2026-12-07T10:30:00Z",
      "2026-12-07T",
      "2026-12/07",  // mixed separators
      "2026-12-07-01",
      "2026--07",
      "00000-12-07",
      "0000-12-07",
      "2026-12-07 10:30:00 extra",
  };
  for (const char* text : cases) {
    EXPECT_FALSE(parseDescriptorDate(text).has_value()) << text;
  }
}

TEST(UpdateDates, FileDateIsLocalAndRoundedDownToEvenSeconds) {
  TempDir dir;
  std::string file = dir / "act.exe";
  writeBytes(file, "MZ");
  struct Case {
    int second;
    const char* expected;
  } cases[] = {
      {0, "2026-12-07 10:30:00"},
      {1, "2026-12-07 10:30:00"},
      {2, "2026-12-07 10:30:02"},
      {59, "2026-12-07 10:30:58"},
  };
  for (const auto& c : cases) {
    ASSERT_TRUE(setLocalModTime(file, 2026, 12, 7, 10, 30, c.second));
    auto t = fileDate(file);
    ASSERT_TRUE(t.has_value());
    EXPECT_EQ(formatLocalTime(*t), c.expected) << "second " << c.second;
  }
}

TEST(UpdateDates, NoFileDateWithoutAReadableFile) {
  TempDir dir;
  EXPECT_FALSE(fileDate(dir / "missing.exe").has_value());
  EXPECT_FALSE(fileDate(dir.path()).has_value());  // a folder is not a file
  std::string locked = dir / "locked.dll";
  writeBytes(locked, "x");
  ::chmod(locked.c_str(), 0);
  if (::geteuid() != 0) {  // root reads anything
    EXPECT_FALSE(fileDate(locked).has_value());
  }
  ::chmod(locked.c_str(), 0644);
}

}  // namespace
}  // namespace tamberlo::update
