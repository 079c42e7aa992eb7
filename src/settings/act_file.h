// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// .act project settings files: 137 keys in nine sections, written from and
// read back into the editor's controls, each row running its handler.
#include <string>
#include <string_view>
#include <vector>

namespace tamberlo {

class EditorModel;

enum class ActValue { Text, Index, Value, Bool };

struct ActRow {
  std::string_view section;
  std::string_view key;
  ActValue kind;
  std::string_view control;  // "" for the version key
  std::string_view handler;  // run after the control is set; "" for none
};

// The rows in file order (row 1 is "Ver").
const std::vector<ActRow>& actRows();

// Finds a row by section and key (ASCII case ignored), or nullptr.
const ActRow* findActRow(std::string_view section, std::string_view key);

void SaveActFile(EditorModel& model, const std::string& path);
// Loads in file order; the version notice goes to the model's dialogs.
void LoadActFile(EditorModel& model, const std::string& path);

// Applies one value as the loader would (encoding, control, handler). For a
// box's index, `typed` is the text kept beside an index of -1, if any.
void applyActValue(EditorModel& model, const ActRow& row, const std::string& value,
                   const std::string& typed = {});

// The open and save buttons.
void installSettingsHandlers(EditorModel& model);

}  // namespace tamberlo
