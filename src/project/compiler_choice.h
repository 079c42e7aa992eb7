// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
namespace tamberlo {

class EditorModel;

// The compiler choice and its folder.
void installCompilerHandlers(EditorModel& model);

}  // namespace tamberlo
