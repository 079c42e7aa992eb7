// Every generator the driver can call, by name. A generator that is not
// listed here is skipped by the run and the preview.
#include <map>

#include "gen/banners.h"
#include "gen/generator.h"

namespace tamberlo {

Generator findGenerator(std::string_view name) {
  static const std::map<std::string_view, Generator> generators = {
      {"MakeDelayCode", &MakeDelayCode},
  };
  auto it = generators.find(name);
  return it == generators.end() ? nullptr : it->second;
}

}  // namespace tamberlo
