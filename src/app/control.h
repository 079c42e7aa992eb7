// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The state of one window control as the editor model holds it. The window
// shows exactly this; tests and the settings loader read and write it.
#include <string>
#include <vector>

namespace tamberlo {

enum class ControlKind {
  Form,         // the window itself: caption is the title
  Page,         // a tab of PageControl1: caption, visible
  PageControl,  // value = active page index
  GroupBox,     // caption
  Label,        // caption (text)
  Button,       // caption, enabled
  CheckBox,     // caption, checked
  RadioButton,  // caption, checked; exclusive inside its group
  ComboBox,     // items, itemIndex, text (typed text allowed: itemIndex -1)
  Edit,         // text (LabeledEdit: caption is its label)
  SpinEdit,     // value in [minValue, maxValue]
  ListBox,      // items, itemIndex
  Memo,         // lines (text joined with '\n'), read-only in the window
  Panel,        // caption (status pane)
};

struct Control {
  std::string name;
  ControlKind kind = ControlKind::Label;
  std::string page;      // name of the page (or "Panel1"/"Form") that holds it
  std::string caption;   // label/check/button/group/page caption
  std::string text;      // edit text, combo text, memo text
  std::vector<std::string> items;
  int itemIndex = -1;
  int value = 0;         // spin value, page control active index, memo height
  int minValue = 0;
  int maxValue = 0;
  bool checked = false;
  bool enabled = true;
  bool visible = true;
  bool readOnly = false;
  std::string group;     // radio buttons: the exclusive group
  std::string handler;   // change/click handler run by a user edit
  std::string hint;      // tooltip
  std::string disabledHint;  // tooltip while disabled: why it is, when it can be enabled
  std::string color;     // font colour name where the model decides it ("red", "blue", ...)
};

}  // namespace tamberlo
