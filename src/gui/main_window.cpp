// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/main_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>
#include <iterator>

#include "gen/generation.h"
#include "gui/board/board_window.h"
#include "gui/chip_view_window.h"
#include "gui/qt_dialogs.h"
#include "gui/register_view_window.h"
#include "gui/screen_fit.h"
#include "gui/window_pages.h"
#include "platform/messages.h"
#include "registers/register_view.h"

#if __has_include("gui/update_worker.h")
#include "gui/update_worker.h"
#define TAMBERLO_HAS_UPDATE_WORKER 1
#endif
#if __has_include("gui/terminal/qt_terminal_opener.h")
#include "gui/terminal/qt_terminal_opener.h"
#include "platform/text.h"
#define TAMBERLO_HAS_TERMINAL 1
#endif

namespace tamberlo::gui {
namespace {

// The four main buttons, with the keys that press them.
struct MainButton {
  const char* name;
  QKeySequence key;
};
const MainButton kMainButtons[] = {{"BitBtn5", QKeySequence(Qt::ALT | Qt::Key_O)},
                                   {"BitBtn6", QKeySequence(Qt::ALT | Qt::Key_S)},
                                   {"BitBtn1", QKeySequence(Qt::ALT | Qt::Key_P)},
                                   {"BitBtn2", QKeySequence(Qt::ALT | Qt::Key_G)}};

// Sets the colour of enabled text only: a disabled control keeps the
// style's disabled look whatever colour feedback it had before.
void setTextColor(QWidget* w, QPalette::ColorRole role, const QColor& color) {
  QPalette p = w->palette();
  p.setColor(QPalette::Active, role, color);
  p.setColor(QPalette::Inactive, role, color);
  w->setPalette(p);
}

// Controls whose caption sits in a label of its own: the caption names them
// in messages.
QString fieldCaption(const QWidget* w) {
  if (!w) return {};
  const QString own = w->property(kFieldCaption).toString();
  if (!own.isEmpty()) return own;
  for (QWidget* p = w->parentWidget(); p; p = p->parentWidget()) {
    if (!p->isWindow()) continue;
    for (QLabel* l : p->findChildren<QLabel*>()) {
      if (l->buddy() == w && !l->text().isEmpty()) return l->text();
    }
    break;
  }
  return {};
}

#ifndef TAMBERLO_HAS_TERMINAL
// Stands in while no serial terminal is built into the program.
class UnavailableTerminal : public TerminalOpener {
 public:
  explicit UnavailableTerminal(QWidget* parent) : parent_(parent) {}
  void ComOpenForm(const ComOpenArgs&) override {
    QMessageBox::information(parent_, QStringLiteral("Tamberlo"),
                             QStringLiteral("the serial terminal is not available"));
  }

