// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeping windows inside the screen's available area.
#include <QMargins>
#include <QPoint>
#include <QRect>

class QWidget;

namespace tamberlo::gui {

// `r` moved to lie inside `area`; shrunk first where it is larger.
QRect fitInside(QRect r, const QRect& area);

// The window's frame (title bar and borders); zero until the window system
// has framed it.
QMargins frameMarginsOf(const QWidget* window);

// Moves a top-level window to `wanted` (its frame's corner), or as near to it
// as keeps the whole window inside its screen's available area; a window
// larger than that area is shrunk to fit. `frameGuess` stands in for a frame
// the window system has not reported yet (another window's frame).
void placeInsideScreen(QWidget* window, QPoint wanted, QMargins frameGuess = {});

}  // namespace tamberlo::gui
