// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/editor_model.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <thread>

#include "app/typed_text.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "platform/ini_file.h"

namespace tamberlo {

EditorModel::EditorModel() { buildControls(); }

void EditorModel::afterEdit() {
  if (inAfterEdit_ || handlerDepth_ > 0) return;
  inAfterEdit_ = true;
  struct Leave {
    bool& on;
    ~Leave() { on = false; }
  } leave{inAfterEdit_};
  for (const Handler& h : afterEdit_) h(*this);
}

namespace {
// Runs the after-edit hooks when a user edit is done, however it ends.
struct AfterEdit {
  std::function<void()> run;
  ~AfterEdit() {
    try {
      run();
    } catch (...) {
      // The edit's own error is the one the user sees.
    }
  }
};
}  // namespace

bool EditorModel::has(std::string_view name) const {
  return index_.find(std::string(name)) != index_.end();
}

Control& EditorModel::ctl(std::string_view name) {
  auto it = index_.find(std::string(name));
  if (it == index_.end()) throw Error("the window has no control named " + std::string(name));
  return controls_[it->second];
}

const Control& EditorModel::ctl(std::string_view name) const {
  auto it = index_.find(std::string(name));
  if (it == index_.end()) throw Error("the window has no control named " + std::string(name));
  return controls_[it->second];
}

void EditorModel::fire(const Control& c) {
  if (!c.handler.empty()) run(c.handler);
}

void EditorModel::setChecked(std::string_view name, bool on) {
  Control& c = ctl(name);
  if (c.checked == on) return;
  c.checked = on;
  ++revision_;
  if (c.kind == ControlKind::RadioButton && on) {
    for (auto& other : controls_) {
      if (&other != &c && other.kind == ControlKind::RadioButton && other.group == c.group) {
        other.checked = false;
      }
    }
  }
  // A radio button reports a click only when it becomes checked.
  if (c.kind == ControlKind::RadioButton && !on) return;
  std::string handler = c.handler;
  if (!handler.empty()) run(handler);
}

void EditorModel::setItemIndex(std::string_view name, int index) {
  Control& c = ctl(name);
  if (index >= 0 && static_cast<size_t>(index) < c.items.size()) {
    c.itemIndex = index;
    c.text = c.items[static_cast<size_t>(index)];
  } else {
    c.itemIndex = -1;
    if (c.kind == ControlKind::ComboBox) c.text.clear();
  }
  ++revision_;
}

void EditorModel::setItems(std::string_view name, std::vector<std::string> items) {
  Control& c = ctl(name);
  c.items = std::move(items);
  c.itemIndex = -1;
  ++revision_;
}

void EditorModel::setText(std::string_view name, std::string_view text) {
  Control& c = ctl(name);
  if (c.kind == ControlKind::ComboBox) {
    c.text = std::string(text);
    auto it = std::find(c.items.begin(), c.items.end(), c.text);
    c.itemIndex = it == c.items.end() ? -1 : static_cast<int>(it - c.items.begin());
    ++revision_;
    return;
  }
  if (c.text == text) return;
  c.text = std::string(text);
  ++revision_;
  if (c.kind == ControlKind::Edit && !c.handler.empty()) {
    std::string handler = c.handler;
    run(handler);
  }
}

void EditorModel::setCaption(std::string_view name, std::string_view caption) {
  Control& c = ctl(name);
  if (c.caption == caption) return;
  c.caption = std::string(caption);
  ++revision_;
}

void EditorModel::setEnabled(std::string_view name, bool on) {
  Control& c = ctl(name);
  if (c.enabled == on) return;
  c.enabled = on;
  ++revision_;
}

void EditorModel::setVisible(std::string_view name, bool on) {
  Control& c = ctl(name);
  if (c.visible == on) return;
  c.visible = on;
  ++revision_;
}

void EditorModel::setValue(std::string_view name, int value) {
  Control& c = ctl(name);
  if (c.kind == ControlKind::SpinEdit) value = std::clamp(value, c.minValue, c.maxValue);
  if (c.value == value) return;
  c.value = value;
  ++revision_;
}

void EditorModel::userClick(std::string_view name) {
  AfterEdit after{[this] { afterEdit(); }};
  Control& c = ctl(name);
  if (!c.enabled) return;
  switch (c.kind) {
    case ControlKind::CheckBox:
      // The click handler runs once, through the state change.
      setChecked(name, !c.checked);
      return;
    case ControlKind::RadioButton:
      if (!c.checked) setChecked(name, true);
      return;
    default:
      fire(c);
      return;
  }
}

void EditorModel::userSelect(std::string_view name, int index) {
  AfterEdit after{[this] { afterEdit(); }};
  Control& c = ctl(name);
  if (c.kind == ControlKind::PageControl) {
    userSelectPage(index);
    return;
  }
  setItemIndex(name, index);
  fire(ctl(name));
}

void EditorModel::userType(std::string_view name, std::string_view typed) {
  AfterEdit after{[this] { afterEdit(); }};
  Control& c = ctl(name);
  // Checked before it reaches the control: a refused text changes nothing.
  const std::string text = acceptTypedText(*this, name, typed);
  if (c.kind == ControlKind::Edit) {
    setText(name, text);  // runs the change handler when the text changes
    return;
  }
  setText(name, text);
  fire(ctl(name));
}

void EditorModel::userSetValue(std::string_view name, int value) {
  AfterEdit after{[this] { afterEdit(); }};
  setValue(name, value);
  fire(ctl(name));
}

void EditorModel::userSelectPage(int pageIndex) {
  const auto& pages = pageNames();
  if (pageIndex < 0 || static_cast<size_t>(pageIndex) >= pages.size()) return;
  setValue("PageControl1", pageIndex);
}

int EditorModel::activePage() const { return ctl("PageControl1").value; }

void EditorModel::addHandler(std::string name, Handler handler) {
  handlers_[std::move(name)] = std::move(handler);
}

bool EditorModel::hasHandler(std::string_view name) const {
  return handlers_.find(std::string(name)) != handlers_.end();
}

void EditorModel::run(std::string_view name) {
  auto it = handlers_.find(std::string(name));
  if (it == handlers_.end()) throw Error("no handler is registered under the name " + std::string(name));
  // Handlers re-run each other through state changes; a cycle would be a bug,
  // but it must not take the program down with a stack overflow.
  if (handlerDepth_ > 64) throw Error("the handler " + std::string(name) + " runs itself without end");
  ++handlerDepth_;
  struct Leave {
    int& depth;
    ~Leave() { --depth; }
  } leave{handlerDepth_};
  Handler handler = it->second;  // a copy: a handler may add handlers
  handler(*this);
  ++revision_;
  if (handlerDepth_ == 1) {
    --handlerDepth_;
    afterEdit();
    ++handlerDepth_;
  }
}

void EditorModel::setProjectDir(const std::string& dir) { projectDir_ = withTrailingSeparator(dir); }

std::optional<IniFile> EditorModel::openActIni() {
  if (actIniLeftAlone_) return std::nullopt;
  try {
    return IniFile(actIniPath());
  } catch (const Error& e) {
    noteActIniProblem(e, true);
    return std::nullopt;
  }
}

void EditorModel::saveActIni(const IniFile& ini) {
  if (actIniLeftAlone_) return;
  try {
    ini.save();
  } catch (const Error& e) {
    noteActIniProblem(e, true);
  }
}

namespace {

// How long a writer waits for another program's act.ini write to end. A
// write takes milliseconds; a lock held longer belongs to a stuck program.
constexpr int kActIniLockWaitMs = 5000;

// Every writer holds the lock from its temporary file to the rename, so
// while we hold it any such file is a killed writer's.
void removeActIniStrays(const std::string& folder) {
  DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return;
  while (const dirent* e = ::readdir(dir)) {
    if (isOwnSideFile(e->d_name, "act.ini", ".tmp")) ::unlinkat(::dirfd(dir), e->d_name, 0);
  }
  ::closedir(dir);
}

}  // namespace

void EditorModel::updateActIni(const std::function<void(IniFile&)>& change) {
  if (actIniLeftAlone_) return;
  // A lock on a file of its own beside act.ini: act.ini itself is replaced
  // by rename, so a lock on it would be on a file no longer there.
  std::optional<FileLock> lock;
  try {
    lock.emplace(actIniPath() + ".lock", kActIniLockWaitMs,
                 "act.ini is being written by another program for more than " +
                     std::to_string(kActIniLockWaitMs / 1000) + " s (" + actIniPath() + ".lock is locked)");
  } catch (const Error& e) {
    noteActIniProblem(e, true);
    return;
  }
  if (lock->held()) removeActIniStrays(actIniFolder_);
  auto ini = openActIni();
  if (!ini) return;
  change(*ini);
  saveActIni(*ini);
}

void EditorModel::writeActIni(std::string_view section, std::string_view key, std::string_view value) {
  updateActIni([&](IniFile& ini) { ini.writeString(section, key, value); });
}

void EditorModel::noteActIniProblem(const Error& e, bool leaveFileAlone) {
  if (actIniLeftAlone_) return;  // told once already
  actIniLeftAlone_ = leaveFileAlone;
  std::string text = e.what();
  text += leaveFileAlone ? "\nact.ini is left as it is; choices made now are not remembered."
                         : "\nThe default is used instead.";
  if (dialogs_) dialogs_->showMessage(text);
}

void EditorModel::addWarning(std::string_view message) {
  std::string m(message);
  for (const auto& w : warnings_) {
    if (w == m) return;  // one module may notice the same limit twice
  }
  warnings_.push_back(std::move(m));
}

void EditorModel::setStatus(std::string_view message) {
  setCaption("Panel2", message);
  if (statusListener_) statusListener_(std::string(message));
}

void EditorModel::clearPreview() {
  preview_.clear();
  syncPreview();
}

void EditorModel::syncPreview() {
  std::string joined;
  for (size_t i = 0; i < preview_.size(); ++i) {
    if (i) joined += '\n';
    joined += preview_[i];
  }
  Control& memo = ctl("Memo1");
  if (memo.text != joined) {
    memo.text = std::move(joined);
    ++revision_;
  }
}

}  // namespace tamberlo
