#include "update/update_check.h"

#include "app/constants.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "update/date_time.h"

namespace tamberlo::update {

UpdateSource defaultUpdateSource(const std::string& exeDir) {
  return {std::string(UpdateBaseUrl), std::string(UpdateStem), exeDir};
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

bool descriptorAnnouncesUpdate(const IniFile& descriptor, const std::string& localFolder) {
  bool result = false;
  for (const std::string& section : descriptor.sectionNames()) {
    auto path = localFileFor(localFolder, section);
    if (!path) continue;
    auto local = fileDate(*path);
    if (!local) continue;
    std::optional<LocalTime> remote;
    try {
      remote = parseDescriptorDate(descriptor.readString(section, "datetime", ""));
    } catch (const Error&) {
      continue;  // a value that is not text is no date
    }
    if (!remote) continue;
    result = *remote > *local;
  }
  return result;
}

bool checkForUpdate(const UpdateSource& source, HttpGetter& http) noexcept {
  // Without a folder there is nothing to compare, and no place for update.ini.
  if (source.localFolder.empty()) return false;
  std::string descriptorPath;
  bool result = false;
  try {
    descriptorPath = withTrailingSeparator(source.localFolder) + std::string(kDescriptorFile);
    deleteFile(descriptorPath);
    bool saved = false;
    try {
      HttpResult response = http.get(updateUrl(source.baseUrl, source.stem), updateRequestHeaders());
      if (response.ok() && response.body.size() <= kMaxBodyBytes) {
        writeFileAtomic(descriptorPath, response.body + "\r\n");
        saved = true;
      }
    } catch (...) {
      // No descriptor: nothing to compare, so no update.
    }
    // Only this run's descriptor counts: a stale one that could not be
    // deleted (a read-only folder) must not announce anything.
    if (saved) result = descriptorAnnouncesUpdate(IniFile(descriptorPath), source.localFolder);
  } catch (...) {
    result = false;
  }
  if (!descriptorPath.empty()) deleteFile(descriptorPath);
  return result;
}

}  // namespace tamberlo::update
