// SPDX-License-Identifier: GPL-3.0-or-later
// Every generator the driver can call, by name. A generator that is not
// listed here is skipped by the run and the preview.
#include <map>
#include <string>

#include "gen/banners.h"
#include "gen/bus/bus_generators.h"
#include "gen/display/gui_code.h"
#include "gen/display/lcd_code.h"
#include "gen/chips/chip_generators.h"
#include "gen/generator.h"
#include "gen/main/main_code.h"
#include "project/gcc_build.h"
#include "project/project_files.h"
#include "gen/uart/uart_code.h"

namespace tamberlo {

namespace {
std::map<std::string, Generator, std::less<>>& overrides() {
  static std::map<std::string, Generator, std::less<>> map;
  return map;
}
}  // namespace

GeneratorOverride::GeneratorOverride(std::string_view name, Generator g) : name_(name) {
  overrides()[name_] = g;
}

GeneratorOverride::~GeneratorOverride() { overrides().erase(name_); }

Generator findGenerator(std::string_view name) {
  if (auto o = overrides().find(name); o != overrides().end()) return o->second;
  static const std::map<std::string_view, Generator> generators = {
      {"MakeDelayCode", &MakeDelayCode},
      {"MakeMainCode", &MakeMainCode},
      {"MakeIccProject", &MakeIccProject},
      {"MakeGccProject", &MakeGccProject},
      {"MakeGccBuild", &MakeGccBuild},
      {"MakeUartCode", &MakeUartCode},
      {"MakeSpiCode", &MakeSpiCode},
      {"MakeSpiAppCode", &MakeSpiAppCode},
      {"MakeTwiCode", &MakeTwiCode},
      {"MakeTwiAppCode", &MakeTwiAppCode},
      {"MakeAdcCode", &MakeAdcCode},
      {"MakeAcpCode", &MakeAcpCode},
      {"MakeLcdCode", &MakeLcdCode},
      {"MakeOneWireCode", &MakeOneWireCode},
      {"MakeUsbCode", &MakeUsbCode},
      {"MakeMp3Code", &MakeMp3Code},
      {"MakeGuiCode", &MakeGuiCode},
  };
  auto it = generators.find(name);
  return it == generators.end() ? nullptr : it->second;
}

}  // namespace tamberlo
