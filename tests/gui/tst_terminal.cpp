// SPDX-License-Identifier: GPL-3.0-or-later
// The terminal window against a real pseudo-terminal: the test holds the
// master side and plays the firmware.
#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QCheckBox>
#include <QTemporaryDir>
#include <QtTest>

#include "gui/terminal/qt_terminal_opener.h"
#include "gui/terminal/terminal_window.h"

using namespace tamberlo;
using namespace tamberlo::terminal;

namespace {

// One pseudo-terminal pair. The slave stays open here too, so its line
// settings can be read back after the terminal has set them.
class Pty {
 public:
  Pty() {
    char name[256] = {};
    if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    path_ = QString::fromLocal8Bit(name);
  }
  ~Pty() {
    closeMaster();
    if (slave_ >= 0) ::close(slave_);
  }
  bool ok() const { return !path_.isEmpty(); }
  const QString& path() const { return path_; }
  int slave() const { return slave_; }

  void write(const QByteArray& bytes) {
    QCOMPARE(::write(master_, bytes.constData(), bytes.size()), bytes.size());
  }
  // Everything the terminal has sent so far.
  QByteArray received() {
    char buffer[256];
    ssize_t n;
    while (master_ >= 0 && (n = ::read(master_, buffer, sizeof buffer)) > 0) got_.append(buffer, n);
    return got_;
  }
  void forget() { got_.clear(); }
  // Pulls the plug: the slave side sees the line hang up.
  void closeMaster() {
    if (master_ >= 0) ::close(master_);
    master_ = -1;
  }
  void closeSlave() {
    if (slave_ >= 0) ::close(slave_);
    slave_ = -1;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  QString path_;
  QByteArray got_;
};

template <typename T>
T* child(QWidget& window, const char* name) {
  T* widget = window.findChild<T*>(QLatin1String(name));
  if (!widget) qFatal("the terminal has no widget %s", name);
  return widget;
}

ComOpenArgs argsFor(int baud, int parity, int dataBits, int stopBits) {
  ComOpenArgs args;
  args.baud = baud;
  args.parity = parity;
  args.dataBits = dataBits;
  args.stopBits = stopBits;
  return args;
}

const ComOpenArgs Defaults = argsFor(7, 0, 3, 0);  // 9600 8N1

}  // namespace

Q_DECLARE_METATYPE(tamberlo::ComOpenArgs)

class TerminalTest : public QObject {
  Q_OBJECT

