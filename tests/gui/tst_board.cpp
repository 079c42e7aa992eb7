// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual board: generated projects built with their Makefile and run in
// tamberlo-sim, driven from the window as a user drives it.
#include <QDir>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

// clang-format off
#include "assembly/editor.h"
#include "gui/main_window.h"
#include "gui/board/board_window.h"
// clang-format on
#include "gui/terminal/terminal_window.h"

using namespace tamberlo;
using namespace tamberlo::gui;

namespace {

constexpr int kRunMs = 60000;  // a loaded machine builds slowly; nothing here waits this long when well

struct NoDialogs : UserDialogs {
  std::optional<std::string> openActFile() override { return std::nullopt; }
  std::optional<std::string> saveActFile() override { return std::nullopt; }
  std::optional<std::string> chooseCompilerFile() override { return std::nullopt; }
  void showMessage(const std::string&) override {}
  void openUrl(const std::string&) override {}
};

}  // namespace

class BoardTest : public QObject {
  Q_OBJECT

  std::unique_ptr<QTemporaryDir> dir_;
  std::unique_ptr<EditorModel> model_;
  NoDialogs dialogs_;
  std::unique_ptr<TForm1> window_;

  template <class W>
  W* w(QWidget* in, const char* name) {
    auto* found = in->findChild<W*>(QLatin1String(name));
    if (!found) qFatal("no widget %s", name);
    return found;
  }
  void click(const char* name) {
    auto* b = w<QAbstractButton>(window_.get(), name);
    auto* tabs = w<QTabWidget>(window_.get(), "PageControl1");
    for (QWidget* p = b; p; p = p->parentWidget())
      if (int i = tabs->indexOf(p); i >= 0) tabs->setCurrentIndex(i);
    QPoint at = qobject_cast<QPushButton*>(b) ? b->rect().center() : QPoint(8, b->height() / 2);
    QTest::mouseClick(b, Qt::LeftButton, {}, at);
  }
  // The UART demo through the window: UART0 receiving and sending, generated.
  void generateUartDemo() {
    click("UART0Check");
    click("CheckBox5");
    click("CheckBox7");
    click("BitBtn1");
    click("BitBtn2");
  }
  // The pictures of docs/: TAMBERLO_SHOT_DIR=docs under Xvfb.
  void shoot(QWidget* what, const char* name) {
    if (qEnvironmentVariableIsEmpty("TAMBERLO_SHOT_DIR")) return;
    QTest::qWait(1000);
    what->grab().save(QDir(qEnvironmentVariable("TAMBERLO_SHOT_DIR")).filePath(name));
  }
  BoardWindow* pressF5() {
    window_->activateWindow();
    if (!QTest::qWaitForWindowActive(window_.get()))
      window_->openBoard();  // no focus offscreen on some setups
    else
      QTest::keyClick(window_.get(), Qt::Key_F5);
    return window_->board();
  }

