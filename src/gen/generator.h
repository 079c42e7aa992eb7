// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every generator gets: the configuration, the register shadows, the
// project folder and the run's shared flags. Generators only append to
// TextBuffers and save them; they never touch a window.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/project_config.h"
#include "app/services.h"
#include "app/register_shadows.h"

namespace tamberlo {

struct GenContext {
  ProjectConfig cfg;           // the editor's configuration when the step began
  RegisterShadows& regs;
  std::string projectDir;      // with a trailing separator
  bool& NeedDelay;             // set by generators whose code calls the delay functions
  std::vector<std::string>& preview;  // Memo1: generators that show their source replace it
  // Writes a control's text (UbrrCalc shows the divisor in the "UBRR" boxes).
  std::function<void(std::string_view control, std::string_view text)> setControlText;
  // The status pane (MakeLcdCode repeats its progress message).
  std::function<void(std::string_view message)> status;
  // Receives the run's warnings (see warn).
  std::function<void(std::string_view message)> onWarning;

  // A warning for the user: the project is still written, but will not fit or
  // cannot work as wired. Name the module, the chip and the limit.
  void warn(std::string_view message) const {
    if (onWarning) onWarning(message);
  }
};

using Generator = void (*)(GenContext&);

// Registers `g` under `name` (the assembly registers every layer's).
void addGenerator(std::string_view name, Generator g);

// The generator registered under `name` ("MakeUartCode"); nullptr only for
// one a test removed. Error for a name nothing registered.
Generator findGenerator(std::string_view name);

// Tests replace a generator (nullptr: remove it) to watch the driver's order;
// the override lasts until the object goes.
class GeneratorOverride {
 public:
  GeneratorOverride(std::string_view name, Generator g);
  ~GeneratorOverride();
  GeneratorOverride(const GeneratorOverride&) = delete;
  GeneratorOverride& operator=(const GeneratorOverride&) = delete;

 private:
  std::string name_;
};

}  // namespace tamberlo
