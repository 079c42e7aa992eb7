// SPDX-License-Identifier: GPL-3.0-or-later
// The generators by name. The driver sits below the layers whose generators
// it runs (the project files), so they are registered from above.
#include <map>
#include <string>

#include "gen/generator.h"
#include "platform/error.h"

namespace tamberlo {

namespace {
using Table = std::map<std::string, Generator, std::less<>>;

Table& registered() {
  static Table table;
  return table;
}

Table& overrides() {
  static Table table;
  return table;
}
}  // namespace

void addGenerator(std::string_view name, Generator g) {
  registered()[std::string(name)] = g;
}

GeneratorOverride::GeneratorOverride(std::string_view name, Generator g) : name_(name) {
  overrides()[name_] = g;
}

GeneratorOverride::~GeneratorOverride() {
  overrides().erase(name_);
}

Generator findGenerator(std::string_view name) {
  if (auto o = overrides().find(name); o != overrides().end()) return o->second;
  if (auto it = registered().find(name); it != registered().end()) return it->second;
  throw Error("no generator is registered under the name " + std::string(name));
}

}  // namespace tamberlo
