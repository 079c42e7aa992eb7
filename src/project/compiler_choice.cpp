// SPDX-License-Identifier: GPL-3.0-or-later
// The compiler choice and its installation folder, remembered in act.ini.
#include "project/compiler_choice.h"

#include "app/editor_model.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

void ComboBox33Change(EditorModel& m) {
  m.updateActIni([&m](IniFile& ini) {
    ini.writeInteger("MCU", "compile", m.itemIndex("ComboBox33"));
    const std::string& compiler = m.text("ComboBox33");
    const char* section = compiler == "ICC AVR" ? "ICC" : compiler == "GCC AVR" ? "GCC" : nullptr;
    if (!section) return;
    // A folder that could not reach test.prj intact is not taken.
    try {
      m.CompilerPath() = ini.readString(section, "filepath", "");
    } catch (const Error& e) {
      m.CompilerPath().clear();
      m.noteActIniProblem(e, false);
    }
  });
}

void Button3Click(EditorModel& m) {
  if (!m.dialogs()) return;
  auto chosen = m.dialogs()->chooseCompilerFile();
  if (!chosen || trimBlanks(*chosen).empty()) return;
  std::string folder = folderOf(*chosen);
  m.CompilerPath() = folder;
  const std::string& compiler = m.text("ComboBox33");
  // The file is picked inside a subfolder of the installation (bin\ for ICC,
  // a two-letter one for GCC); dropping it leaves the installation folder.
  size_t drop = compiler == "ICC AVR" ? 4 : compiler == "GCC AVR" ? 3 : 0;
  if (drop == 0) return;
  std::string& path = m.CompilerPath();
  if (path.size() >= drop) path.erase(path.size() - drop);
  m.writeActIni(drop == 4 ? "ICC" : "GCC", "filepath", path);
}

}  // namespace

void installCompilerHandlers(EditorModel& m) {
  m.addHandler("ComboBox33Change", ComboBox33Change);
  m.addHandler("Button3Click", Button3Click);
}

}  // namespace tamberlo
