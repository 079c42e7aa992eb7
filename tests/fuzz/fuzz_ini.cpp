// SPDX-License-Identifier: GPL-3.0-or-later
// The INI reader and writer on arbitrary bytes: no crash, no sanitizer
// report, and what it writes reads back (an unchanged file saves byte for
// byte as it was normalised, a written value reads back as written).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/error.h"
#include "platform/ini_file.h"

using namespace tamberlo;

namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  IniFile ini = IniFile::fromText(bytes, "fuzz.ini");
  const std::string normalised = ini.bytes();
  require(IniFile::fromText(normalised, "fuzz.ini").bytes() == normalised);

  auto sections = ini.sectionNames();
  for (const auto& section : sections) {
    try {
      (void)ini.readString(section, "mcutype", "");
      (void)ini.readInteger(section, "Fosc", 10);
    } catch (const Error&) {
      // A value that is not text is reported, never taken.
    }
  }
  const std::string section = sections.empty() ? "MCU" : sections.back();
  try {
    ini.writeString(section, "mcutype", "6");
    ini.writeString("Other APP", "Text1", "偶校验");
  } catch (const Error&) {
    return 0;  // a section name GBK cannot hold
  }
  IniFile again = IniFile::fromText(ini.bytes(), "fuzz.ini");
  require(again.readString(section, "mcutype", "") == "6");
  require(again.readString("Other APP", "Text1", "") == "偶校验");
  return 0;
}
