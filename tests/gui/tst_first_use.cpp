// SPDX-License-Identifier: GPL-3.0-or-later
// The window as a new user meets it, on a 1024x768 screen: what it looks
// like, where its windows go, what its messages say, and the register view.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyleOptionComboBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <memory>

// clang-format off
// The model's headers first: Qt's `slots` macro must not meet its fields.
#include "assembly/editor.h"
#include "gui/chip_view_window.h"
#include "gui/main_window.h"
#include "registers/register_view.h"
// clang-format on
#include "gui/board/board_window.h"
#include "gui/qt_dialogs.h"
#include "gui/register_view_window.h"
#include "gui/terminal/qt_terminal_opener.h"
#include "gui/terminal/terminal_window.h"
#include "gui/update_worker.h"
#include "platform/ini_file.h"

using namespace tamberlo;
using namespace tamberlo::gui;

namespace {

struct FakeDialogs : UserDialogs {
  bool browser = true;
  std::vector<std::string> urls;
  std::optional<std::string> openActFile() override { return std::nullopt; }
  std::optional<std::string> saveActFile() override { return std::nullopt; }
  std::optional<std::string> chooseCompilerFile() override { return std::nullopt; }
  void showMessage(const std::string&) override {}
  void openUrl(const std::string& url) override { urls.push_back(url); }
  bool openWebAddress(const std::string& url) override {
    urls.push_back(url);
    return browser;
  }
};

// Closes the next modal message box once it shows and keeps its texts.
void closeNextMessageBox(QStringList* texts, int triesLeft = 500) {
  QTimer::singleShot(10, [texts, triesLeft] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      *texts << box->text() << box->informativeText() << box->windowTitle();
      if (QAbstractButton* ok = box->button(QMessageBox::Ok)) *texts << ok->text();
      box->accept();
    } else if (triesLeft > 0) {
      closeNextMessageBox(texts, triesLeft - 1);
    }
  });
}

bool inside(const QRect& r, const QRect& area) {
  return area.contains(r.topLeft()) && area.contains(r.bottomRight());
}

QString describe(const QRect& r) {
  return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

}  // namespace

class FirstUseTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<EditorModel> model_;
  std::unique_ptr<FakeDialogs> dialogs_;
  std::unique_ptr<TForm1> window_;

  template <class W>
  W* w(const char* name) {
    auto* found = window_->findChild<W*>(QLatin1String(name));
    if (!found) qFatal("no widget %s", name);
    return found;
  }
  QTabWidget* tabs() { return w<QTabWidget>("PageControl1"); }
  void choose(const char* combo, const QString& item) {
    QComboBox* box = w<QComboBox>(combo);
    int index = box->findText(item);
    QVERIFY2(index >= 0, qPrintable(item + " not in " + combo));
    box->setCurrentIndex(index);
    Q_EMIT box->activated(index);
  }
  void click(const char* name) {
    QAbstractButton* b = w<QAbstractButton>(name);
    for (QWidget* p = b; p; p = p->parentWidget()) {
      if (int i = tabs()->indexOf(p); i >= 0) tabs()->setCurrentIndex(i);
    }
    QPoint at = qobject_cast<QPushButton*>(b) ? b->rect().center() : QPoint(8, b->height() / 2);
    QTest::mouseClick(b, Qt::LeftButton, {}, at);
  }
  void start() {
    window_.reset();
    model_ = std::make_unique<Editor>();
    model_->FormCreate(dir_->path().toStdString());
    dialogs_ = std::make_unique<FakeDialogs>();
    window_ = std::make_unique<TForm1>(*model_, dialogs_.get());
    window_->FormShow();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }
  QRect screenArea() { return window_->screen()->availableGeometry(); }

 private Q_SLOTS:
  void initTestCase() {
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QVERIFY2(screen.width() >= 800 && screen.height() >= 600, "the window is made for 800x600 and more");
  }
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    QVERIFY(dir_->isValid());
    start();
  }
  void cleanup() {
    window_.reset();
    model_.reset();
  }

  void fixedOuterSizeWithoutMaximise() {
    QCOMPARE(window_->frameGeometry().size(), QSize(TForm1::OuterWidth, TForm1::OuterHeight));
    QCOMPARE(window_->minimumSize(), window_->maximumSize());
    QVERIFY(!(window_->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window_->windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(window_->windowFlags() & Qt::WindowSystemMenuHint);
  }

  // Focus starts at the chip; Tab goes on to the crystal. A greyed control
  // says why in its tooltip.
  void focusOrderAndReasons() {
    auto owns = [](QWidget* focus, QWidget* box) { return focus == box || (focus && box->isAncestorOf(focus)); };
    QTRY_VERIFY(owns(QApplication::focusWidget(), w<QWidget>("ComboBox3")));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(owns(QApplication::focusWidget(), w<QWidget>("ComboBox2")));
    QVERIFY(!w<QPushButton>("BitBtn2")->isEnabled());
    QCOMPARE(w<QPushButton>("BitBtn2")->toolTip(), QStringLiteral("先点代码预览生成当前页的代码"));
    click("BitBtn1");
    QVERIFY(w<QPushButton>("BitBtn2")->isEnabled());
    QVERIFY(w<QPushButton>("BitBtn2")->toolTip().isEmpty());
    // Chinese in a scalable font asked for by name, not whatever fontconfig picks.
    const QStringList families = QApplication::font().families();
    QVERIFY(families.indexOf(QStringLiteral("Noto Sans CJK SC")) >= 0);
    QVERIFY(families.indexOf(QStringLiteral("Noto Sans CJK SC")) <
            families.indexOf(QStringLiteral("WenQuanYi Micro Hei")));
    for (const char* placeholder : {"Max7219Check", "MAX538Check", "SpareCheck1", "CheckBox10", "Test4Check"}) {
      QVERIFY(!w<QWidget>(placeholder)->isEnabled());
      QCOMPARE(w<QWidget>(placeholder)->toolTip(), QStringLiteral("暂不可用"));
    }
  }

  void disabledGenerateButtonLooksDisabled() {
    auto* generate = w<QPushButton>("BitBtn2");
    const QColor disabled = QApplication::palette(generate).color(QPalette::Disabled, QPalette::ButtonText);
    click("BitBtn1");
    QVERIFY(generate->isEnabled());
    click("BitBtn2");  // pressed (blue), released (black), then disabled by the run
    QVERIFY(!generate->isEnabled());
    QCOMPARE(generate->palette().color(QPalette::Disabled, QPalette::ButtonText), disabled);
    QCOMPARE(generate->palette().color(QPalette::Active, QPalette::ButtonText), QColor(Qt::black));
  }

  void everyWindowInsideTheScreen() {
    const QRect area = screenArea();
    QVERIFY2(inside(window_->frameGeometry(), area), qPrintable(describe(window_->frameGeometry())));
    click("UART0Check");
    click("Button1");
    auto* opener = dynamic_cast<QtTerminalOpener*>(model_->terminalOpener());
    QVERIFY(opener);
    QCOMPARE(opener->terminals().size(), 1);
    click("Button1");  // a second one cascades, still inside
    for (terminal::TerminalWindow* t : opener->terminals()) {
      QVERIFY(QTest::qWaitForWindowExposed(t));
      QVERIFY2(inside(t->frameGeometry(), area), qPrintable(describe(t->frameGeometry())));
      for (QPushButton* b : t->findChildren<QPushButton*>()) {
        if (!b->isVisibleTo(t)) continue;
        const QRect global(b->mapToGlobal(QPoint(0, 0)), b->size());
        QVERIFY2(inside(global, area), qPrintable(b->objectName() + " " + describe(global)));
      }
    }
    click("RegisterViewCheck");
    RegisterViewWindow* view = window_->registerView();
    QVERIFY(QTest::qWaitForWindowExposed(view));
    QVERIFY2(inside(view->frameGeometry(), area), qPrintable(describe(view->frameGeometry())));
    QVERIFY2(inside(window_->frameGeometry(), area), qPrintable(describe(window_->frameGeometry())));
    // Side by side: the editor moved aside to make room, where there is room.
    if (view->frameGeometry().width() + window_->frameGeometry().width() < area.width())
      QVERIFY(!view->frameGeometry().intersects(window_->frameGeometry()));

    // The board too (F5; no project here, so it only says why), and then
    // every window of the program lies wholly on the screen.
    window_->openBoard();
    QVERIFY(window_->board());
    QVERIFY(QTest::qWaitForWindowExposed(window_->board()));
    QApplication::processEvents();
    int shown = 0;
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (!top->isVisible()) continue;
      ++shown;
      QVERIFY2(inside(top->frameGeometry(), area),
               qPrintable(top->metaObject()->className() + QStringLiteral(" ") + describe(top->frameGeometry())));
    }
    QCOMPARE(shown, 5);  // the editor, two terminals, the register view and the board

    // Closing the editor closes every other window with it.
    QVERIFY(window_->close());
    QApplication::processEvents();
    for (QWidget* top : QApplication::topLevelWidgets())
      QVERIFY2(!top->isVisible(), top->metaObject()->className());
    QVERIFY(opener->terminals().isEmpty());
  }

  // Every item of every drop-down is shown whole, in the box and in its list.
  // Measured with the box's font on every page a user can bring up, with the
  // port lists of the largest chip.
  void everyItemFitsItsBox() {
    QStringList clipped;
    choose("ComboBox3", QStringLiteral("ATMega128"));
    click("LCDCheck");
    choose("ComboBox16", QStringLiteral("LCD128x64(KS0108)"));
    click("GUICheck");
    const int pages[] = {0, 1, 2, 3, 10, 11, 12, 13};  // the others are never shown
    QList<QComboBox*> boxes = w<QWidget>("Panel1")->findChildren<QComboBox*>();
    for (int page : pages) {
      QVERIFY(tabs()->isTabVisible(page));
      tabs()->setCurrentIndex(page);
      QApplication::processEvents();
      boxes += tabs()->widget(page)->findChildren<QComboBox*>();
    }
    for (QComboBox* box : boxes) {
      if (!box->isVisibleTo(window_.get())) continue;
      QStyleOptionComboBox opt;
      opt.initFrom(box);
      opt.editable = true;
      const QRect field =
          box->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, box);
      const QFontMetrics fm(box->lineEdit()->font());
      const int room = field.width() - 4;  // the line edit's own margins
      const int listRoom = std::max(box->width(), box->view()->minimumWidth());
      for (int i = 0; i < box->count(); ++i) {
        const QString item = box->itemText(i);
        const int need = fm.horizontalAdvance(item);
        if (need > room)
          clipped << QStringLiteral("%1 \"%2\" %3>%4").arg(box->objectName(), item).arg(need).arg(room);
        const int listNeed = QFontMetrics(box->view()->font()).horizontalAdvance(item) + 8;
        if (listNeed > listRoom)
          clipped << QStringLiteral("%1 list \"%2\" %3>%4")
                         .arg(box->objectName(), item)
                         .arg(listNeed)
                         .arg(listRoom);
      }
    }
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QStringLiteral("\n"))));
  }

  void tooltipsFollowTheChip() {
    QCOMPARE(w<QCheckBox>("CheckBox5")->toolTip(), QStringLiteral("UCSRB bit 4, RXEN"));
    choose("ComboBox3", QStringLiteral("ATMega128"));
    const std::pair<const char*, const char*> hints[] = {
        {"CheckBox5", "UCSR0B bit 4, RXEN0"},
        {"CheckBox1", "UCSR0A bit 1, U2X0"},
        {"ComboBox4", "UCSR0C bits 2..1, UCSZ01..UCSZ00; UCSR0B bit 2, UCSZ02"},
        {"ComboBox1", "UBRR0H, UBRR0L"},
        {"CheckBox14", "UCSR1B bit 4, RXEN1"},
    };
    for (auto [name, hint] : hints) QCOMPARE(w<QWidget>(name)->toolTip(), QString::fromLatin1(hint));
    choose("ComboBox3", QStringLiteral("ATMega8"));
    QCOMPARE(w<QCheckBox>("CheckBox5")->toolTip(), QStringLiteral("UCSRB bit 4, RXEN"));
  }

  void groupCaptionsAsDesigned() {
    QStringList titles;
    for (QGroupBox* g : w<QWidget>("TabSheetOther")->findChildren<QGroupBox*>()) titles << g->title();
    QCOMPARE(titles, (QStringList{QStringLiteral("1-Wire器件"), QStringLiteral("MP3 芯片")}));
    auto* spare = w<QCheckBox>("SpareCheck3");
    QCOMPARE(spare->text(), QStringLiteral("备用"));
    QVERIFY(!spare->isEnabled());
    QCOMPARE(spare->parentWidget()->property("title").toString(), QStringLiteral("1-Wire器件"));
  }

  // A wrong crystal is reported once the entry is finished, naming the field
  // by its caption, and every typed key stays in the box.
  void typedTextIsKeptAndReportedByCaption() {
    QComboBox* crystal = w<QComboBox>("ComboBox2");
    crystal->lineEdit()->setFocus();
    crystal->lineEdit()->selectAll();
    QTest::keyClicks(crystal->lineEdit(), "abc");
    QCOMPARE(crystal->currentText(), QStringLiteral("abc"));
    QVERIFY(QApplication::activeModalWidget() == nullptr);
    QCOMPARE(crystal->lineEdit()->palette().color(QPalette::Text), QColor(Qt::red));
    QStringList shown;
    closeNextMessageBox(&shown);
    QTest::keyClick(crystal->lineEdit(), Qt::Key_Return);
    QTRY_VERIFY(!shown.isEmpty());
    QVERIFY2(shown[0].startsWith(QStringLiteral("晶振(MHz)：“abc”")), qPrintable(shown[0]));
    QCOMPARE(shown[1], QStringLiteral("“晶振(MHz)” 未完成。"));
    QCOMPARE(shown[2], QStringLiteral("错误"));
    QCOMPARE(shown[3], QStringLiteral("确定"));  // Qt's own button, translated
    QCOMPARE(crystal->currentText(), QStringLiteral("abc"));
    // Mended: the field is black again and the crystal is taken.
    crystal->lineEdit()->selectAll();
    QTest::keyClicks(crystal->lineEdit(), "16");
    QCOMPARE(model_->shadows().FoscMHz, 16.0);
    QVERIFY(window_->binder().pendingError("ComboBox2").isEmpty());
    QVERIFY(crystal->lineEdit()->palette().color(QPalette::Text) != QColor(Qt::red));
    // A text no generated line can carry never reaches the control, but it
    // stays in the box as typed, in red, and is reported the same way.
    QTest::keyClicks(crystal->lineEdit(), "\\");
    QCOMPARE(crystal->currentText(), QStringLiteral("16\\"));
    QCOMPARE(model_->text("ComboBox2"), std::string("16"));
    QCOMPARE(crystal->lineEdit()->palette().color(QPalette::Text), QColor(Qt::red));
    shown.clear();
    closeNextMessageBox(&shown);
    QTest::keyClick(crystal->lineEdit(), Qt::Key_Return);
    QTRY_VERIFY(!shown.isEmpty());
    QVERIFY2(shown[0].startsWith(QStringLiteral("晶振(MHz)：“16\\” 以反斜杠结尾")), qPrintable(shown[0]));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    crystal->lineEdit()->selectAll();
    QTest::keyClicks(crystal->lineEdit(), "16");
    QVERIFY(window_->binder().pendingError("ComboBox2").isEmpty());

    // The baud box is named by its caption too. (The offscreen platform does
    // not give the focus back after the message box.)
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    QComboBox* baud = w<QComboBox>("ComboBox1");
    baud->lineEdit()->setFocus();
    baud->lineEdit()->selectAll();
    QTest::keyClicks(baud->lineEdit(), "fast");
    shown.clear();
    closeNextMessageBox(&shown);
    w<QPushButton>("BitBtn1")->setFocus();  // leaving the field finishes the entry
    QTRY_VERIFY(!shown.isEmpty());
    QVERIFY2(shown[0].startsWith(QStringLiteral("UART 波特率：“fast”")), qPrintable(shown[0]));
    QCOMPARE(shown[1], QStringLiteral("“波特率” 未完成。"));
  }

  void linkWithoutBrowserSaysSo() {
    dialogs_->browser = false;
    QTest::mouseClick(w<QLabel>("Label4"), Qt::LeftButton);
    QCOMPARE(dialogs_->urls.size(), size_t(1));
    QVERIFY2(w<QLabel>("Panel2")->text().contains(QStringLiteral("浏览器")),
             qPrintable(w<QLabel>("Panel2")->text()));
  }

  void registerViewFollowsClicksAndIsRemembered() {
    RegisterViewWindow* view = window_->registerView();
    QVERIFY(!view->isVisible());  // hidden at first start
    QVERIFY(!w<QCheckBox>("RegisterViewCheck")->isChecked());
    click("RegisterViewCheck");
    QVERIFY(view->isVisible());
    QCOMPARE(IniFile(model_->actIniPath()).readInteger("View", "registers", -1), 1);
    auto valueOf = [view](const QString& reg) {
      QTableWidget* t = view->table();
      for (int c = 0; c < t->columnCount(); ++c) {
        if (t->horizontalHeaderItem(c)->text() == reg) return t->item(0, c)->text();
      }
      return QString();
    };
    // Every column whole from the first showing: the table is as wide as its
    // sections, each as wide as its heading. Then the TWI's default rate
    // (409.6 kHz, above its 400 kHz) is flagged red.
    auto whole = [view] {
      QTableWidget* t = view->table();
      if (t->horizontalHeader()->length() > t->viewport()->width()) return false;
      for (int c = 0; c < t->columnCount(); ++c) {
        const QString name = t->horizontalHeaderItem(c)->text();
        if (t->horizontalHeader()->sectionSize(c) < t->horizontalHeader()->fontMetrics().horizontalAdvance(name))
          return false;
      }
      return true;
    };
    QVERIFY(whole());
    tabs()->setCurrentIndex(3);
    QApplication::processEvents();
    QVERIFY(whole());
    QCOMPARE(view->notes()->palette().color(QPalette::WindowText), QColor(Qt::red));
    tabs()->setCurrentIndex(0);
    QCOMPARE(valueOf(QStringLiteral("UCSRB")), QStringLiteral("0x00"));
    click("CheckBox5");  // receiver enable: shown at once
    QCOMPARE(valueOf(QStringLiteral("UCSRB")), QStringLiteral("0x10"));
    QCOMPARE(valueOf(QStringLiteral("UBRRL")), QStringLiteral("0x2F"));
    choose("ComboBox2", QStringLiteral("16.0000"));
    QCOMPARE(valueOf(QStringLiteral("UBRRL")), QStringLiteral("0x67"));
    QCOMPARE(w<QLineEdit>("LabeledEdit1")->text(), QStringLiteral("103"));
    QVERIFY(view->notes()->text().contains(QStringLiteral("误差 0.156%")));
    tabs()->setCurrentIndex(2);
    QCOMPARE(valueOf(QStringLiteral("SPCR")), QStringLiteral("0x00"));
    click("CheckBox39");
    QCOMPARE(valueOf(QStringLiteral("SPCR")), QStringLiteral("0x40"));
    QVERIFY(view->notes()->text().startsWith(QStringLiteral("SCK = ")));

    start();  // remembered
    QVERIFY(w<QCheckBox>("RegisterViewCheck")->isChecked());
    QVERIFY(window_->registerView()->isVisible());
    click("RegisterViewCheck");
    QVERIFY(!window_->registerView()->isVisible());
    QCOMPARE(IniFile(model_->actIniPath()).readInteger("View", "registers", -1), 0);
  }

  // Not a check: the whole screen with every window as placed on it, for the
  // documentation (docs/screen-800x600.png, docs/screen-1280x720@2.png).
  void wholeScreenShot() {
    const QString folder = qEnvironmentVariable("TAMBERLO_WINDOW_SHOTS");
    if (folder.isEmpty()) QSKIP("set TAMBERLO_WINDOW_SHOTS to render the documentation pictures");
    click("UART0Check");
    click("CheckBox5");
    click("CheckBox7");
    click("RegisterViewCheck");
    click("BitBtn1");
    click("Button1");  // the serial terminal
    window_->openBoard();
    QTest::qWait(300);
    QScreen* screen = window_->screen();
    QPixmap picture(screen->size() * screen->devicePixelRatio());
    picture.setDevicePixelRatio(screen->devicePixelRatio());
    picture.fill(QColor(0x3a, 0x6e, 0xa5));
    QPainter p(&picture);
    // Bottom to top, in the order they were opened.
    QList<QWidget*> tops{window_.get(), window_->registerView()};
    if (auto* opener = dynamic_cast<QtTerminalOpener*>(model_->terminalOpener())) {
      for (terminal::TerminalWindow* t : opener->terminals()) tops << t;
    }
    tops << window_->board();
    for (QWidget* top : tops) {
      if (top && top->isVisible()) p.drawPixmap(top->frameGeometry().topLeft(), top->grab());
    }
    p.end();
    const QString name = QStringLiteral("screen-%1.png").arg(qEnvironmentVariable("TAMBERLO_TEST_SCREEN", "1024x768"));
    QVERIFY(picture.save(QDir(folder).filePath(name)));
  }

  // Not a check: pictures for the documentation when TAMBERLO_WINDOW_SHOTS
  // names a folder.
  void screenshots() {
    const QString folder = qEnvironmentVariable("TAMBERLO_WINDOW_SHOTS");
    if (folder.isEmpty()) QSKIP("set TAMBERLO_WINDOW_SHOTS to render the documentation pictures");
    click("UART0Check");
    click("CheckBox5");
    click("CheckBox7");
    click("CheckBox9");
    choose("ComboBox1", QStringLiteral("115200"));
    click("RegisterViewCheck");
    click("BitBtn1");
    QTest::qWait(50);
    auto shoot = [&](const QString& name) {
      // The editor and the register view side by side, as on the screen.
      const QRect both = window_->frameGeometry().united(window_->registerView()->frameGeometry());
      QPixmap picture(both.size());
      picture.fill(QColor(0x3a, 0x6e, 0xa5));
      QPainter p(&picture);
      p.drawPixmap(window_->frameGeometry().topLeft() - both.topLeft(), window_->grab());
      p.drawPixmap(window_->registerView()->frameGeometry().topLeft() - both.topLeft(),
                   window_->registerView()->grab());
      p.end();
      QVERIFY(picture.save(QDir(folder).filePath(name)));
    };
    shoot(QStringLiteral("registers-uart.png"));
    tabs()->setCurrentIndex(3);
    click("TWICheck");
    click("CheckBox47");
    click("CheckBox48");
    w<QLineEdit>("LabeledEdit4")->setFocus();
    w<QLineEdit>("LabeledEdit4")->selectAll();
    QTest::keyClicks(w<QLineEdit>("LabeledEdit4"), "32");
    click("BitBtn1");
    shoot(QStringLiteral("registers-twi.png"));

    // The editor alone on the LCD page of the largest chip, every tab up.
    click("RegisterViewCheck");
    choose("ComboBox3", QStringLiteral("ATMega128"));
    click("LCDCheck");
    choose("ComboBox16", QStringLiteral("LCD128x64(KS0108)"));
    choose("ComboBox19", QStringLiteral("PORTC"));
    click("GUICheck");
    tabs()->setCurrentIndex(0);
    click("BitBtn1");
    for (int slot = 0; slot < 5; ++slot) {
      model_->userClick("RadioButton" + std::to_string(slot + 1));
      model_->userSelect("ListBox1", slot);
    }
    window_->binder().refresh();
    tabs()->setCurrentIndex(10);
    QTest::qWait(50);
    QVERIFY(window_->grab().save(QDir(folder).filePath(QStringLiteral("screenshot.png"))));

    // The chip view of the same wiring, with the UART's TXD0 on PE1 (an ISP
    // pin) and a second LCD signal on PC0 to show a conflict.
    click("UART0Check");
    model_->userType("Edit4", "PC0");
    window_->openChipView();
    QVERIFY(QTest::qWaitForWindowExposed(window_->chipView()));
    QTest::qWait(50);
    QVERIFY(window_->chipView()->grab().save(QDir(folder).filePath(QStringLiteral("chipview.png"))));
  }
};

