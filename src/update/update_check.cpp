// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/update_check.h"

#include <filesystem>
#include <system_error>
#include <unordered_map>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/gbk.h"
#include "update/date_time.h"

namespace tamberlo::update {

UpdateSource defaultUpdateSource(const std::string& exeDir, const std::string& descriptorFolder) {
  return {std::string(UpdateBaseUrl), std::string(UpdateStem), exeDir, descriptorFolder};
}

std::string updateUrl(std::string_view baseUrl, std::string_view stem) {
  std::string url(baseUrl);
  if (url.empty() || url.back() != '/') url += '/';
  url += stem;
  url += ".htm";
  return url;
}

const Headers& updateRequestHeaders() {
  static const Headers headers = {
      {"User-Agent", "Mozilla/3.0 (compatible; Indy Library)"},
      {"Accept", "text/html, */*"},
  };
  return headers;
}

std::optional<std::string> localFileFor(const std::string& localFolder, std::string_view sectionName) {
  std::string name(sectionName);
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  if (name.empty() || name.front() == '/') return std::nullopt;
  if (name.size() >= 2 && name[1] == ':') return std::nullopt;  // a drive: "C:\..." or "C:x"
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    if (name.compare(start, end - start, "..") == 0) return std::nullopt;
    start = end + 1;
  }
  return withTrailingSeparator(localFolder) + name;
}

bool descriptorAnnouncesUpdate(const IniFile& descriptor, const std::string& localFolder,
                               const Deadline& deadline) {
  bool result = false;
  // Sections naming one file differently ("a/b", "a\\b") share one look.
  std::unordered_map<std::string, std::optional<LocalTime>> dates;
  size_t count = 0;
  for (const IniFile::RawSection& section : descriptor.rawSections("datetime")) {
    if (++count % 256 == 0 && deadline.passed()) throw Error("the comparison did not end in time");
    // A name that is not GBK names no file we could know.
    auto name = gbkToUtf8Exact(section.name);
    if (!name) continue;
    auto path = localFileFor(localFolder, *name);
    if (!path) continue;
    auto [known, isNew] = dates.try_emplace(*path);
    if (isNew) known->second = fileDate(*path);
    const std::optional<LocalTime>& local = known->second;
    if (!local) continue;
    auto text = section.value ? gbkToUtf8Exact(*section.value) : std::string();
    if (!text) continue;
    auto remote = parseDescriptorDate(*text);
    if (!remote) continue;
    result = *remote > *local;
  }
  return result;
}

bool checkForUpdate(const UpdateSource& source, HttpGetter& http, const Deadline& deadline) noexcept {
  // Without a folder there is nothing to compare, and no place for update.ini.
  if (source.localFolder.empty()) return false;
  std::string descriptorPath;
  bool result = false;
  try {
    const std::string& folder = source.descriptorFolder.empty() ? source.localFolder : source.descriptorFolder;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    descriptorPath = withTrailingSeparator(folder) + std::string(kDescriptorFile);
    deleteFile(descriptorPath);
    std::optional<std::string> text;
    try {
      HttpResult response =
          http.get(updateUrl(source.baseUrl, source.stem), updateRequestHeaders(), deadline);
      if (response.ok() && response.body.size() <= kMaxBodyBytes) {
        text = std::move(response.body) + "\r\n";
        writeFileAtomic(descriptorPath, *text);
      }
    } catch (...) {
      // No descriptor: nothing to compare, so no update.
      text.reset();
    }
    // Only this run's descriptor counts, and it is compared as received:
    // update.ini is not read back, so nothing put in its place (a stale copy
    // in a read-only folder, a FIFO) is ever read.
    if (text) result = descriptorAnnouncesUpdate(IniFile::fromText(*text), source.localFolder, deadline);
  } catch (...) {
    result = false;
  }
  if (!descriptorPath.empty()) deleteFile(descriptorPath);
  return result;
}

}  // namespace tamberlo::update
