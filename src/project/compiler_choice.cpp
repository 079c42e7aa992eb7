// The compiler choice and its installation folder, remembered in act.ini.
#include "app/editor_model.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "platform/text.h"

namespace tamberlo {
namespace {

void ComboBox33Change(EditorModel& m) {
  IniFile ini(m.actIniPath());
  ini.writeInteger("MCU", "compile", m.itemIndex("ComboBox33"));
  const std::string& compiler = m.text("ComboBox33");
  if (compiler == "ICC AVR") {
    m.CompilerPath() = ini.readString("ICC", "filepath", "");
  } else if (compiler == "GCC AVR") {
    m.CompilerPath() = ini.readString("GCC", "filepath", "");
  }
  ini.save();
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
  IniFile ini(m.actIniPath());
  ini.writeString(drop == 4 ? "ICC" : "GCC", "filepath", path);
  ini.save();
}

}  // namespace

void installCompilerHandlers(EditorModel& m) {
  m.addHandler("ComboBox33Change", ComboBox33Change);
  m.addHandler("Button3Click", Button3Click);
}

}  // namespace tamberlo
