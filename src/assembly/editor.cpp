// SPDX-License-Identifier: GPL-3.0-or-later
// Every handler and generator by name, from every layer below.
#include "assembly/editor.h"

#include <mutex>

#include "gen/banners.h"
#include "gen/bus/bus_generators.h"
#include "gen/chips/chip_generators.h"
#include "gen/display/gui_code.h"
#include "gen/display/lcd_code.h"
#include "gen/generation.h"
#include "gen/generator.h"
#include "gen/main/main_code.h"
#include "gen/uart/uart_code.h"
#include "project/compiler_choice.h"
#include "project/gcc_build.h"
#include "project/project_files.h"
#include "registers/register_handlers.h"
#include "settings/act_file.h"

namespace tamberlo {

void wireGenerators() {
  static std::once_flag once;
  std::call_once(once, [] {
    addGenerator("MakeDelayCode", &MakeDelayCode);
    addGenerator("MakeMainCode", &MakeMainCode);
    addGenerator("MakeIccProject", &MakeIccProject);
    addGenerator("MakeGccProject", &MakeGccProject);
    addGenerator("MakeGccBuild", &MakeGccBuild);
    addGenerator("MakeUartCode", &MakeUartCode);
    addGenerator("MakeSpiCode", &MakeSpiCode);
    addGenerator("MakeSpiAppCode", &MakeSpiAppCode);
    addGenerator("MakeTwiCode", &MakeTwiCode);
    addGenerator("MakeTwiAppCode", &MakeTwiAppCode);
    addGenerator("MakeAdcCode", &MakeAdcCode);
    addGenerator("MakeAcpCode", &MakeAcpCode);
    addGenerator("MakeLcdCode", &MakeLcdCode);
    addGenerator("MakeOneWireCode", &MakeOneWireCode);
    addGenerator("MakeUsbCode", &MakeUsbCode);
    addGenerator("MakeMp3Code", &MakeMp3Code);
    addGenerator("MakeGuiCode", &MakeGuiCode);
  });
}

void wireEditor(EditorModel& m) {
  wireGenerators();
  installStartupHandlers(m);
  installUartHandlers(m);
  installBusHandlers(m);
  installPinEditorHandlers(m);
  installCompilerHandlers(m);
  installGenerationHandlers(m);
  installSettingsHandlers(m);
  installPinMarks(m);
}

}  // namespace tamberlo