 private:
  QWidget* parent_;
};
#endif

}  // namespace

TForm1::TForm1(EditorModel& model, UserDialogs* dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint |
                          Qt::MSWindowsFixedSizeDialogHint),
      model_(model) {
  setObjectName(QStringLiteral("Form1"));
  if (!dialogs) {
    ownDialogs_ = std::make_unique<QtUserDialogs>(this);
    dialogs = ownDialogs_.get();
  }
  model_.setDialogs(dialogs);
#ifdef TAMBERLO_HAS_TERMINAL
  ownTerminal_ = std::make_unique<QtTerminalOpener>(this);
#else
  ownTerminal_ = std::make_unique<UnavailableTerminal>(this);
#endif
  model_.setTerminalOpener(ownTerminal_.get());

  buildWindow();
  registerView_ = new RegisterViewWindow(this);
  connect(registerView_, &RegisterViewWindow::closedByUser, this, [this] {
    if (model_.checked("RegisterViewCheck")) {
      binder_->act(QStringLiteral("RegisterViewCheck"), [this] { model_.userClick("RegisterViewCheck"); });
    }
  });
  binder_ = new ModelBinder(model_, this,
                            [this](const QString& action, const std::exception& e) { showError(action, e); });
  binder_->setAfterRefresh([this] {
    syncRegisterView();
    if (chipView_ && chipView_->isVisible()) chipView_->follow(model_.config());
  });
  // Generation reports each step before doing it: show it at once.
  model_.setStatusListener([this](const std::string&) {
    binder_->refresh("Panel2");
    if (QWidget* pane = binder_->widget("Panel2")) pane->repaint();
  });

  // F5 runs the generated project on the virtual board, as F5 runs a
  // program in most IDEs; the window's own layout stays as it is.
  auto* board = new QShortcut(QKeySequence(Qt::Key_F5), this);
  connect(board, &QShortcut::activated, this, &TForm1::openBoard);

  timer1_.setInterval(1000);
  connect(&timer1_, &QTimer::timeout, this, &TForm1::Timer1Timer);
  timer2_.setInterval(5000);
  timer2_.setSingleShot(true);
  connect(&timer2_, &QTimer::timeout, this, &TForm1::Timer2Timer);
}

TForm1::~TForm1() {
  model_.setStatusListener({});
  if (ownDialogs_ && model_.dialogs() == ownDialogs_.get()) model_.setDialogs(nullptr);
  if (model_.terminalOpener() == ownTerminal_.get()) model_.setTerminalOpener(nullptr);
}

void TForm1::buildWindow() {
  auto* root = new QVBoxLayout(this);
  root->setContentsMargins(4, 4, 4, 2);
  root->setSpacing(2);

  auto* top = new QHBoxLayout;
  top->setSpacing(4);
  QFrame* left = buildProcessorPanel();
  left->setFixedWidth(178);
  top->addWidget(left, 0, Qt::AlignTop);
  QTabWidget* pages = buildPageControl();
  top->addWidget(pages, 1);
  root->addLayout(top, 1);

  auto* bottom = new QHBoxLayout;
  auto* status = new QLabel;
  status->setObjectName(QStringLiteral("Panel2"));
  status->setFrameShape(QFrame::Panel);
  status->setFrameShadow(QFrame::Sunken);
  bottom->addWidget(status, 1);
  // The project folder: where "生成工程" writes and F5 builds.
  // (No object names: they are not controls of the model.)
  folderLabel_ = new QLabel;
  folderLabel_->setFixedWidth(120);
  bottom->addWidget(folderLabel_);
  auto* folder = new QPushButton(QStringLiteral("工程目录..."));
  connect(folder, &QPushButton::clicked, this, &TForm1::chooseProjectFolder);
  bottom->addWidget(folder);
  auto* pins = new QPushButton(QStringLiteral("引脚图"));
  connect(pins, &QPushButton::clicked, this, &TForm1::openChipView);
  bottom->addWidget(pins);
  auto* registers = new QCheckBox;
  registers->setObjectName(QStringLiteral("RegisterViewCheck"));
  bottom->addWidget(registers);
  auto* link = new QLabel;
  link->setObjectName(QStringLiteral("Label4"));
  QFont bold = link->font();
  bold.setBold(true);
  link->setFont(bold);
  link->installEventFilter(this);
  bottom->addWidget(link);
  root->addLayout(bottom);

  for (const MainButton& b : kMainButtons) {
    auto* button = findChild<QPushButton*>(QLatin1String(b.name));
    button->installEventFilter(this);
    auto* shortcut = new QShortcut(b.key, this);
    connect(shortcut, &QShortcut::activated, button, [button] {
      if (button->isEnabled()) button->animateClick();
    });
  }
}

void TForm1::openChipView() {
  if (!chipView_) chipView_ = new ChipViewWindow(this);
  chipView_->follow(model_.config());
  chipView_->show();
  chipView_->raise();
}

void TForm1::showProjectFolder() {
  const QString dir = QString::fromStdString(model_.ProjectDir());
  folderLabel_->setText(folderLabel_->fontMetrics().elidedText(dir, Qt::ElideMiddle, folderLabel_->width()));
  folderLabel_->setToolTip(dir);
}

void TForm1::chooseProjectFolder() {
  const QString dir = QFileDialog::getExistingDirectory(this, QStringLiteral("工程目录"),
                                                        QString::fromStdString(model_.ProjectDir()));
  if (dir.isEmpty()) return;
  try {
    tamberlo::chooseProjectFolder(model_, dir.toStdString());
  } catch (const std::exception& e) {
    showError(QStringLiteral("ProjectDirButton"), e);
  }
  showProjectFolder();
}

void TForm1::openBoard() {
  if (!board_)
    board_ = new BoardWindow(QString::fromStdString(model_.ProjectDir()), model_.config(), {}, this);
  board_->setProject(QString::fromStdString(model_.ProjectDir()), model_.config());
  const bool placed = board_->isVisible();
  board_->show();
  // Beside the editor the first time it shows; after that where the user left it.
  if (!placed) placeBeside(board_, this);
  board_->raise();
  board_->start();
}

void TForm1::FormShow() {
  binder_->act(QStringLiteral("Form1"), [this] { model_.FormShow(); });
  tidyProjectFolder(model_.ProjectDir());
  showProjectFolder();
  // The first choice is the chip: focus starts there, and Tab goes on to the
  // crystal, the tabs, the page's own controls and then the buttons.
  QWidget* chain[] = {binder_->widget("ComboBox3"), binder_->widget("ComboBox2"), binder_->widget("PageControl1"),
                      binder_->widget("BitBtn5"),   binder_->widget("BitBtn6"),   binder_->widget("BitBtn1"),
                      binder_->widget("BitBtn2")};
  for (size_t i = 0; i + 1 < std::size(chain); ++i) {
    if (chain[i] && chain[i + 1]) setTabOrder(chain[i], chain[i + 1]);
  }
  if (chain[0]) chain[0]->setFocus();
  timer1_.start();
  timer2_.start();
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  fitOuterSize();
  // Some window managers announce the frame after the window is placed and
  // mapped, without moving it again: look once more when it has settled.
  for (int ms : {100, 500, 1500}) QTimer::singleShot(ms, this, [this] {
      fitOuterSize();
      keepOnScreen();
    });
  if (!centred_) {
    centred_ = true;
    if (QScreen* s = screen()) {
      const QRect area = s->availableGeometry();
      move(fitInside(
               QRect(area.center() - QPoint(OuterWidth / 2, OuterHeight / 2), QSize(OuterWidth, OuterHeight)),
               area)
               .topLeft());
    }
  }
  syncRegisterView();
}

void TForm1::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (!event->isAccepted()) return;
  // Closing the editor ends the program: the board (its build, simulator and
  // terminals), the register view and the serial terminals go with it.
  if (board_) board_->close();
  if (registerView_) registerView_->hide();
#ifdef TAMBERLO_HAS_TERMINAL
  if (auto* terminals = dynamic_cast<QtTerminalOpener*>(ownTerminal_.get())) terminals->closeAll();
#endif
}

