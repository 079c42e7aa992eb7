// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The generation run ("生成工程") as tamberlo-gen and the window call it, and
// the choice of the project folder.
#include <string>

#include "gen/project_record.h"

namespace tamberlo {

class EditorModel;

enum class RunMode {
  Write,   // generate, merge with the folder and put the files in place
  DryRun,  // the same decisions, with nothing written
};

// One run into m.ProjectDir(): what it did (or, dry, would do) per file.
// A failed written run leaves the folder as it was, marked stale.
MergeOutcome generateProject(EditorModel& m, RunMode mode);

// Finishes what a killed run left in the folder (window start, a new
// folder), unless another run is writing it now.
void tidyProjectFolder(const std::string& projectDir);

// Makes `folder` the project folder and remembers it in act.ini. Error (in
// Chinese, telling the user to choose another) when files cannot be
// created in it.
void chooseProjectFolder(EditorModel& m, const std::string& folder);

// The preview and generation buttons.
void installGenerationHandlers(EditorModel& model);

}  // namespace tamberlo
