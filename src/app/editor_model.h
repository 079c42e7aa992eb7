// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The headless editor: the state of every control of the window, the change
// handlers, the register shadows and the process-wide values. The window only
// forwards user edits here and re-reads the controls; tamberlo-gen and the
// tests drive the same object.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "app/control.h"
#include "app/file_places.h"
#include "app/project_config.h"
#include "app/services.h"
#include "platform/error.h"
#include "platform/ini_file.h"
#include "app/register_shadows.h"

namespace tamberlo {

class EditorModel {
 public:
  using Handler = std::function<void(EditorModel&)>;

  // The controls in their start state, with no handlers: the assembly
  // (assembly/editor.h) wires in every layer's.
  EditorModel();
  virtual ~EditorModel() = default;
  EditorModel(const EditorModel&) = delete;
  EditorModel& operator=(const EditorModel&) = delete;

  // ---- start-up ----------------------------------------------------------
  // Fixes ExeDir, ProjectDir and where act.ini and the update files go, and
  // creates the project folder with its output folder. A given `exeDir` is
  // used as the program's own folder; without one the running executable's
  // folder decides (placeFilesForExecutable with the XDG user folders).
  void FormCreate(const std::string& exeDir = {});
  void FormCreate(const FilePlaces& places);
  // Every start value in order, then the act.ini choices.
  void FormShow();
  // One tick of the title cycle.
  void Timer1Timer();

  // ---- controls ----------------------------------------------------------
  bool has(std::string_view name) const;
  // Error for a name the window does not have.
  Control& ctl(std::string_view name);
  const Control& ctl(std::string_view name) const;
  const std::vector<Control>& controls() const { return controls_; }

  bool checked(std::string_view name) const { return ctl(name).checked; }
  const std::string& text(std::string_view name) const { return ctl(name).text; }
  int itemIndex(std::string_view name) const { return ctl(name).itemIndex; }
  int value(std::string_view name) const { return ctl(name).value; }
  bool enabled(std::string_view name) const { return ctl(name).enabled; }
  const std::string& caption(std::string_view name) const { return ctl(name).caption; }

  // Changes made by code behave as the original toolkit's property writes:
  // a check box or radio button whose state changes runs its click handler;
  // an edit box whose text changes runs its change handler; selecting an item
  // of a drop-down runs nothing. Ticking a radio button clears its siblings.
  void setChecked(std::string_view name, bool on);
  // An index outside the list selects nothing and empties the text.
  void setItemIndex(std::string_view name, int index);
  // Replaces the item list; the displayed text stays, nothing is selected.
  void setItems(std::string_view name, std::vector<std::string> items);
  // Edit boxes: runs the change handler when the text changes. Drop-downs:
  // shows the text, selecting the item that equals it (or none).
  void setText(std::string_view name, std::string_view text);
  void setCaption(std::string_view name, std::string_view caption);
  void setEnabled(std::string_view name, bool on);
  void setVisible(std::string_view name, bool on);
  // Spin boxes clamp to their range.
  void setValue(std::string_view name, int value);

  // ---- user actions (what the window forwards) ----------------------------
  // Each runs the control's handler exactly once. Errors from the handler
  // propagate (the window shows them; the control keeps the new state).
  void userClick(std::string_view name);  // toggles a check box, ticks a radio button, presses a button
  void userSelect(std::string_view name, int index);
  void userType(std::string_view name, std::string_view text);
  void userSetValue(std::string_view name, int value);
  void userSelectPage(int pageIndex);

  // ---- handlers ------------------------------------------------------------
  void addHandler(std::string name, Handler handler);
  // Runs after every user edit and every outermost handler, once its
  // changes are made (the pin conflict marks follow every edit this way).
  void addAfterEdit(Handler handler) { afterEdit_.push_back(std::move(handler)); }
  bool hasHandler(std::string_view name) const;
  // Runs the named handler; Error for a name nothing registered, so a
  // misspelt or forgotten handler shows at once instead of doing nothing.
  void run(std::string_view name);

  // ---- derived state ---------------------------------------------------------
  ProjectConfig config() const;
  RegisterShadows& shadows() { return shadows_; }
  const RegisterShadows& shadows() const { return shadows_; }
  bool& NeedDelay() { return needDelay_; }
  bool& UpdatePending() { return updatePending_; }
  int& UpdateWorkers() { return updateWorkers_; }
  std::string& CompilerPath() { return compilerPath_; }
  // The copy of the MCU name that the generators keep, refreshed from ComboBox3.
  std::string& currentMcu() { return currentMcu_; }

