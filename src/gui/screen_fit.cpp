// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/screen_fit.h"

#include <QApplication>
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

namespace {

qint64 overlap(const QRect& a, const QRect& b) {
  const QRect common = a.intersected(b);
  return common.isEmpty() ? 0 : qint64(common.width()) * common.height();
}

}  // namespace

void placeBeside(QWidget* window, const QWidget* anchor, const QList<QRect>& keepClear) {
  QScreen* screen = anchor ? anchor->screen() : window->screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  QMargins frame = frameMarginsOf(window);
  if (frame.isNull() && anchor) frame = frameMarginsOf(anchor);
  // Larger than the screen: shrink first, so that every place below fits.
  const QSize most = area.size().shrunkBy(frame);
  if (window->width() > most.width() || window->height() > most.height())
    window->resize(window->size().boundedTo(most).expandedTo(window->minimumSize()));
  const QSize outer = window->size().grownBy(frame);
  if (!anchor) {
    window->move(fitInside(QRect(area.center() - QPoint(outer.width() / 2, outer.height() / 2), outer), area).topLeft());
    return;
  }
  const QRect owner = anchor->frameGeometry();
  // The program's other windows count too, less than the anchor.
  QList<QRect> others;
  for (QWidget* top : QApplication::topLevelWidgets()) {
    if (top != window && top != anchor && top->isVisible() && !top->isMinimized()) others << top->frameGeometry();
  }
  constexpr int gap = 4;
  // Beside the anchor first; the screen's corners where no side has room.
  const QPoint tries[] = {{owner.right() + 1 + gap, owner.top()},
                          {owner.left() - gap - outer.width(), owner.top()},
                          {owner.left(), owner.bottom() + 1 + gap},
                          {owner.left(), owner.top() - gap - outer.height()},
                          area.topRight() - QPoint(outer.width() - 1, 0),
                          area.bottomRight() - QPoint(outer.width() - 1, outer.height() - 1),
                          area.topLeft(),
                          area.bottomLeft() - QPoint(0, outer.height() - 1)};
  QRect best;
  qint64 bestCost = -1;
  for (const QPoint& at : tries) {
    const QRect r = fitInside(QRect(at, outer), area);
    qint64 cost = 2 * overlap(r, owner);
    for (const QRect& other : others) cost += overlap(r, other);
    for (const QRect& clear : keepClear) cost += 8 * overlap(r, clear);
    if (bestCost < 0 || cost < bestCost) {
      best = r;
      bestCost = cost;
    }
  }
  window->move(best.topLeft());  // a window's position is its frame's
}

}  // namespace tamberlo::gui
