// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor as the programs use it: the model of app/ with every layer's
// handlers and generators wired in. The window, tamberlo-gen and the tests
// build this; the layers themselves never reach up to one another.
#include "app/editor_model.h"

namespace tamberlo {

// Adds every layer's change handlers to `model`, and registers the
// generators (once per process).
void wireEditor(EditorModel& model);

// Registers every generator under its name; safe to call again.
void wireGenerators();

class Editor : public EditorModel {
 public:
  Editor() { wireEditor(*this); }
};

}  // namespace tamberlo
