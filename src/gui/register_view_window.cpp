// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/register_view_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/screen_fit.h"

namespace tamberlo::gui {
namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

QString hexText(int value) {
  return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

void showView(const RegisterView& view, QLabel* title, QTableWidget* table, QLabel* notes) {
  title->setText(view.title.empty() ? QStringLiteral("本页没有寄存器") : q(view.title));
  table->setVisible(!view.rows.empty());
  const int columns = static_cast<int>(view.rows.size());
  table->setColumnCount(columns);
  table->setRowCount(9);
  QStringList rowNames{QStringLiteral("值")};
  for (int bit = 7; bit >= 0; --bit) rowNames << QString::number(bit);
  table->setVerticalHeaderLabels(rowNames);
  QStringList names;
  const QColor on(255, 224, 160);
  for (int c = 0; c < columns; ++c) {
    const RegisterRow& r = view.rows[static_cast<size_t>(c)];
    names << q(r.name);
    auto* value = new QTableWidgetItem(hexText(r.value));
    QFont bold = value->font();
    bold.setBold(true);
    value->setFont(bold);
    value->setTextAlignment(Qt::AlignCenter);
    table->setItem(0, c, value);
    for (int bit = 7; bit >= 0; --bit) {
      const bool set = (r.value >> bit) & 1;
      const std::string& name = r.bits[static_cast<size_t>(7 - bit)];
      // Unnamed bits (a divisor byte) show their value instead.
      auto* item = new QTableWidgetItem(name == "-" ? QString::number(set) : q(name));
      item->setTextAlignment(Qt::AlignCenter);
      if (set) {
        item->setBackground(on);
        item->setFont(bold);
      } else {
        item->setForeground(table->palette().color(QPalette::Disabled, QPalette::Text));
      }
      table->setItem(8 - bit, c, item);
    }
  }
  table->setHorizontalHeaderLabels(names);
  table->resizeColumnsToContents();
  table->resizeRowsToContents();
  // The table as large as its cells, so nothing scrolls.
  // The headers' own sizes are not laid out before the window first shows:
  // their size hints are, so the view opens wide enough for every column.
  int w = table->verticalHeader()->sizeHint().width() + 2 * table->frameWidth();
  for (int c = 0; c < columns; ++c) w += std::max(table->columnWidth(c), table->horizontalHeader()->sectionSizeHint(c));
  int h = table->horizontalHeader()->sizeHint().height() + 2 * table->frameWidth();
  for (int r = 0; r < 9; ++r) h += table->rowHeight(r);
  table->setFixedSize(w, h);
  QStringList lines;
  for (const auto& n : view.notes) lines << q(n);
  notes->setText(lines.join(QLatin1Char('\n')));
  QPalette p = notes->palette();
  p.setColor(QPalette::WindowText, view.warning ? QColor(Qt::red) : table->palette().color(QPalette::WindowText));
  notes->setPalette(p);
}

}  // namespace

RegisterViewWindow::RegisterViewWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), owner_(owner) {
  setWindowTitle(QStringLiteral("寄存器"));
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(2, 2, 2, 2);
  tabs_ = new QTabWidget;
  outer->addWidget(tabs_);
  // One tab: a bold title, the table, the notes below.
  auto page = [this](const QString& name, QLabel*& title, QTableWidget*& table, QLabel*& notes) {
    auto* w = new QWidget;
    auto* v = new QVBoxLayout(w);
    v->setContentsMargins(6, 6, 6, 6);
    v->setSpacing(4);
    title = new QLabel;
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    v->addWidget(title);
    // Registers across, bits down (7 at the top), as a datasheet draws them.
    table = new QTableWidget;
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    table->setFocusPolicy(Qt::NoFocus);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    v->addWidget(table, 1);
    notes = new QLabel;
    notes->setWordWrap(true);
    v->addWidget(notes);
    tabs_->addTab(w, name);
  };
  page(QStringLiteral("寄存器"), title_, table_, notes_);
  page(QStringLiteral("熔丝位"), fuseTitle_, fuseTable_, fuseNotes_);
  connect(tabs_, &QTabWidget::currentChanged, this, [this] { adjustSize(); });
}

void RegisterViewWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->spontaneous()) Q_EMIT closedByUser();
}

void RegisterViewWindow::display(const RegisterView& view) {
  view_ = view;
  showView(view, title_, table_, notes_);
  adjustSize();
}

void RegisterViewWindow::displayFuses(const RegisterView& fuses) {
  fuses_ = fuses;
  showView(fuses, fuseTitle_, fuseTable_, fuseNotes_);
  adjustSize();
}

void RegisterViewWindow::placeBesideOwner() {
  if (!owner_) return;
  QScreen* screen = owner_->screen();
  if (!screen) return;
  const QRect area = screen->availableGeometry();
  const QMargins frame = frameMarginsOf(this);
  const QSize outer = size().grownBy(frame);
  QRect main = owner_->frameGeometry();
  constexpr int gap = 4;
  // Make room to the right by moving the editor left, as far as it can go.
  const int overflow = main.right() + gap + outer.width() - area.right();
  if (overflow > 0) {
    const int shift = std::min(overflow, main.left() - area.left());
    if (shift > 0) {
      owner_->move(owner_->pos() - QPoint(shift, 0));
      main.translate(-shift, 0);
    }
  }
  const QRect wanted(QPoint(main.right() + 1 + gap, main.top()), outer);
  move(fitInside(wanted, area).topLeft());  // a window's position is its frame's
}

}  // namespace tamberlo::gui
