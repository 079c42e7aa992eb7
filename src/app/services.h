// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the editor asks of its surroundings: dialogs, message boxes, the shell,
// the serial terminal. The window supplies Qt implementations; headless runs
// and tests supply their own.
#include <optional>
#include <string>
#include <vector>

namespace tamberlo {

// Opaque owner-window handle handed to the module library and the terminal.
using WindowHandle = void*;

// Arguments of the serial terminal library's ComOpenForm.
struct ComOpenArgs {
  WindowHandle window = nullptr;
  int port = -1;        // the constant -1
  int baud = 0;         // baud item index + 1 (1 = 110 ... 15 = 256000)
  int parity = 0;       // 0 none/reserved, 2 even, 1 odd
  int dataBits = 3;     // item index: 0 = 5 bits ... 3 = 8 bits
  int stopBits = 0;     // 2 with two stop bits, else 0
  int flags = 2;        // the constant 2
  bool operator==(const ComOpenArgs&) const = default;
};

class TerminalOpener {
 public:
  virtual ~TerminalOpener() = default;
  virtual void ComOpenForm(const ComOpenArgs& args) = 0;
};

class UserDialogs {
 public:
  virtual ~UserDialogs() = default;
  // Open/save dialogs for .act files (filter "Act文件(*.act)|*.act");
  // nullopt when cancelled. Names are returned as typed.
  virtual std::optional<std::string> openActFile() = 0;
  virtual std::optional<std::string> saveActFile() = 0;
  // The compiler-folder choice: any file; nullopt when cancelled.
  virtual std::optional<std::string> chooseCompilerFile() = 0;
  // A modal information message (the settings version notice).
  virtual void showMessage(const std::string& text) = 0;
  // The warnings of a generation run (a project that will not fit or cannot
  // work as wired), one line each, shown after the run. The files are written.
  virtual void showWarnings(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += (text.empty() ? "" : "\n") + l;
    showMessage(text);
  }
  // Open a web address with the desktop's default handler.
  virtual void openUrl(const std::string& url) = 0;
  // The same, telling whether a handler took the address (false when the
  // desktop has no browser to open it with).
  virtual bool openWebAddress(const std::string& url) {
    openUrl(url);
    return true;
  }
};

}  // namespace tamberlo
