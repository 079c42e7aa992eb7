// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every generator gets: the configuration, the register shadows, the
// project folder, the run's shared flags and the files earlier steps made.
// Generators write nothing: they return their files and the control values
// they derived in the context, and the run writes and applies them.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/project_config.h"
#include "app/services.h"
#include "app/register_shadows.h"
#include "platform/text_buffer.h"

namespace tamberlo {

// A control's new text and, when `shadow` is set, the register shadow
// holding the same value.
struct ControlUpdate {
  std::string control;
  std::string text;
  int RegisterShadows::*shadow = nullptr;
  int value = 0;
};

struct GenContext {
  ProjectConfig cfg;           // the editor's configuration when the step began
  const RegisterShadows& regs;
  std::string projectDir;      // with a trailing separator
  bool& NeedDelay;             // set by generators whose code calls the delay functions
  std::vector<std::string>& preview;  // Memo1: generators that show their source replace it
  // Returned: values for the editor (UbrrCalc's divisor goes to the "UBRR"
  // box and its register shadow), applied by the caller.
  std::vector<ControlUpdate> updates;
  // The status pane (MakeLcdCode repeats its progress message).
  std::function<void(std::string_view message)> status;
  // Receives the run's warnings (see warn).
  std::function<void(std::string_view message)> onWarning;

  // Returned: the files this step made.
  GeneratedFiles files{};
  // What the earlier steps of the run made (the interrupt glue reads their
  // handler pragmas, the project list checks its names); nullptr alone.
  const GeneratedFiles* earlier = nullptr;

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
