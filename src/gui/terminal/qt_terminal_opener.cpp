// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/terminal/qt_terminal_opener.h"

#include <QEvent>
#include <QTimer>

#include "gui/screen_fit.h"
#include "gui/terminal/terminal_window.h"

namespace tamberlo {

QtTerminalOpener::QtTerminalOpener(QWidget* owner) : owner_(owner) {
  if (owner) {
    owner->installEventFilter(this);
    connect(owner, &QObject::destroyed, this, &QtTerminalOpener::closeAll);
  }
}

QtTerminalOpener::~QtTerminalOpener() {
  if (owner_) owner_->removeEventFilter(this);
  closeAll();
}

void QtTerminalOpener::ComOpenForm(const ComOpenArgs& args) {
  auto* window = new terminal::TerminalWindow(args);
  window->setAttribute(Qt::WA_DeleteOnClose);
  // The editor alone decides when the program ends.
  window->setAttribute(Qt::WA_QuitOnClose, false);
  terminals_.append(window);
  window->show();
  if (owner_) {
    // Beside the editor, clear of the terminals already open where the
    // screen has room; every button stays on the screen.
    QList<QRect> others;
    for (terminal::TerminalWindow* t : terminals()) {
      if (t != window && t->isVisible()) others << t->frameGeometry();
    }
    gui::placeBeside(window, owner_, others);
  }
  window->raise();
  window->activateWindow();
}

QList<terminal::TerminalWindow*> QtTerminalOpener::terminals() const {
  QList<terminal::TerminalWindow*> open;
  for (const auto& window : terminals_) {
    if (window) open.append(window.data());
  }
  return open;
}

void QtTerminalOpener::closeAll() {
  const QList<terminal::TerminalWindow*> open = terminals();
  terminals_.clear();
  for (terminal::TerminalWindow* window : open) {
    window->close();  // closes its port
    // Deleted now rather than later: at the owner's end there may be no
    // event loop left to run a deferred delete.
    delete window;
  }
}

bool QtTerminalOpener::eventFilter(QObject* watched, QEvent* event) {
  if (watched == owner_ && event->type() == QEvent::Close) {
    // The editor may still refuse to close; look once it has decided.
    QTimer::singleShot(0, this, [this] {
      if (!owner_ || !owner_->isVisible()) closeAll();
    });
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tamberlo
