// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Dates of the update check. Both sides are local wall-clock times without a
// zone, as the descriptor writes them and as the file date shows them.
//
// Accepted descriptor dates (blanks around them are ignored):
//   year first, with "-", "/" or "." between the parts:
//     "2026-12-07 10:30:00", "2026-12-07T10:30:00", "2026-12-07 10:30",
//     "2026/12/7 10:30:00", "2026.12.07 8:05"
//   day first, with "." or "-" between the parts:
//     "7.12.2026 10:30", "07-12-2026 10:30:00"
//   the date alone means midnight: "2026-12-07".
// The year has four digits; month, day and hour one or two; minutes and
// seconds two. Between date and time: blanks or one "T". Not accepted: a
// year-last date with "/" (month/day or day/month cannot be told apart),
// two-digit years, fractions of seconds, AM/PM, zone suffixes, impossible
// dates such as "2026-02-30" or "24:00".
#include <chrono>
#include <optional>
#include <string>
#include <string_view>

namespace tamberlo::update {

using LocalTime = std::chrono::local_seconds;

std::optional<LocalTime> parseDescriptorDate(std::string_view text);

// Last modification time of the file as local time, rounded down to even
// seconds (the platform's file date has a two-second resolution). Only a
// regular file (or a link to one) that we may read has a date: a folder, a
// FIFO, a device, a socket or an unreadable file gives nothing, as a missing
// file does. The file is never opened.
std::optional<LocalTime> fileDate(const std::string& path);

// "2026-12-07 10:30:00", for messages and tests.
std::string formatLocalTime(LocalTime t);

}  // namespace tamberlo::update