 private slots:
  void showsAndAppliesEditorSettings_data();
  void showsAndAppliesEditorSettings();
  void sendsTypedLinesWithTheLineEnd_data();
  void sendsTypedLinesWithTheLineEnd();
  void quickButtonsSendTheDemoCommands();
  void showsReceivedBytesAsTextAndHex();
  void decodesGbkSplitAcrossWrites();
  void reportsBadInputWithoutSending();
  void reportsPortsThatCannotOpen();
  void reportsAPortThatGoesAway();
  void changesSettingsWhileOpen();
  void savesTheLog();
  void openerKeepsTerminalsApartAndClosesThemWithTheOwner();
  void screenshot();
};

void TerminalTest::showsAndAppliesEditorSettings_data() {
  QTest::addColumn<ComOpenArgs>("args");
  QTest::addColumn<QString>("shown");
  QTest::addColumn<speed_t>("speed");
  QTest::addColumn<bool>("twoStop");
  // A pseudo-terminal keeps 8 data bits and no parity whatever it is told:
  // those settings must be reported, with the port left open.
  QTest::addColumn<QStringList>("refused");
  QTest::newRow("9600 8N1") << Defaults << "9600 8N1" << speed_t(B9600) << false << QStringList{};
  QTest::newRow("110 5O2") << argsFor(1, 1, 0, 2) << "110 5O2" << speed_t(B110) << true
                           << QStringList{"5 位数据位", "奇校验"};
  QTest::newRow("115200 7E1") << argsFor(13, 2, 2, 0) << "115200 7E1" << speed_t(B115200) << false
                              << QStringList{"7 位数据位", "偶校验"};
  QTest::newRow("38400 8N2") << argsFor(10, 0, 3, 2) << "38400 8N2" << speed_t(B38400) << true << QStringList{};
}

void TerminalTest::showsAndAppliesEditorSettings() {
  QFETCH(ComOpenArgs, args);
  QFETCH(QString, shown);
  QFETCH(speed_t, speed);
  QFETCH(bool, twoStop);
  QFETCH(QStringList, refused);
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow window(args);
  // What the boxes show is what the terminal uses.
  QCOMPARE(describe(window.lineSettings()), shown);
  QCOMPARE(child<QComboBox>(window, "baudCombo")->currentText(), shown.section(' ', 0, 0));

  window.setPortName(pty.path());
  QVERIFY2(window.openPort(), qPrintable(window.statusText()));
  termios line{};
  QCOMPARE(tcgetattr(pty.slave(), &line), 0);
  QCOMPARE(cfgetospeed(&line), speed);
  QCOMPARE(bool(line.c_cflag & CSTOPB), twoStop);
  QVERIFY(window.windowTitle().contains(pty.path()));
  // The next terminal starts on the port last opened.
  QCOMPARE(TerminalWindow(Defaults).portName(), pty.path());
  for (const QString& setting : refused) {
    QVERIFY2(window.statusText().contains(setting), qPrintable(window.statusText()));
  }
  QCOMPARE(window.statusText().contains(QStringLiteral("不接受")), !refused.isEmpty());
}

void TerminalTest::sendsTypedLinesWithTheLineEnd_data() {
  QTest::addColumn<QString>("typed");
  QTest::addColumn<int>("mode");     // send mode item: 0 text, 1 hex
  QTest::addColumn<int>("lineEnd");  // item: none, CR, LF, CR LF
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("text, none") << "AT" << 0 << 0 << QByteArray("AT");
  QTest::newRow("text, CR") << "AT" << 0 << 1 << QByteArray("AT\r");
  QTest::newRow("text, LF") << "AT" << 0 << 2 << QByteArray("AT\n");
  QTest::newRow("GBK text, CR LF") << "读温度" << 0 << 3 << QByteArray("\xB6\xC1\xCE\xC2\xB6\xC8\r\n");
  QTest::newRow("hex, none") << "0x0F 0A" << 1 << 0 << QByteArray("\x0F\x0A");
  QTest::newRow("hex, LF") << "0e" << 1 << 2 << QByteArray("\x0E\n");
}

void TerminalTest::sendsTypedLinesWithTheLineEnd() {
  QFETCH(QString, typed);
  QFETCH(int, mode);
  QFETCH(int, lineEnd);
  QFETCH(QByteArray, bytes);
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow window(Defaults);
  window.setPortName(pty.path());
  QVERIFY(window.openPort());
  child<QLineEdit>(window, "sendEdit")->setText(typed);
  child<QComboBox>(window, "sendModeCombo")->setCurrentIndex(mode);
  child<QComboBox>(window, "lineEndCombo")->setCurrentIndex(lineEnd);
  QTest::mouseClick(child<QPushButton>(window, "sendButton"), Qt::LeftButton);
  QTRY_COMPARE(pty.received(), bytes);
  QCOMPARE(window.sentCount(), bytes.size());
  // The line comes back with the Up key.
  auto* edit = child<QLineEdit>(window, "sendEdit");
  edit->setText("next");
  QTest::keyClick(edit, Qt::Key_Up);
  QCOMPARE(edit->text(), typed.isEmpty() ? QString("next") : typed);
  QTest::keyClick(edit, Qt::Key_Down);
  QCOMPARE(edit->text(), QString("next"));
  QVERIFY(child<QLabel>(window, "countersLabel")->text().contains(QStringLiteral("发送 %1 字节").arg(bytes.size())));
}

void TerminalTest::quickButtonsSendTheDemoCommands() {
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow window(Defaults);
  window.setPortName(pty.path());
  QVERIFY(window.openPort());
  QByteArray expected;
  for (const char* name : {"quick0f", "quick0a", "quick0b", "quick0e", "quick0d", "quick0c"}) {
    auto* button = child<QPushButton>(window, name);
    QTest::mouseClick(button, Qt::LeftButton);
    expected.append(static_cast<char>(QByteArray(name + 5).toInt(nullptr, 16)));
    QVERIFY2(button->text().startsWith(QStringLiteral("0x") + QString::fromLatin1(name + 5).toUpper()),
             qPrintable(button->text()));
  }
  QTRY_COMPARE(pty.received(), expected);
  // The typed line's end is for typed lines only.
  QCOMPARE(window.sentCount(), 6);
  QVERIFY2(window.receivedText().endsWith(">> <0F>\n>> <0A>\n>> <0B>\n>> <0E>\n>> <0D>\n>> <0C>\n"),
           qPrintable(window.receivedText()));
}

void TerminalTest::showsReceivedBytesAsTextAndHex() {
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow window(Defaults);
  window.setPortName(pty.path());
  QVERIFY(window.openPort());
  child<QPushButton>(window, "clearButton")->click();
  QCOMPARE(window.receivedText(), QString());

  pty.write("Hollowmere RS232\n\r");
  QTRY_COMPARE(window.receivedText(), "Hollowmere RS232\n");
  child<QRadioButton>(window, "hexViewRadio")->click();
  pty.write("\xBB\n\r");
  QTRY_COMPARE(window.receivedText(), "Hollowmere RS232\nBB 0A 0D");
  child<QRadioButton>(window, "textViewRadio")->click();
  child<QCheckBox>(window, "timeStampsCheck")->click();
  window.setClock([] { return QTime(8, 30, 0, 5); });
  pty.write("ok\r\n");
  QTRY_COMPARE(window.receivedText(), "Hollowmere RS232\nBB 0A 0D\n[08:30:00.005] ok\n");
  QCOMPARE(window.receivedCount(), 18 + 3 + 4);
  QVERIFY(child<QLabel>(window, "countersLabel")->text().contains(QStringLiteral("接收 25 字节")));
}

void TerminalTest::decodesGbkSplitAcrossWrites() {
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow window(Defaults);
  window.setPortName(pty.path());
  QVERIFY(window.openPort());
  window.clear();
  // "当前环境温度为：" cut inside its third character.
  const QByteArray line("\xB5\xB1\xC7\xB0\xBB\xB7\xBE\xB3\xCE\xC2\xB6\xC8\xCE\xAA\xA3\xBA");
  pty.write(line.left(5));
  QTRY_COMPARE(window.receivedCount(), 5);
  QCOMPARE(window.receivedText(), QStringLiteral("当前"));
  pty.write(line.mid(5) + "25\n");
  QTRY_COMPARE(window.receivedText(), QStringLiteral("当前环境温度为：25\n"));
  // The EEPROM test sends the raw sum 187 on its own; it shows once the line is quiet.
  pty.write("\xBB");
  QTRY_COMPARE(window.receivedCount(), line.size() + 3 + 1);
  window.flushPending();
  QCOMPARE(window.receivedText(), QStringLiteral("当前环境温度为：25\n<BB>"));
}

void TerminalTest::reportsBadInputWithoutSending() {
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow window(Defaults);
  window.setPortName(pty.path());
  QVERIFY(!window.sendBytes("x"));
  QVERIFY(window.statusText().contains(QStringLiteral("串口未打开")));

  QVERIFY(window.openPort());
  child<QComboBox>(window, "sendModeCombo")->setCurrentIndex(1);
  child<QLineEdit>(window, "sendEdit")->setText("0F 0G");
  QVERIFY(!window.sendTypedLine());
  QVERIFY2(window.statusText().contains(QStringLiteral("“0G”")), qPrintable(window.statusText()));
  QVERIFY(window.receivedText().contains(QStringLiteral("*** ") + window.statusText()));

  child<QComboBox>(window, "sendModeCombo")->setCurrentIndex(0);
  child<QLineEdit>(window, "sendEdit")->setText(QStringLiteral("😀"));
  QVERIFY(!window.sendTypedLine());
  QVERIFY2(window.statusText().contains(QStringLiteral("GBK")), qPrintable(window.statusText()));
  QCOMPARE(window.sentCount(), 0);
  QCOMPARE(pty.received(), QByteArray());
  QVERIFY(window.isOpen());
}

void TerminalTest::reportsPortsThatCannotOpen() {
  TerminalWindow window(Defaults);
  window.setPortName("/dev/tamberlo-no-such-port");
  QVERIFY(!window.openPort());
  QVERIFY2(window.statusText().contains(QStringLiteral("找不到串口 /dev/tamberlo-no-such-port")),
           qPrintable(window.statusText()));

  window.setPortName("");
  QVERIFY(!window.openPort());
  QVERIFY(window.statusText().contains(QStringLiteral("请先选择或输入串口")));

  // A port another terminal holds.
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow first(Defaults);
  first.setPortName(pty.path());
  QVERIFY(first.openPort());
  TerminalWindow second(Defaults);
  second.setPortName(pty.path());
  QVERIFY(!second.openPort());
  QVERIFY2(second.statusText().contains(QStringLiteral("占用")), qPrintable(second.statusText()));
  QVERIFY(first.isOpen());

  // A typed baud that is no number.
  TerminalWindow third(Defaults);
  third.setPortName(pty.path());
  child<QComboBox>(third, "baudCombo")->setEditText("fast");
  first.closePort();
  QVERIFY(!third.openPort());
  QVERIFY2(third.statusText().contains(QStringLiteral("“fast”")), qPrintable(third.statusText()));
  QVERIFY(!third.isOpen());
}

void TerminalTest::reportsAPortThatGoesAway() {
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow window(Defaults);
  window.setPortName(pty.path());
  QVERIFY(window.openPort());
  pty.write("bye\n");
  QTRY_COMPARE(window.receivedCount(), 4);
  pty.closeSlave();
  pty.closeMaster();
  QTRY_VERIFY(!window.isOpen());
  QVERIFY2(window.statusText().contains(QStringLiteral("已断开")), qPrintable(window.statusText()));
  QVERIFY(window.receivedText().startsWith("*** "));
  QVERIFY(window.receivedText().contains("bye\n*** "));
  QCOMPARE(child<QPushButton>(window, "openButton")->text(), QStringLiteral("打开串口"));
  QVERIFY(child<QComboBox>(window, "portCombo")->isEnabled());
  // Sending now is refused, not crashed.
  QVERIFY(!window.sendBytes("x"));
}

void TerminalTest::changesSettingsWhileOpen() {
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow window(Defaults);
  window.setPortName(pty.path());
  QVERIFY(window.openPort());
  auto* baud = child<QComboBox>(window, "baudCombo");
  baud->setCurrentIndex(baud->findText("57600"));
  emit baud->activated(baud->currentIndex());
  auto* stop = child<QComboBox>(window, "stopBitsCombo");
  stop->setCurrentIndex(1);
  emit stop->activated(1);
  termios line{};
  QCOMPARE(tcgetattr(pty.slave(), &line), 0);
  QCOMPARE(cfgetospeed(&line), speed_t(B57600));
  QVERIFY(line.c_cflag & CSTOPB);
  QVERIFY(window.statusText().contains("57600 8N2"));
}

void TerminalTest::savesTheLog() {
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow window(Defaults);
  window.setPortName(pty.path());
  QVERIFY(window.openPort());
  pty.write("\xCE\xC2\xB6\xC8 25\n\r");
  QTRY_COMPARE(window.receivedCount(), 9);
  QTemporaryDir dir;
  const QString path = dir.filePath("log.txt");
  QVERIFY(window.saveLog(path));
  QFile saved(path);
  QVERIFY(saved.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(saved.readAll());
  QVERIFY(text.contains(QStringLiteral("\n温度 25\n")));

  QVERIFY(!window.saveLog(dir.filePath("missing/log.txt")));
  QVERIFY(window.statusText().contains(QStringLiteral("无法保存记录")));
}

void TerminalTest::openerKeepsTerminalsApartAndClosesThemWithTheOwner() {
  QWidget owner;
  owner.show();
  QtTerminalOpener opener(&owner);
  opener.ComOpenForm(Defaults);
  opener.ComOpenForm(argsFor(13, 2, 2, 2));
  const QList<TerminalWindow*> open = opener.terminals();
  QCOMPARE(open.size(), 2);
  QVERIFY(open[0] != open[1]);
  for (TerminalWindow* window : open) {
    QVERIFY(window->isVisible());
    QVERIFY(window->isWindow());
    QCOMPARE(window->parentWidget(), nullptr);
  }
  QCOMPARE(describe(open[0]->lineSettings()), "9600 8N1");
  QCOMPARE(describe(open[1]->lineSettings()), "115200 7E2");

  // Closing one leaves the other, and lets go of its port.
  Pty pty;
  QVERIFY(pty.ok());
  QPointer<TerminalWindow> first = open[0];
  QPointer<TerminalWindow> second = open[1];
  first->setPortName(pty.path());
  QVERIFY(first->openPort());
  first->close();
  QTRY_VERIFY(first.isNull());
  QCOMPARE(opener.terminals().size(), 1);
  second->setPortName(pty.path());
  QVERIFY2(second->openPort(), qPrintable(second->statusText()));

  // An owner that refuses to close keeps its terminals.
  class Stubborn : public QObject {
   public:
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() != QEvent::Close) return false;
      event->ignore();
      return true;
    }
  } stubborn;
  owner.installEventFilter(&stubborn);
  owner.close();
  QCoreApplication::processEvents();
  QVERIFY(owner.isVisible());
  QVERIFY(!second.isNull() && second->isVisible());
  owner.removeEventFilter(&stubborn);

