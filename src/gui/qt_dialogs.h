// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The editor's dialogs, message boxes and shell access, done with Qt.
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#include "app/services.h"

namespace tamberlo::gui {

class QtUserDialogs : public UserDialogs {
 public:
  explicit QtUserDialogs(QWidget* parent) : parent_(parent) {}

  std::optional<std::string> openActFile() override;
  std::optional<std::string> saveActFile() override;
  std::optional<std::string> chooseCompilerFile() override;
  void showMessage(const std::string& text) override;
  void showWarnings(const std::vector<std::string>& lines) override;
  void openUrl(const std::string& url) override;
  bool openWebAddress(const std::string& url) override;

 private:
  QPointer<QWidget> parent_;
};

// Loads Qt's Chinese translations into `app`; false when they are not
// installed (Qt's texts then stay English).
bool installChineseTranslations(QCoreApplication& app);

// Asks for a scalable Chinese font by name (Noto Sans CJK SC, then
// WenQuanYi Micro Hei) behind the style's own: left to itself, fontconfig may
// pick a bitmap CJK font that neither scales nor has a bold face.
void useScalableChineseFont();

}  // namespace tamberlo::gui
