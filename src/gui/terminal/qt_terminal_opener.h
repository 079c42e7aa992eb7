// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Opens serial terminals for the editor's UART pages. Each call opens a new
// window of its own (not owned by or kept above the editor), so several
// UARTs can be watched side by side; they all close with the owner.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

#include "app/services.h"

namespace tamberlo::terminal {
class TerminalWindow;
}

namespace tamberlo {

class QtTerminalOpener : public QObject, public TerminalOpener {
  Q_OBJECT

 public:
  explicit QtTerminalOpener(QWidget* owner);
  ~QtTerminalOpener() override;

  void ComOpenForm(const ComOpenArgs& args) override;

  // The terminals still open, oldest first.
  QList<terminal::TerminalWindow*> terminals() const;
  void closeAll();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QPointer<QWidget> owner_;
  QList<QPointer<terminal::TerminalWindow>> terminals_;
};

}  // namespace tamberlo
