// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/screen_fit.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace tamberlo::gui {

QRect fitInside(QRect r, const QRect& area) {
  r.setWidth(std::min(r.width(), area.width()));
  r.setHeight(std::min(r.height(), area.height()));
  r.moveLeft(std::clamp(r.left(), area.left(), area.right() - r.width() + 1));
  r.moveTop(std::clamp(r.top(), area.top(), area.bottom() - r.height() + 1));
  return r;
}

QMargins frameMarginsOf(const QWidget* window) {
  const QWindow* handle = window->windowHandle();
  return handle ? handle->frameMargins() : QMargins();
}

void placeInsideScreen(QWidget* window, QPoint wanted, QMargins frameGuess) {
  QScreen* screen = QGuiApplication::screenAt(wanted);
  if (!screen) screen = window->screen();
  if (!screen) return;
  QMargins frame = frameMarginsOf(window);
  if (frame.isNull()) frame = frameGuess;
  const QRect fitted = fitInside(QRect(wanted, window->size().grownBy(frame)), screen->availableGeometry());
  const QSize inner = fitted.size().shrunkBy(frame);
  if (inner != window->size()) window->resize(inner.expandedTo(window->minimumSize()));
  window->move(fitted.topLeft());
}

}  // namespace tamberlo::gui
