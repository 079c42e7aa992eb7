// SPDX-License-Identifier: GPL-3.0-or-later
// The pin boxes show their conflicts as the user edits: a box whose pin
// another owner also takes (or the chip lacks) turns red, and its tooltip
// names the other owner.
#include <map>
#include <string>

#include "app/editor_model.h"
#include "app/pin_owners.h"
#include "platform/messages.h"

namespace tamberlo {
namespace {

// Every control that chooses a pin or a data port.
constexpr const char* kPinControls[] = {"Edit1",  "Edit2",      "Edit3",      "Edit4",      "Edit5",  "Edit6",
                                        "Edit7",  "Edit8",      "Edit9",      "Edit10",     "Edit11", "Edit12",
                                        "Edit13", "Edit14",     "Edit15",     "Edit16",     "Edit25", "Edit26",
                                        "ComboBox18", "ComboBox23", "SpinEdit1", "SpinEdit2", "SpinEdit3"};

void markPins(EditorModel& m) {
  std::map<std::string, std::string> why;  // control -> tooltip
  std::map<std::string, bool> red;
  auto note = [&](const PinOwner& o, const std::string& text, bool conflict) {
    if (o.control.empty()) return;
    std::string& t = why[o.control];
    t += (t.empty() ? "" : "\n") + text;
    red[o.control] = red[o.control] || conflict;
  };
  auto pins = [](const std::vector<PortPin>& list) {
    std::string out;
    for (const PortPin& p : list) out += (out.empty() ? "" : ", ") + pinName(p);
    return out;
  };
  for (const PinConflict& k : pinConflicts(m.config())) {
    switch (k.kind) {
      case ConflictKind::Shared:
        note(k.first, pins(k.pins) + "：也被 " + k.second.name() + " 占用", true);
        note(k.second, pins(k.pins) + "：也被 " + k.first.name() + " 占用", true);
        break;
      // The window speaks Chinese: the run's English sentence through the catalog.
      case ConflictKind::Missing: note(k.first, inChinese(k.message), true); break;
      case ConflictKind::Isp: note(k.first, inChinese(k.message), false); break;
    }
  }
  for (const char* name : kPinControls) {
    if (!m.has(name)) continue;
    Control& c = m.ctl(name);
    const std::string color = red[name] ? "red" : "";
    const std::string hint = why.count(name) ? why[name] : "";
    if (c.color == color && c.hint == hint) continue;
    c.color = color;
    c.hint = hint;
    m.touch();
  }
}

}  // namespace

void installPinMarks(EditorModel& model) { model.addAfterEdit(markPins); }

}  // namespace tamberlo
