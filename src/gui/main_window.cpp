#include "gui/main_window.h"

#include <QEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QVBoxLayout>

#include "gui/qt_dialogs.h"
#include "gui/window_pages.h"

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

void setTextColor(QWidget* w, QPalette::ColorRole role, const QColor& color) {
  QPalette p = w->palette();
  p.setColor(role, color);
  w->setPalette(p);
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
  binder_ = new ModelBinder(model_, this,
                            [this](const QString& action, const std::exception& e) { showError(action, e); });
  // Generation reports each step before doing it: show it at once.
  model_.setStatusListener([this](const std::string&) {
    binder_->refresh("Panel2");
    if (QWidget* pane = binder_->widget("Panel2")) pane->repaint();
  });

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

void TForm1::FormShow() {
  binder_->act(QStringLiteral("Form1"), [this] { model_.FormShow(); });
  if (QWidget* preview = binder_->widget("BitBtn1")) preview->setFocus();
  timer1_.start();
  timer2_.start();
}

void TForm1::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  // Fix the outer size, frame included, once the frame is known; then centre.
  const QSize frame = frameGeometry().size() - geometry().size();
  setFixedSize(OuterWidth - frame.width(), OuterHeight - frame.height());
  if (QScreen* s = screen()) {
    QRect area = s->availableGeometry();
    move(area.center() - QPoint(OuterWidth / 2, OuterHeight / 2));
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
  QMessageBox box(QMessageBox::Critical, QStringLiteral("Tamberlo"), QString::fromStdString(messageForDisplay(error.what())),
                  QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("errorBox"));
  // Name the step that failed by what the user sees on it.
  const std::string name = action.toStdString();
  QString step = action;
  if (name == "Form1") {
    step = QStringLiteral("启动");
  } else if (model_.has(name) && !model_.caption(name).empty()) {
    step = QString::fromStdString(model_.caption(name));
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
