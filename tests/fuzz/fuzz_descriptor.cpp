// SPDX-License-Identifier: GPL-3.0-or-later
// The update descriptor on arbitrary server answers: section names become
// local paths only below the local folder, dates parse or are skipped, and
// nothing crashes.
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/error.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "update/date_time.h"
#include "update/update_check.h"

using namespace tamberlo;

namespace {

std::string scratch() {
  static std::string dir = [] {
    std::string t = (std::filesystem::temp_directory_path() / "tamberlo-fuzz-upd-XXXXXX").string();
    std::string d = std::string(mkdtemp(t.data())) + "/";
    writeFileAtomic(d + "act.exe", "x");
    return d;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string folder = scratch();
  IniFile descriptor = IniFile::fromText(bytes, "update.ini");
  for (const auto& section : descriptor.sectionNames()) {
    if (auto path = update::localFileFor(folder, section)) {
      if (path->compare(0, folder.size(), folder) != 0 || path->find("/../") != std::string::npos) std::abort();
    }
    try {
      (void)update::parseDescriptorDate(descriptor.readString(section, "datetime", ""));
    } catch (const Error&) {
    }
  }
  (void)update::parseDescriptorDate(bytes.substr(0, 64));
  (void)update::descriptorAnnouncesUpdate(descriptor, folder);
  return 0;
}
