// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TForm1, the one window: the processor group, code preview, the four main
// buttons and the configuration pages. Every widget is named after its
// control; what the widgets show comes from the editor model.
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "app/editor_model.h"
#include "gui/model_binder.h"
#include "settings/act_file.h"

namespace tamberlo::gui {

class RegisterViewWindow;
class BoardWindow;
class ChipViewWindow;

class TForm1 : public QWidget {
  Q_OBJECT
 public:
  // The model must be created (FormCreate) and outlive the window. Without
  // `dialogs` the window uses Qt's own dialogs.
  explicit TForm1(EditorModel& model, UserDialogs* dialogs = nullptr, QWidget* parent = nullptr);
  ~TForm1() override;

  // Start values (the model's FormShow), then the widgets follow; the two
  // timers start.
  void FormShow();

  ModelBinder& binder() { return *binder_; }
  // The register view beside the window (hidden unless RegisterViewCheck).
  RegisterViewWindow* registerView() const { return registerView_; }
  EditorModel& model() { return model_; }
  // F5: builds the generated project and runs it on the virtual board.
  void openBoard();
  // The "工程目录..." button: a folder dialog, then the model's choice.
  void chooseProjectFolder();
  BoardWindow* board() const { return board_; }
  // The "引脚图" button: the chip view, which then follows every edit.
  void openChipView();
  ChipViewWindow* chipView() const { return chipView_; }

  // The outer size the window keeps, frame included.
  static constexpr int OuterWidth = 523;
  static constexpr int OuterHeight = 480;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void keepOnScreen();

 private:
  void buildWindow();
  void fitOuterSize();
  void syncRegisterView();
  void showProjectFolder();
  void showError(const QString& action, const std::exception& error);
  void Timer1Timer();
  void Timer2Timer();

  EditorModel& model_;
  std::unique_ptr<UserDialogs> ownDialogs_;
  std::unique_ptr<TerminalOpener> ownTerminal_;
  ModelBinder* binder_ = nullptr;
  RegisterViewWindow* registerView_ = nullptr;
  BoardWindow* board_ = nullptr;
  ChipViewWindow* chipView_ = nullptr;
  QLabel* folderLabel_ = nullptr;
  bool centred_ = false;
  QTimer timer1_;
  QTimer timer2_;
};

}  // namespace tamberlo::gui
