// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Binds the widgets of a window to the editor model by name: a widget whose
// objectName is a control name shows that control. User edits go to the
// model (only user-action signals are forwarded, so each edit runs its
// handler once); afterwards every widget is re-read from the model with its
// signals blocked, touching only what changed.
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <exception>
#include <functional>

#include "app/editor_model.h"
#include "settings/act_file.h"

class QLabel;
class QWidget;

namespace tamberlo::gui {

class ModelBinder : public QObject {
  Q_OBJECT
 public:
  // Shows a failure of a user action; `action` names the control whose
  // handler failed.
  using ErrorSink = std::function<void(const QString& action, const std::exception& error)>;

  // Binds `root` and every named widget below it. Names Qt gives its own
  // inner widgets ("qt_...") are skipped.
  ModelBinder(EditorModel& model, QWidget* root, ErrorSink errorSink);

  // Model to widgets: all controls, or one.
  void refresh();
  void refresh(const std::string& controlName);

  // Runs a model operation as a user action: errors go to the sink, then the
  // widgets are re-read, whatever happened.
  void act(const QString& action, const std::function<void()>& operation);
  // Runs the handler of text typed into a field. A failure is held, and the
  // field's text shown in red, until the user finishes the entry (Enter or
  // leaving the field): a message box in mid-typing would swallow the next
  // keys. Typing that mends the text drops the held failure.
  void actTyping(const std::string& controlName, const std::function<void()>& operation);
  // The held failure of a field, empty when there is none.
  QString pendingError(const std::string& controlName) const;
  // The user finished an entry: a held failure is shown now.
  void finishEntry(const std::string& controlName);

  // Called after every full refresh, for views that follow the model as a whole.
  void setAfterRefresh(std::function<void()> after) { afterRefresh_ = std::move(after); }

  QWidget* widget(const std::string& controlName) const;
  // Named widgets with no control of that name, and controls without a widget.
  QStringList widgetsWithoutControl() const;
  QStringList controlsWithoutWidget() const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Binding {
    QPointer<QWidget> widget;
    QPointer<QLabel> buddy;  // the caption of a labelled edit box
  };

  void bind(QWidget* w);
  void apply(Binding& b, const Control& c);
  void markField(const std::string& controlName, bool failed);
  void dropMendedErrors();

  EditorModel& model_;
  ErrorSink errorSink_;
  std::unordered_map<std::string, Binding> bindings_;
  QStringList strangers_;
  bool refreshing_ = false;
  std::unordered_map<std::string, QString> pendingErrors_;
  std::unordered_map<std::string, QString> refusedTexts_;  // shown in red
  std::function<void()> afterRefresh_;
};

}  // namespace tamberlo::gui
