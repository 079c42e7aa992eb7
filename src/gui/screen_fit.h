// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Keeping windows inside the screen's available area.
#include <QList>
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

// Places a top-level window next to `anchor` on the anchor's screen: to its
// right, left, below or above, else in a corner of the screen, the first of
// these where it lies wholly on the screen without covering anything; where
// every place covers something, the one that covers least, `keepClear`
// (frame rectangles in screen coordinates) counting most, then the anchor,
// then the program's other windows.
// The window always ends up inside the screen's available area, shrunk to
// fit (not below its minimum size) when it is larger.
void placeBeside(QWidget* window, const QWidget* anchor, const QList<QRect>& keepClear = {});

}  // namespace tamberlo::gui