void TForm1::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  // A window manager reports the frame only once it has placed the window.
  fitOuterSize();
}

// A frame that came out larger than the window system first said (a large
// scale) must not push the title bar off the screen.
void TForm1::keepOnScreen() {
  QScreen* s = screen();
  if (!s || !isVisible()) return;
  const QRect frame = frameGeometry();
  const QPoint at = fitInside(frame, s->availableGeometry()).topLeft();
  if (at != frame.topLeft()) move(at);
}

// The outer size, frame included, stays at OuterWidth x OuterHeight: the
// inside shrinks by the frame as soon as the frame is known.
void TForm1::fitOuterSize() {
  const QMargins frame = frameMarginsOf(this);
  const QSize inner(OuterWidth - frame.left() - frame.right(), OuterHeight - frame.top() - frame.bottom());
  if (minimumSize() != inner || maximumSize() != inner) setFixedSize(inner);
}

void TForm1::syncRegisterView() {
  if (!registerView_) return;
  const bool wanted = model_.checked("RegisterViewCheck") && isVisible();
  if (!wanted) {
    if (registerView_->isVisible()) registerView_->hide();
    return;
  }
  registerView_->display(registerViewFor(model_, model_.activePage()));
  registerView_->displayFuses(fuseViewFor(model_));
  if (!registerView_->isVisible()) {
    registerView_->show();
    registerView_->placeBesideOwner();
  }
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
  auto* w = qobject_cast<QWidget*>(watched);
  if (w && w->objectName() == QLatin1String("Label4")) {
    // The link: underlined, red and a hand while the mouse is over it.
    if (event->type() == QEvent::Enter || event->type() == QEvent::Leave) {
      const bool over = event->type() == QEvent::Enter;
      QFont f = w->font();
      f.setUnderline(over);
      w->setFont(f);
      setTextColor(w, QPalette::WindowText, over ? QColor(Qt::red) : QColor(Qt::blue));
      if (over) {
        w->setCursor(Qt::PointingHandCursor);
      } else {
        w->unsetCursor();
      }
    }
  } else if (qobject_cast<QPushButton*>(watched)) {
    // Press feedback of the main buttons: blue while held down.
    if (event->type() == QEvent::MouseButtonPress) setTextColor(w, QPalette::ButtonText, Qt::blue);
    if (event->type() == QEvent::MouseButtonRelease) setTextColor(w, QPalette::ButtonText, Qt::black);
  }
  return QWidget::eventFilter(watched, event);
}

void TForm1::showError(const QString& action, const std::exception& error) {
  QMessageBox box(QMessageBox::Critical, QStringLiteral("错误"),
                  QString::fromStdString(messageForDisplay(inChinese(error.what()))),
                  QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("errorBox"));
  // Name the step that failed by what the user sees on it.
  const std::string name = action.toStdString();
  QString step = fieldCaption(binder_->widget(name));
  if (name == "Form1") {
    step = QStringLiteral("启动");
  } else if (model_.has(name) && !model_.caption(name).empty()) {
    step = QString::fromStdString(model_.caption(name));
  } else if (name == "ProjectDirButton") {
    step = QStringLiteral("工程目录");
  } else if (step.isEmpty()) {
    step = action;
  }
  box.setInformativeText(QStringLiteral("“%1” 未完成。").arg(step));
  box.exec();
}

void TForm1::Timer1Timer() {
  model_.Timer1Timer();
  binder_->refresh("Form1");
}

void TForm1::Timer2Timer() {
#ifdef TAMBERLO_HAS_UPDATE_WORKER
  tamberlo::gui::Timer2Timer(model_, this, [this] { binder_->refresh(); });
#else
  // No update check is built into this program yet: the timer does nothing.
#endif
}

}  // namespace tamberlo::gui