  const std::string& ExeDir() const { return exeDir_; }
  const std::string& ProjectDir() const { return projectDir_; }
  void setProjectDir(const std::string& dir);
  // Makes the project folder when it is missing; Error with the reason why
  // it cannot be made.
  void ensureProjectDir() const;
  std::string actIniPath() const { return actIniFolder_ + "act.ini"; }
  // Where the update check keeps update.ini.
  const std::string& UpdateDir() const { return updateDir_; }
  // True when the program's folder is not its own (see FilePlaces).
  bool Installed() const { return installed_; }
  // act.ini only remembers choices, so its problems never stop the editor.
  // A file that cannot be read fully or replaced is left alone for the rest
  // of the session (the user is told once); a value that cannot be used is
  // reported and its default taken.
  std::optional<IniFile> openActIni();
  void saveActIni(const IniFile& ini);
  // Read-modify-write of act.ini under its lock (act.ini.lock beside it), so
  // that two programs changing different values never lose one: the file
  // is read again once the lock is held, `change` edits it, and it is saved
  // before the lock is let go. Temporary files of killed writers
  // (act.ini.tmp*) are removed while the lock is held.
  void updateActIni(const std::function<void(IniFile&)>& change);
  // Writes one act.ini value at once, through updateActIni.
  void writeActIni(std::string_view section, std::string_view key, std::string_view value);
  void noteActIniProblem(const Error& e, bool leaveFileAlone);

  // Pages of PageControl1 by index: their control names.
  static const std::vector<std::string>& pageNames();
  int activePage() const;

  // The status pane Panel2; every message also goes to the listener.
  void setStatus(std::string_view message);
  void setStatusListener(std::function<void(const std::string&)> listener) {
    statusListener_ = std::move(listener);
  }

  // Warnings of the current generation run, in the order given; cleared when
  // a run starts and shown through the dialogs when it ends.
  void addWarning(std::string_view message);
  const std::vector<std::string>& warnings() const { return warnings_; }
  void clearWarnings() { warnings_.clear(); }

  // Memo1, the code preview pane.
  std::vector<std::string>& previewLines() { return preview_; }
  void clearPreview();
  // Pushes the preview lines into Memo1's text.
  void syncPreview();

  // Services (dialogs, terminal); the model works without them.
  void setDialogs(UserDialogs* dialogs) { dialogs_ = dialogs; }
  UserDialogs* dialogs() const { return dialogs_; }
  void setTerminalOpener(TerminalOpener* opener) { terminal_ = opener; }
  TerminalOpener* terminalOpener() const { return terminal_; }

  // Bumped on every change; the window re-reads the controls when it moves.
  unsigned long revision() const { return revision_; }
  void touch() { ++revision_; }

 private:
  void buildControls();
  void fire(const Control& c);
  void afterEdit();

  std::vector<Control> controls_;
  std::unordered_map<std::string, size_t> index_;
  std::unordered_map<std::string, Handler> handlers_;
  std::vector<Handler> afterEdit_;
  bool inAfterEdit_ = false;
  RegisterShadows shadows_;
  bool needDelay_ = false;
  bool updatePending_ = true;
  int updateWorkers_ = 0;
  std::string compilerPath_;
  bool actIniLeftAlone_ = false;
  std::string currentMcu_ = "ATMega16";
  std::string exeDir_;
  std::string projectDir_;
  std::string actIniFolder_;
  std::string updateDir_;
  bool installed_ = false;
  std::string placesProblem_;  // told once FormShow is done
  std::vector<std::string> preview_;
  std::vector<std::string> warnings_;
  std::function<void(const std::string&)> statusListener_;
  UserDialogs* dialogs_ = nullptr;
  TerminalOpener* terminal_ = nullptr;
  unsigned long revision_ = 0;
  int handlerDepth_ = 0;
};

// The handlers of this layer (the assembly adds every layer's to a model).
void installStartupHandlers(EditorModel& model);     // MCU, title, link, register view choice
void installPinEditorHandlers(EditorModel& model);   // LCD, USB, MP3 editors
void installPinMarks(EditorModel& model);            // pin conflicts marked on the pin boxes

// The three rate labels (SPI clock, TWI rate, ADC conversion time) from the
// shadows; shown at start, on crystal changes and by the bus handlers.
void refreshRateLabels(EditorModel& model);

// The UART register tooltips in the chip's register names: UCSRB, UBRRH on
// single-UART chips, UCSR0B, UBRR0H on the two-UART ones.
void applyUartHints(EditorModel& model, bool twoUarts);

}  // namespace tamberlo
