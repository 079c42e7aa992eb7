#include "gui/register_view_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/screen_fit.h"

namespace tamberlo::gui {
namespace {

QString q(const std::string& s) {
  return QString::fromStdString(s);
}

QString hexText(int value) {
  return QStringLiteral("0x") + QStringLiteral("%1").arg(value, 2, 16, QLatin1Char('0')).toUpper();
}

}  // namespace

RegisterViewWindow::RegisterViewWindow(QWidget* owner)
    : QWidget(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), owner_(owner) {
  setWindowTitle(QStringLiteral("寄存器"));
  auto* v = new QVBoxLayout(this);
  v->setContentsMargins(6, 6, 6, 6);
  v->setSpacing(4);
  title_ = new QLabel;
  QFont bold = title_->font();
  bold.setBold(true);
  title_->setFont(bold);
  v->addWidget(title_);
  // Registers across, bits down (7 at the top), as a datasheet draws them.
  table_ = new QTableWidget;
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setSelectionMode(QAbstractItemView::NoSelection);
  table_->setFocusPolicy(Qt::NoFocus);
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  table_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  v->addWidget(table_, 1);
  notes_ = new QLabel;
  notes_->setWordWrap(true);
  v->addWidget(notes_);
}

void RegisterViewWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (event->spontaneous()) Q_EMIT closedByUser();
}

void RegisterViewWindow::display(const RegisterView& view) {
  view_ = view;
  title_->setText(view.title.empty() ? QStringLiteral("本页没有寄存器") : q(view.title));
  table_->setVisible(!view.rows.empty());
  const int columns = static_cast<int>(view.rows.size());
  table_->setColumnCount(columns);
  table_->setRowCount(9);
  QStringList rowNames{QStringLiteral("值")};
  for (int bit = 7; bit >= 0; --bit) rowNames << QString::number(bit);
  table_->setVerticalHeaderLabels(rowNames);
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
    table_->setItem(0, c, value);
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
        item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
      }
      table_->setItem(8 - bit, c, item);
    }
  }
  table_->setHorizontalHeaderLabels(names);
  table_->resizeColumnsToContents();
  table_->resizeRowsToContents();
  // The table as large as its cells, so nothing scrolls.
  int w = table_->verticalHeader()->width() + 2 * table_->frameWidth();
  for (int c = 0; c < columns; ++c) w += table_->columnWidth(c);
  int h = table_->horizontalHeader()->height() + 2 * table_->frameWidth();
  for (int r = 0; r < 9; ++r) h += table_->rowHeight(r);
  table_->setFixedSize(w, h);
  QStringList notes;
  for (const auto& n : view.notes) notes << q(n);
  notes_->setText(notes.join(QLatin1Char('\n')));
  QPalette p = notes_->palette();
  p.setColor(QPalette::WindowText, view.warning ? QColor(Qt::red) : palette().color(QPalette::WindowText));
  notes_->setPalette(p);
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
