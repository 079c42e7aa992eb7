// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The update check: fetch the maker's descriptor, store it beside the
// executable as update.ini, and compare each file it names with the local
// copy's date. It runs on a worker thread and touches no window state; it
// reports nothing but its result, every failure counting as "no update".
#include <optional>
#include <string>
#include <string_view>

#include "platform/ini_file.h"
#include "update/http_getter.h"

namespace tamberlo::update {

inline constexpr std::string_view kDescriptorFile = "update.ini";
// Base URL of the update descriptor (path "/update/kestrel/act", stem "update").
inline constexpr std::string_view UpdateBaseUrl = "http://www.hollowmere.com/update/kestrel/act";
inline constexpr std::string_view UpdateStem = "update";

struct UpdateSource {
  std::string baseUrl;      // ".../update/kestrel/act", with or without a final "/"
  std::string stem;         // "update"
  std::string localFolder;  // ExeDir, with its trailing separator
  // Where update.ini is stored (created when missing); empty means
  // localFolder. An installed program cannot write its own folder.
  std::string descriptorFolder = {};
};

// The program's own source: UpdateBaseUrl, UpdateStem, `exeDir` and the
// folder for update.ini.
UpdateSource defaultUpdateSource(const std::string& exeDir, const std::string& descriptorFolder = {});

// Base URL, one "/" (added only when the base lacks it), stem, ".htm".
std::string updateUrl(std::string_view baseUrl, std::string_view stem);

// User-Agent and Accept as the maker's server expects them.
const Headers& updateRequestHeaders();

// The local file a descriptor section names. Sections name files below the
// local folder only ("\" and "/" both separate folders): an empty name, an
// absolute one ("/x", "\x", "C:x") or one with a ".." part gives nothing, so
// a hostile descriptor cannot make the check look anywhere else.
std::optional<std::string> localFileFor(const std::string& localFolder, std::string_view sectionName);

// The comparison over the descriptor's sections in file order: each section
// whose name is valid GBK, whose local file is a readable regular file and
// whose "datetime" reads as a date sets the result to (remote date strictly
// later than the local one), so the last such section decides. Sections that
// fail either way are skipped alone. Linear in the descriptor's size: each
// local file's date is read once, and nothing is ever opened (a FIFO would
// block). Error when the deadline passes first.
bool descriptorAnnouncesUpdate(const IniFile& descriptor, const std::string& localFolder,
                               const Deadline& deadline = Deadline());

// The whole check, fetch and comparison, within `deadline`. An update.ini
// left by an earlier run is deleted before the fetch, and only the body this
// run received, complete and with a 2xx status, is saved (through a new
// temporary file renamed over update.ini) and compared, so a failed download
// never compares against an old one. update.ini is deleted again at the end.
// A deadline that passes (or is cancelled) before the comparison is complete
// means no update. An empty local folder means no check. Never throws.
bool checkForUpdate(const UpdateSource& source, HttpGetter& http, const Deadline& deadline) noexcept;

}  // namespace tamberlo::update