 private Q_SLOTS:
  void initTestCase() {
    if (QStandardPaths::findExecutable("avr-gcc").isEmpty() ||
        QStandardPaths::findExecutable("make").isEmpty() || !QFile::exists(TAMBERLO_SIM_EXE))
      QSKIP("needs avr-gcc, make and tamberlo-sim (scripts/deps.sh)");
    // The window looks for tamberlo-sim beside itself, then on the PATH.
    qputenv("PATH", QFileInfo(TAMBERLO_SIM_EXE).absolutePath().toLocal8Bit() + ":" + qgetenv("PATH"));
  }
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    model_ = std::make_unique<Editor>();
    model_->FormCreate(dir_->path().toStdString());
    window_ = std::make_unique<TForm1>(*model_, &dialogs_);
    window_->FormShow();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }
  void cleanup() {
    window_.reset();
    model_.reset();
  }

  void uartDemoBannerThroughTheTerminal() {
    generateUartDemo();
    QElapsedTimer clock;
    clock.start();
    BoardWindow* board = pressF5();
    QVERIFY(board);
    QTRY_VERIFY_WITH_TIMEOUT(!board->terminals().isEmpty(), kRunMs);
    terminal::TerminalWindow* term = board->terminals().first();
    QVERIFY(term->isOpen());
    // The board and its terminal lie wholly on the screen.
    const QRect area = board->screen()->availableGeometry();
    QVERIFY(area.contains(board->frameGeometry()));
    QVERIFY(area.contains(term->frameGeometry()));
    QTRY_VERIFY_WITH_TIMEOUT(term->receivedCount() > 0, kRunMs);
    qInfo("F5 to the first banner byte: %lld ms", static_cast<long long>(clock.elapsed()));
    QTRY_VERIFY_WITH_TIMEOUT(term->receivedText().contains("hollowmere.com"), kRunMs);

    // "0x0F 开始测试" asks for the banner again.
    term->clear();
    QTest::mouseClick(w<QPushButton>(term, "quick0f"), Qt::LeftButton);
    // The banner arrives at the line's pace, slower on a loaded machine.
    QTRY_VERIFY_WITH_TIMEOUT(term->receivedText().contains("ATMega16"), kRunMs);
    QTRY_VERIFY_WITH_TIMEOUT(term->receivedText().contains("RS232"), kRunMs);
    QCOMPARE(board->state().chip, std::string("atmega16"));
    QVERIFY(board->state().ports.count('D'));
    // The ELF carries the fuses for its 7.3728 MHz crystal.
    QCOMPARE(board->state().fuses, std::string("crystal 3.0-8.0 MHz, JTAG off"));
    QCOMPARE(board->state().fuseWarning, std::string());
    QVERIFY(w<QLabel>(board, "BoardFuses")->text().contains(QStringLiteral("晶振 3.0-8.0 MHz，JTAG 关闭")));
    shoot(term, "board-terminal.png");

    // Closing the editor closes the board, which ends the simulator and lets
    // go of the terminal's line.
    window_->close();
    QVERIFY(!board->isVisible());
    QVERIFY(!term->isOpen());
  }

  // A run that could write no Makefile leaves the old one, for the old
  // crystal: the board refuses it and says what to fix.
  void staleMakefileIsRefused() {
    generateUartDemo();
    // The crystal box refuses such a text; set past it, the next run writes
    // no Makefile.
    model_->setText("ComboBox2", "fast");
    model_->run("BitBtn2Click");
    BoardWindow* board = pressF5();
    QVERIFY(board);
    QTRY_VERIFY_WITH_TIMEOUT(
        w<QLabel>(board, "BoardStatus")->text().contains(QStringLiteral("晶振频率 \"fast\"")), kRunMs);
    QVERIFY(board->state().run.empty());  // nothing was built or run
  }

  void syntaxErrorShowsItsFileAndLine() {
    generateUartDemo();
    const QString mainC = QDir(QString::fromStdString(model_->ProjectDir())).filePath("main.c");
    QFile f(mainC);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QByteArray text = f.readAll();
    f.close();
    const int line =
        int(text.left(text.indexOf("void main") >= 0 ? text.indexOf("void main") : 0).count('\n')) + 1;
    text.insert(text.indexOf("void main") >= 0 ? text.indexOf("void main") : 0, "int broken(;\r\n");
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
    f.close();

    BoardWindow* board = pressF5();
    QSignalSpy built(board, &BoardWindow::built);
    QTRY_VERIFY_WITH_TIMEOUT(built.count() == 1, kRunMs);
    QCOMPARE(built.first().first().toBool(), false);
    auto* problems = w<QListWidget>(board, "BoardProblems");
    QVERIFY(problems->count() > 0);
    QVERIFY2(problems->item(0)->text().startsWith(QStringLiteral("main.c:%1: error: ").arg(line)),
             qPrintable(problems->item(0)->text()));
    const QPoint at = problems->visualItemRect(problems->item(0)).center();
    QTest::mouseClick(problems->viewport(), Qt::LeftButton, {},
                      at);  // a view takes a double click on a pressed row
    QTest::mouseDClick(problems->viewport(), Qt::LeftButton, {}, at);
    QCOMPARE(board->sourceShown(), QStringLiteral("main.c"));
    QCOMPARE(board->sourceLine(), line);
  }

  void crashStopsTheChipAndNamesWhere() {
    generateUartDemo();
    // A call through a pointer to word 0x1000, far past this small program.
    QFile f(QDir(QString::fromStdString(model_->ProjectDir())).filePath("main.c"));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("int main(void) { ((void (*)(void))0x1000)(); return 0; }\r\n");
    f.close();
    BoardWindow* board = pressF5();
    QTRY_VERIFY_WITH_TIMEOUT(board->state().crashed(), kRunMs);
    QCOMPARE(board->state().pc, 0x2000u);
    QVERIFY2(board->statusText().contains("PC 0x2000"), qPrintable(board->statusText()));
    const uint64_t stoppedAt = board->state().cycles;
    QTest::qWait(300);
    QCOMPARE(board->state().cycles, stoppedAt);
  }

  void lcd1602DemoShowsWelcome() {
    // The LCD1602 on port A's upper half, E, RW and RS on PC0..PC2.
    const QString project = dir_->filePath("lcd");
    QProcess gen;
    gen.start(TAMBERLO_GEN_EXE, {"--exe-dir", dir_->filePath("exe"), "-o", project, "--set", "LCD.Lcd_use=1",
                                 "--set", "LCD.Lcd_type=1", "--set", "LCD.Data_io=0", "--set",
                                 "LCD.Text1=PC0", "--set", "LCD.Text2=PC1", "--set", "LCD.Text3=PC2"});
    QVERIFY(gen.waitForFinished(kRunMs));
    QCOMPARE(gen.exitCode(), 0);
    // The editor's settings are the defaults, as after a restart: the board
    // wires what the run generated, and says that the settings differ.
    BoardWindow board(project, ProjectConfig{}, TAMBERLO_SIM_EXE);
    board.show();
    QVERIFY(!w<QPushButton>(&board, "BoardRun")->isEnabled());
    QVERIFY(!w<QPushButton>(&board, "BoardReset")->isEnabled());
    board.start();
    QTRY_VERIFY_WITH_TIMEOUT(board.lcdText().contains("Welcome to"), kRunMs);
    QVERIFY(w<QLabel>(&board, "BoardLcd")->isVisible());
    QVERIFY(w<QLabel>(&board, "BoardTime")->text().startsWith(QStringLiteral("仿真时间")));
    QVERIFY2(board.statusText().contains(QStringLiteral("当前设置与生成的工程不同")), qPrintable(board.statusText()));
    QVERIFY(w<QPushButton>(&board, "BoardRun")->isEnabled());
    QVERIFY(w<QPushButton>(&board, "BoardUart0")->isEnabled());
    QVERIFY(!w<QPushButton>(&board, "BoardUart1")->isEnabled());  // the ATmega16 has one UART
    shoot(&board, "board-lcd1602.png");

    // A second start builds with nothing of the first run on the board.
    board.start();
    QVERIFY(board.state().ports.empty());
    QVERIFY(w<QLabel>(&board, "BoardTime")->text().isEmpty());
    QVERIFY(!w<QLabel>(&board, "BoardLcd")->isVisible());
    QVERIFY(!w<QPushButton>(&board, "BoardRun")->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(board.lcdText().contains("Welcome to"), kRunMs);
    board.stop();
    QVERIFY(!w<QPushButton>(&board, "BoardReset")->isEnabled());
    QVERIFY(!w<QPushButton>(&board, "BoardUart0")->isEnabled());
  }

  // The demo board: every chip of the project wired where the project put
  // it, driven from the board and answering the firmware.
  void chipsOfTheProjectOnTheBoard() {
    const QString project = dir_->filePath("chips");
    QProcess gen;
    gen.start(TAMBERLO_GEN_EXE,
              {"--exe-dir", dir_->filePath("exe"), "-o", project, "--set", "UART0.Uart0_use=1", "--set",
               "UART0.Rx_en=1", "--set", "UART0.Tx_en=1", "--set", "Other APP.OneWire_use=1", "--set",
               "Other APP.Ds18b20_use=1", "--set", "Other APP.Ds18b20_port=2", "--set", "Other APP.Ds18b20_portno=3",
               "--set", "TWI.Twi_use=1", "--set", "TWI.Twi_en=1", "--set", "TWI.Twi_at24=1", "--set",
               "TWI.Twi_ds1307=1", "--set", "TWI.Twi_zlg7290=1", "--set", "TWI.Twi_tea5767=1", "--set",
               "SPI.Spi_use=1", "--set", "SPI.Spi_en=1", "--set", "SPI.Spi_master=1", "--set", "SPI.Spi_ds1302=1"});
    QVERIFY(gen.waitForFinished(kRunMs));
    QCOMPARE(gen.exitCode(), 0);
    BoardWindow board(project, ProjectConfig{}, TAMBERLO_SIM_EXE);
    board.show();
    board.start();
    QTRY_VERIFY_WITH_TIMEOUT(!board.terminals().isEmpty(), kRunMs);
    terminal::TerminalWindow* term = board.terminals().first();
    QTRY_VERIFY_WITH_TIMEOUT(term->receivedText().contains(QStringLiteral("检测到DS18B20 的存在")), kRunMs);
    // Only the commands main.c answers are offered.
    QTRY_VERIFY_WITH_TIMEOUT(term->receivedText().contains(QStringLiteral("检测到DS1302 的存在")), kRunMs);
    // Only the commands main.c answers are offered.
    for (const char* shown : {"quick0f", "quick0a", "quick0b", "quick0c", "quick0d", "quick0e"})
      QVERIFY2(!w<QPushButton>(term, shown)->isHidden(), shown);

    // The temperature set on the board is what the demo reads: 0x0C shows
    // the conversion the previous 0x0C started, in 1/16 degree.
    auto* temperature = w<QDoubleSpinBox>(&board, "BoardDs18b20");
    QVERIFY(temperature->isVisible());
    temperature->setValue(30.5);
    QTRY_COMPARE_WITH_TIMEOUT(board.state().ds18b20Raw, 488, kRunMs);
    QTest::mouseClick(w<QPushButton>(term, "quick0c"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(term->receivedText().contains(QStringLiteral("当前环境温度为：")), kRunMs);
    QTest::qWait(1000);  // a conversion takes 750 ms
    QTest::mouseClick(w<QPushButton>(term, "quick0c"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(term->receivedText().contains(QStringLiteral("当前环境温度为：0488")), kRunMs);

    // 0x0A writes 0x99 and 0x22 to the EEPROM, 0x0B reads them back: 187.
    QTest::mouseClick(w<QPushButton>(term, "quick0a"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(board.state().eeprom.size() > 0x56 && board.state().eeprom[0x55] == 0x99 &&
                                 board.state().eeprom[0x56] == 0x22,
                             kRunMs);
    QVERIFY(w<QLabel>(&board, "BoardEeprom")->text().contains(QRegularExpression("50:( [0-9A-F]{2}){5} 99 22")));
    QTest::qWait(500);  // the rest of 0x0A's answer
    w<QRadioButton>(term, "hexViewRadio")->setChecked(true);
    term->clear();
    QTest::mouseClick(w<QPushButton>(term, "quick0b"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(term->receivedText().contains("BB"), kRunMs);

    // The DS1307 runs from the host's time; the ZLG7290 shows the demo's count.
    QTRY_VERIFY_WITH_TIMEOUT(!board.state().rtc.empty(), kRunMs);
    const std::string first = board.state().rtc;
    QCOMPARE(first.substr(0, 4), QDate::currentDate().toString("yyyy").toStdString());
    QTRY_VERIFY_WITH_TIMEOUT(board.state().rtc != first, kRunMs);
    // Set by hand from the board, both clocks run from there.
    w<QDateTimeEdit>(&board, "BoardClockEdit")->setDateTime(QDateTime(QDate(2030, 1, 2), QTime(3, 4, 5)));
    QTest::mouseClick(w<QPushButton>(&board, "BoardSetClock"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(board.state().rtc.rfind("2030-01-02 03:04:0", 0) == 0, kRunMs);
    QTRY_VERIFY_WITH_TIMEOUT(board.state().ds1302.rfind("2030-01-02 03:04:0", 0) == 0, kRunMs);
    QTRY_VERIFY_WITH_TIMEOUT(w<QLabel>(&board, "BoardZlg7290")->text().trimmed().size() > 0, kRunMs);
    // 0x0E sets the DS1302 to 2005-10-06 23:59:50; it ticks on.
    QTest::mouseClick(w<QPushButton>(term, "quick0e"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(board.state().ds1302.rfind("2005-10-06 23:59:5", 0) == 0, kRunMs);
    const std::string set = board.state().ds1302;
    QTRY_VERIFY_WITH_TIMEOUT(board.state().ds1302 != set, kRunMs);
    // The tuner's driver tunes to 88 MHz at start.
    QTRY_COMPARE_WITH_TIMEOUT(w<QLabel>(&board, "BoardRadio")->text(), QStringLiteral("88.00 MHz"), kRunMs);
    shoot(&board, "board-chips.png");
  }

  void ks0108DemoDrawsItsDots() {
    // The 128x64 KS0108 on port A, E, RW, DI on PC0..PC2, CS1, CS2, RST on PD3..PD5.
    const QString project = dir_->filePath("ks0108");
    const char* pins[] = {"PC0", "PC1", "PC2", "PD3", "PD4", "PD5"};
    QStringList args = {"--exe-dir", dir_->filePath("exe"), "-o",    project,        "--set", "LCD.Lcd_use=1",
                        "--set",     "LCD.Lcd_type=9",      "--set", "LCD.Data_io=0"};
    ProjectConfig cfg;
    cfg.LCD.Lcd_use = true;
    cfg.LCD.Lcd_type = {9, "LCD128x64(KS0108)"};
    cfg.LCD.Data_io = {0, "PORTA"};
    for (int i = 0; i < 6; i++) {
      args << "--set" << QStringLiteral("LCD.Text%1=%2").arg(i + 1).arg(pins[i]);
      cfg.LCD.pins[size_t(i)].Text = pins[i];
    }
    QProcess gen;
    gen.start(TAMBERLO_GEN_EXE, args);
    QVERIFY(gen.waitForFinished(kRunMs));
    QCOMPARE(gen.exitCode(), 0);
    QElapsedTimer clock;
    clock.start();
    BoardWindow board(project, cfg, TAMBERLO_SIM_EXE);
    board.show();
    board.start();
    // The demo writes rows of characters: hundreds of dots.
    QTRY_VERIFY_WITH_TIMEOUT(board.state().litDots() > 300, kRunMs);
    qInfo("start to the first picture: %lld ms", static_cast<long long>(clock.elapsed()));
    QCOMPARE(board.state().gfxWidth, 128);
    QCOMPARE(board.state().gfxHeight, 64);
    QVERIFY(!w<QLabel>(&board, "BoardLcd")->isVisible());

    // The window shows exactly the simulator's dots, dark on the glass.
    auto* gfx = w<QLabel>(&board, "BoardGfx");
    QVERIFY(gfx->isVisible());
    if (!qEnvironmentVariableIsEmpty("TAMBERLO_SHOT_DIR"))  // the picture, past the start-up drawing
      QTRY_VERIFY_WITH_TIMEOUT(board.state().seconds() > 4.0, kRunMs);
    shoot(&board, "board-graphic.png");
    board.stop();  // the picture holds still while it is compared
    const QImage shown = gfx->pixmap().toImage();
    QCOMPARE(shown.size(), QSize(128 * 4, 64 * 4));
    int lit = 0;
    for (int y = 0; y < 64; y++)
      for (int x = 0; x < 128; x++) {
        const bool dark = qGreen(shown.pixel(x * 4 + 1, y * 4 + 1)) < 0x80;
        QCOMPARE(dark, board.state().dots[size_t(y * 128 + x)] != 0);
        lit += dark;
      }
    QCOMPARE(lit, board.state().litDots());
  }
};

QTEST_MAIN(BoardTest)
#include "tst_board.moc"
