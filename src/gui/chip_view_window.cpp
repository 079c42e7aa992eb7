// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/chip_view_window.h"

#include <QEvent>
#include <QFileDialog>
#include <QHelpEvent>
#include <QMessageBox>
#include <QPainter>
#include <QToolTip>
#include <QVBoxLayout>
#include <cmath>

#include "platform/messages.h"

namespace tamberlo::gui {
namespace {

QColor colourOf(PinState s) {
  switch (s) {
    case PinState::Free: return QColor(0x9a, 0x9a, 0x9a);
    case PinState::Used: return QColor(0x1a, 0x4f, 0xa0);
    case PinState::Conflict: return QColor(0xd0, 0x10, 0x10);
    case PinState::Notice: return QColor(0xb0, 0x60, 0x00);
    case PinState::Fixed: return QColor(0x40, 0x40, 0x40);
  }
  return Qt::black;
}

QString q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

}  // namespace

ChipCanvas::ChipCanvas(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setMinimumSize(520, 420);
  setAutoFillBackground(true);
  QPalette p = palette();
  p.setColor(QPalette::Window, Qt::white);
  setPalette(p);
}

void ChipCanvas::setDrawing(const ChipDrawing* drawing) {
  drawing_ = drawing;
  update();
}

double ChipCanvas::scale() const {
  if (!drawing_ || drawing_->width <= 0 || drawing_->height <= 0) return 1;
  return std::min(width() / drawing_->width, height() / drawing_->height);
}

QPointF ChipCanvas::origin() const {
  if (!drawing_) return {};
  const double s = scale();
  return {(width() - drawing_->width * s) / 2, (height() - drawing_->height * s) / 2};
}

QPoint ChipCanvas::pinPoint(int number) const {
  if (!drawing_) return {};
  for (const DrawnPin& p : drawing_->pins) {
    if (p.number == number) return (origin() + QPointF(p.x, p.y) * scale()).toPoint();
  }
  return {};
}

QString ChipCanvas::tooltipAt(QPoint at) const {
  if (!drawing_) return {};
  const double s = scale();
  const QPointF o = origin();
  const DrawnPin* best = nullptr;
  double bestDistance = 4.0;  // millimetres of the drawing: the pin's stub and label
  for (const DrawnPin& p : drawing_->pins) {
    // The pin reaches 3 mm outward from the body; measure to its middle.
    const double dx = p.side == 'L' ? -1.5 : p.side == 'R' ? 1.5 : 0;
    const double dy = p.side == 'T' ? -1.5 : p.side == 'B' ? 1.5 : 0;
    const double d = std::hypot((at.x() - o.x()) / s - (p.x + dx), (at.y() - o.y()) / s - (p.y + dy));
    if (d < bestDistance) bestDistance = d, best = &p;
  }
  return best ? q(inChinese(best->tooltip)) : QString();
}

bool ChipCanvas::event(QEvent* e) {
  if (e->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(e);
    const QString tip = tooltipAt(help->pos());
    if (tip.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
  }
  return QWidget::event(e);
}

void ChipCanvas::paintEvent(QPaintEvent*) {
  if (!drawing_) return;
  const ChipDrawing& d = *drawing_;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setRenderHint(QPainter::TextAntialiasing);
  const double s = scale();
  painter.translate(origin());
  painter.scale(s, s);
  painter.setPen(QPen(Qt::black, 0.4));
  painter.setBrush(QColor(0xf4, 0xf4, 0xf4));
  painter.drawRect(QRectF(d.bodyX, d.bodyY, d.bodyW, d.bodyH));
  QFont font = painter.font();
  font.setPointSizeF(3.2);
  font.setBold(true);
  painter.setFont(font);
  const QRectF body(d.bodyX, d.bodyY, d.bodyW, d.bodyH);
  painter.drawText(body.adjusted(0, 0, 0, -4), Qt::AlignCenter, q(d.mcu));
  font.setBold(false);
  font.setPointSizeF(2.2);
  painter.setFont(font);
  painter.drawText(body.adjusted(0, 4, 0, 0), Qt::AlignCenter, q(d.package));
  for (const DrawnPin& p : d.pins) {
    const QColor colour = colourOf(p.state);
    const bool vertical = p.side == 'T' || p.side == 'B';
    const double out = p.side == 'L' || p.side == 'T' ? -1 : 1;
    painter.setPen(QPen(colour, 0.5));
    painter.drawLine(QPointF(p.x, p.y), vertical ? QPointF(p.x, p.y + out * 3) : QPointF(p.x + out * 3, p.y));
    painter.save();
    painter.translate(p.x, p.y);
    if (vertical) painter.rotate(-90);
    // After the rotation "outward" is along x for every side.
    const double dir = p.side == 'L' || p.side == 'B' ? -1 : 1;
    auto put = [&](double from, double width, const QString& text, const QColor& c, double size, bool bold) {
      QFont f = painter.font();
      f.setPointSizeF(size);
      f.setBold(bold);
      painter.setFont(f);
      painter.setPen(c);
      const QRectF box = dir < 0 ? QRectF(-from - width, -2, width, 4) : QRectF(from, -2, width, 4);
      painter.drawText(box, Qt::AlignVCenter | (dir < 0 ? Qt::AlignRight : Qt::AlignLeft), text);
    };
    put(-9.5, 8.5, q(p.label), colourOf(p.state == PinState::Free ? PinState::Fixed : p.state), 1.9, false);
    put(3.4, 4, QString::number(p.number), QColor(0x40, 0x40, 0x40), 1.7, false);
    if (!p.owner.empty()) put(7.5, vertical ? 36 : 60, q(inChinese(p.owner)), colour, 2.2, p.state == PinState::Conflict);
    painter.restore();
  }
}

ChipViewWindow::ChipViewWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setWindowTitle(QStringLiteral("引脚图"));
  auto* layout = new QVBoxLayout(this);
  canvas_ = new ChipCanvas(this);
  layout->addWidget(canvas_, 1);
  problems_ = new QLabel(this);
  problems_->setWordWrap(true);
  problems_->setTextFormat(Qt::PlainText);
  QPalette p = problems_->palette();
  p.setColor(QPalette::WindowText, QColor(0xd0, 0x10, 0x10));
  problems_->setPalette(p);
  layout->addWidget(problems_);
  export_ = new QPushButton(QStringLiteral("导出接线图"), this);
  connect(export_, &QPushButton::clicked, this, &ChipViewWindow::exportAsked);
  layout->addWidget(export_, 0, Qt::AlignRight);
  resize(620, 640);
}

void ChipViewWindow::follow(const ProjectConfig& cfg) {
  cfg_ = cfg;
  try {
    drawing_ = drawChip(cfg);
    canvas_->setDrawing(&drawing_);
    setWindowTitle(QStringLiteral("引脚图 - ") + q(drawing_.mcu) + QStringLiteral(" ") + q(drawing_.package));
    QString text;
    for (const std::string& line : drawing_.problems) text += (text.isEmpty() ? "" : "\n") + q(inChinese(line));
    problems_->setText(text);
    export_->setEnabled(true);
  } catch (const std::exception& e) {
    drawing_ = {};
    canvas_->setDrawing(nullptr);
    problems_->setText(q(inChinese(e.what())));
    export_->setEnabled(false);
  }
}

QString ChipViewWindow::exportTo(const QString& path) {
  try {
    writeWiringSheet(cfg_, path.toStdString());
    return {};
  } catch (const std::exception& e) {
    return QString::fromUtf8(e.what());
  }
}

void ChipViewWindow::exportAsked() {
  QString path = QFileDialog::getSaveFileName(this, QStringLiteral("导出接线图"), QStringLiteral("wiring.svg"),
                                              QStringLiteral("SVG (*.svg);;HTML (*.html *.htm)"));
  if (path.isEmpty()) return;
  const QString error = exportTo(path);
  if (!error.isEmpty()) QMessageBox::warning(this, QStringLiteral("导出接线图"), error);
}

}  // namespace tamberlo::gui