// A 1024x768 screen, or TAMBERLO_TEST_SCREEN ("800x600", "1280x720@2" for
// a device pixel ratio of 2).
int main(int argc, char** argv) {
  QTemporaryDir config;
  const QString file = config.filePath(QStringLiteral("screen.json"));
  QFile f(file);
  if (!f.open(QIODevice::WriteOnly)) return 2;
  const QRegularExpression sizeRule(QStringLiteral(R"(^(\d+)x(\d+)(?:@(\d+))?$)"));
  const QRegularExpressionMatch size = sizeRule.match(qEnvironmentVariable("TAMBERLO_TEST_SCREEN", "1024x768"));
  if (!size.hasMatch()) return 2;
  const QString dpr = size.captured(3).isEmpty() ? QStringLiteral("1") : size.captured(3);
  f.write(QStringLiteral(R"({"screens": [{"name": "small", "x": 0, "y": 0, "width": %1, "height": %2,
               "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": %3}]})")
              .arg(size.captured(1), size.captured(2), dpr)
              .toUtf8());
  f.close();
  qputenv("QT_QPA_PLATFORM", ("offscreen:configfile=" + file).toLocal8Bit());
  // The update check never leaves the machine.
  setUpdateBaseUrlForTests("http://127.0.0.1:9/update");
  QApplication app(argc, argv);
  installChineseTranslations(app);
  useScalableChineseFont();
  QTEST_SET_MAIN_SOURCE_PATH
  FirstUseTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "tst_first_use.moc"
