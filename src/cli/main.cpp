// SPDX-License-Identifier: GPL-3.0-or-later
// tamberlo-gen: the editor without its window. It starts as the window does,
// loads a settings file, applies --set changes, then generates the project
// or prints one page's code preview.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "assembly/editor.h"
#include "app/constants.h"
#include "app/editor_model.h"
#include "app/file_places.h"
#include "app/fuses.h"
#include "app/wiring_sheet.h"
#include "gen/generation.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/ini_file.h"
#include "platform/messages.h"
#include "platform/text.h"
#include "settings/act_file.h"

using namespace tamberlo;

namespace {

const char* const kUsage =
    "usage: tamberlo-gen [options] [SETTINGS.act]\n"
    "\n"
    "Starts the editor without a window (start values, act.ini), loads SETTINGS.act,\n"
    "applies each --set in order, then generates the project (\"生成工程\") or, with\n"
    "--preview, prints the code preview of one page.\n"
    "\n"
    "options:\n"
    "  -o, --out DIR          project folder (default: test/ beside the executable, or\n"
    "                         Tamberlo/test/ in your documents folder when the\n"
    "                         executable's folder is not writable)\n"
    "      --exe-dir DIR      folder treated as the program's own folder (act.ini, test/)\n"
    "      --adc              tick \"Use ADC\"\n"
    "      --acp              tick \"Use ACP\"\n"
    "      --set S.KEY=VALUE  apply one settings key as the loader does (repeatable);\n"
    "                         S is the section, e.g. UART0, \"Other APP\"\n"
    "      --type CONTROL=TEXT  type TEXT into a control as a user does, in order with\n"
    "                         the --set options, e.g. ComboBox29=STA013 (the MP3 chip\n"
    "                         that the list does not offer)\n"
    "      --preview PAGE     print the code preview of page index PAGE (0 UART, 2 SPI,\n"
    "                         3 TWI, 4 ADC, 5 ACP) instead of generating\n"
    "      --fuses            print the chip's fuse bytes for the crystal, bit by bit,\n"
    "                         instead of generating (what \"make fuses\" writes)\n"
    "      --wiring FILE      write the wiring sheet (the chip's pins, their owners, the\n"
    "                         crystal and the fuse bytes) instead of generating: SVG for\n"
    "                         FILE.svg, HTML for FILE.html or .htm; pin conflicts are warned\n"
    "      --save-act FILE    save the settings as \"保存\" does, at the end\n"
    "      --dry-run          list what generating would do to each file (create,\n"
    "                         replace, unchanged, merged, conflict, kept) and write nothing\n"
    "      --check            write nothing; exit 3 when the folder's generated files\n"
    "                         differ from what the settings give, 0 when they match\n"
    "  -h, --help             this text\n"
    "      --version          the program version\n";

struct Options {
  std::string out;
  std::string exeDir;
  bool adc = false;
  bool acp = false;
  // "--set" and "--type" specs in the order given: (typed, spec).
  std::vector<std::pair<bool, std::string>> sets;
  std::optional<int> preview;
  bool fuses = false;
  std::string wiring;
  std::string saveAct;
  std::string settings;
  bool dryRun = false;
  bool check = false;
};

// Messages in Chinese under a Chinese locale (LANG=zh_CN.UTF-8 ...), else
// as the code writes them.
std::string localized(std::string_view message) {
  return chineseLocaleWanted() ? inChinese(message) : std::string(message);
}

class CliDialogs : public UserDialogs {
 public:
  std::optional<std::string> openActFile() override { return std::nullopt; }
  std::optional<std::string> saveActFile() override { return std::nullopt; }
  std::optional<std::string> chooseCompilerFile() override { return std::nullopt; }
  void showMessage(const std::string& text) override {
    std::cerr << "tamberlo-gen: note: " << messageForDisplay(localized(text)) << "\n";
  }
  void showWarnings(const std::vector<std::string>& lines) override {
    for (const auto& l : lines) std::cerr << "tamberlo-gen: warning: " << messageForDisplay(localized(l)) << "\n";
  }
  void openUrl(const std::string&) override {}
};

std::string needValue(int& i, int argc, char** argv) {
  if (i + 1 >= argc) throw Error("the option " + forMessage(argv[i]) + " needs a value");
  return argv[++i];
}

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    if (a == "-o" || a == "--out") {
      o.out = needValue(i, argc, argv);
    } else if (a == "--exe-dir") {
      o.exeDir = needValue(i, argc, argv);
    } else if (a == "--adc") {
      o.adc = true;
    } else if (a == "--acp") {
      o.acp = true;
    } else if (a == "--set") {
      o.sets.emplace_back(false, needValue(i, argc, argv));
    } else if (a == "--type") {
      o.sets.emplace_back(true, needValue(i, argc, argv));
    } else if (a == "--preview") {
      std::string v = needValue(i, argc, argv);
      auto page = parseInteger(v);
      if (!page || *page < 0 || *page > 14) throw Error("--preview needs a page index from 0 to 14, not " + tamberlo::quoted(v));
      o.preview = *page;
    } else if (a == "--fuses") {
      o.fuses = true;
    } else if (a == "--wiring") {
      o.wiring = needValue(i, argc, argv);
    } else if (a == "--save-act") {
      o.saveAct = needValue(i, argc, argv);
    } else if (a == "--dry-run") {
      o.dryRun = true;
    } else if (a == "--check") {
      o.check = true;
    } else if (a == "-h" || a == "--help") {
      std::cout << kUsage;
      std::exit(0);
    } else if (a == "--version") {
      std::cout << "tamberlo-gen " << AppVersion << "\n";
      std::exit(0);
    } else if (!a.empty() && a[0] == '-') {
      throw Error("unknown option " + forMessage(a) + " (see --help)");
    } else if (o.settings.empty()) {
      o.settings = a;
    } else {
      throw Error("only one settings file can be given, not also " + forMessage(a, 240));
    }
  }
  return o;
}

