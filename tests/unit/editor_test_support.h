// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An editor started as the window starts it, in a scratch executable folder.
#include <memory>

#include "assembly/editor.h"
#include "app/editor_model.h"
#include "test_support.h"

namespace tamberlo::test {

struct StartedEditor {
  TempDir dir;
  std::unique_ptr<EditorModel> model;
  std::vector<std::string> status;

  StartedEditor() { start(); }
  // Starts a new editor in the same folder, as a restart of the program does.
  void start() {
    model = std::make_unique<Editor>();
    model->setStatusListener([this](const std::string& s) { status.push_back(s); });
    model->FormCreate(dir.path());
    model->FormShow();
  }
  EditorModel& operator*() { return *model; }
  EditorModel* operator->() { return model.get(); }
};

}  // namespace tamberlo::test
