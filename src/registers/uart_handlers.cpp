// Change handlers of the two UART pages.
#include "app/editor_model.h"

namespace tamberlo {
namespace {

void RS485Check0Click(EditorModel& m) {
  bool on = m.checked("RS485Check0");
  for (const char* n : {"Label33", "ComboBox31", "SpinEdit2"}) m.setEnabled(n, on);
}

void RS485Check1Click(EditorModel& m) {
  bool on = m.checked("RS485Check1");
  for (const char* n : {"Label34", "ComboBox32", "SpinEdit3"}) m.setEnabled(n, on);
}

}  // namespace

void installUartHandlers(EditorModel& m) {
  m.addHandler("RS485Check0Click", RS485Check0Click);
  m.addHandler("RS485Check1Click", RS485Check1Click);
}

}  // namespace tamberlo