// "SECTION.KEY=VALUE"; the section may hold blanks, keys hold no point.
void applySet(EditorModel& model, const std::string& spec) {
  size_t eq = spec.find('=');
  if (eq == std::string::npos) throw Error("--set " + forMessage(spec) + ": expected SECTION.KEY=VALUE");
  std::string name = spec.substr(0, eq);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) throw Error("--set " + forMessage(spec) + ": expected SECTION.KEY=VALUE");
  const ActRow* row = findActRow(name.substr(0, dot), name.substr(dot + 1));
  if (!row) throw Error("--set " + forMessage(spec) + ": there is no settings key " + forMessage(name));
  if (row->control.empty()) throw Error("--set " + forMessage(spec) + ": " + forMessage(name) + " cannot be set");
  applyActValue(model, *row, spec.substr(eq + 1));
}

// "CONTROL=TEXT": the text a user types into the control, with its handler.
void applyType(EditorModel& model, const std::string& spec) {
  size_t eq = spec.find('=');
  if (eq == std::string::npos || eq == 0) throw Error("--type " + forMessage(spec) + ": expected CONTROL=TEXT");
  const std::string name = spec.substr(0, eq);
  if (!model.has(name)) throw Error("--type " + forMessage(spec) + ": there is no control " + forMessage(name));
  model.userType(name, spec.substr(eq + 1));
}

void printFuses(const ProjectConfig& c) {
  const auto hz = crystalTextHz(c.crystalText());
  if (!hz) throw Error("the crystal " + tamberlo::quoted(c.crystalText()) + " is not a frequency in MHz");
  const auto fuses = fusesFor(c.mcuName(), *hz);
  if (!fuses) throw Error(tamberlo::quoted(c.mcuName()) + " is not one of the listed chips");
  for (const auto& line : describeFuses(c.mcuName(), *fuses)) std::cout << line << "\n";
  for (const auto& w : fuses->warnings) std::cerr << "tamberlo-gen: warning: " << localized(w) << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  try {
    Options o = parse(argc, argv);
    Editor model;
    CliDialogs dialogs;
    model.setDialogs(&dialogs);
    model.setStatusListener([](const std::string& message) { std::cerr << message << "\n"; });
    FilePlaces places = o.exeDir.empty() ? placeFilesForExecutable(xdgUserFolders()) : placeFiles(o.exeDir, true, {});
    // With -o nothing is made beside the program: the project goes where asked.
    if (!o.out.empty()) {
      places.projectDir = o.out;
      places.projectNamed = true;
    }
    model.FormCreate(places);
    model.FormShow();
    const bool writes = !o.dryRun && !o.check;
    if (!o.out.empty()) {
      if (writes && !folderExists(o.out) && !createFolder(o.out)) {
        throw Error("cannot create the project folder " + forMessage(o.out, 240) + ": " + std::strerror(errno));
      }
      model.setProjectDir(o.out);
    }
    if (!o.settings.empty()) {
      // Anything there (a FIFO, a folder) is left to the loader, which names what it is.
      std::error_code ignored;
      if (!std::filesystem::exists(o.settings, ignored)) throw Error("the settings file " + forMessage(o.settings, 240) + " does not exist");
      LoadActFile(model, o.settings);
    }
    if (o.adc) model.setChecked("ADCCheck", true);
    if (o.acp) model.setChecked("ACPCheck", true);
    for (const auto& [typed, s] : o.sets) typed ? applyType(model, s) : applySet(model, s);
    if (o.fuses) {
      printFuses(model.config());
    } else if (!o.wiring.empty()) {
      const ProjectConfig cfg = model.config();
      writeWiringSheet(cfg, o.wiring);
      for (const PinConflict& k : pinConflicts(cfg)) std::cerr << "tamberlo-gen: warning: " << k.message << "\n";
    } else if (o.preview) {
      model.userSelectPage(*o.preview);
      model.run("BitBtn1Click");
      for (const auto& line : model.previewLines()) std::cout << line << "\n";
    } else if (!writes) {
      const MergeOutcome plan = generateProject(model, RunMode::DryRun);
      for (const auto& f : plan.files) {
        if (o.dryRun || (f.action != FileAction::Unchanged && f.action != FileAction::Kept)) {
          std::cout << actionName(f.action) << std::string(10 - actionName(f.action).size(), ' ') << f.name << "\n";
        }
      }
      for (const auto& name : plan.retired) std::cout << "kept      " << name << " (no longer generated)\n";
      if (o.check && plan.differs()) return 3;
    } else {
      model.run("BitBtn2Click");
    }
    if (!o.saveAct.empty()) SaveActFile(model, o.saveAct);
    return 0;
  } catch (const std::exception& e) {
    std::string msg = messageForDisplay(localized(e.what()));
    for (auto& c : msg) {
      if (c == '\n') c = ' ';
    }
    std::cerr << "tamberlo-gen: error: " << msg << "\n";
    return 1;
  }
}