  owner.close();
  QTRY_VERIFY(second.isNull());
  QCOMPARE(opener.terminals().size(), 0);
}

// Not a check: renders the terminal talking to a pseudo-terminal for the
// documentation when TAMBERLO_TERMINAL_SHOT names the picture to write.
void TerminalTest::screenshot() {
  const QString target = qEnvironmentVariable("TAMBERLO_TERMINAL_SHOT");
  if (target.isEmpty()) QSKIP("set TAMBERLO_TERMINAL_SHOT to render the documentation picture");
  Pty pty;
  QVERIFY(pty.ok());
  TerminalWindow window(argsFor(13, 0, 3, 0));
  window.setPortName(pty.path());
  child<QCheckBox>(window, "timeStampsCheck")->click();
  int tick = 0;
  window.setClock([&tick] { return QTime(21, 14, 3).addMSecs(137 * tick++); });
  window.resize(900, 560);
  window.show();
  QVERIFY(window.openPort());
  const QByteArray banner("Hollowmere\xC2\xDB\xCC\xB3RS232 \xCD\xA8\xD0\xC5\xB2\xE2\xCA\xD4\xB3\xCC\xD0\xF2\n\r"
                       "hollowmere.com\n\r"
                       "ATMega16 \xD6\xF7\xC6\xB5 7.3728MHz\n\r");
  pty.write(banner);
  QTRY_COMPARE(window.receivedCount(), banner.size());
  child<QPushButton>(window, "quick0c")->click();
  pty.write("\xB5\xB1\xC7\xB0\xBB\xB7\xBE\xB3\xCE\xC2\xB6\xC8\xCE\xAA\xA3\xBA" "25\n\r");
  QTRY_VERIFY(window.receivedText().endsWith("25\n"));
  child<QLineEdit>(window, "sendEdit")->setText("0F");
  child<QComboBox>(window, "sendModeCombo")->setCurrentIndex(1);
  child<QRadioButton>(window, "hexViewRadio")->click();
  pty.write("\xBB\n\r");
  QTRY_VERIFY(window.receivedText().endsWith("BB 0A 0D"));
  QVERIFY(window.grab().save(target));
}

QTEST_MAIN(TerminalTest)
#include "tst_terminal.moc"
