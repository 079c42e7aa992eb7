// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// 引脚图: the chip's package with every pin's owner beside it, conflicts in
// red and free pins grey; it follows every edit, a pin's tooltip tells its
// alternate functions, and "导出接线图" writes the wiring sheet.
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include "app/wiring_sheet.h"

namespace tamberlo::gui {

class ChipCanvas : public QWidget {
  Q_OBJECT
 public:
  explicit ChipCanvas(QWidget* parent = nullptr);
  void setDrawing(const ChipDrawing* drawing);
  // The tooltip of the pin nearest `at` (within a few millimetres), or "".
  QString tooltipAt(QPoint at) const;
  // Where pin `number` (1-based) ends on the canvas.
  QPoint pinPoint(int number) const;

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool event(QEvent* event) override;

 private:
  double scale() const;
  QPointF origin() const;
  const ChipDrawing* drawing_ = nullptr;
};

class ChipViewWindow : public QWidget {
  Q_OBJECT
 public:
  explicit ChipViewWindow(QWidget* parent = nullptr);
  // Shows the configuration's chip (a chip without a known pin-out: a note).
  void follow(const ProjectConfig& cfg);
  // Writes the wiring sheet; the error's text, or "" when written.
  QString exportTo(const QString& path);
  ChipCanvas* canvas() const { return canvas_; }
  const ChipDrawing& drawing() const { return drawing_; }
  QLabel* problems() const { return problems_; }

 private:
  void exportAsked();
  ProjectConfig cfg_;
  ChipDrawing drawing_;
  ChipCanvas* canvas_;
  QLabel* problems_;
  QPushButton* export_;
};

}  // namespace tamberlo::gui
