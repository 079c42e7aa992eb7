// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual board window; see board_window.h. What it runs and how it
// reads the simulator is decided in app/virtual_board.
#include "gui/board/board_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTimeEdit>
#include <QDoubleSpinBox>
#include <QFile>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTextBlock>
#include <QThread>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>
#include <optional>
#include <string>

#include "gen/project_record.h"
#include "gui/screen_fit.h"
#include "gui/terminal/terminal_window.h"
#include "platform/fs.h"
#include "platform/gbk.h"
#include "platform/messages.h"

namespace tamberlo::gui {
namespace {

QString fromGbk(const QByteArray& bytes) {
  return QString::fromStdString(gbkToUtf8(std::string_view(bytes.constData(), size_t(bytes.size()))));
}

// How long a closing board waits for its programs before ending them.
constexpr int kStopWaitMs = 2000;

// One row of the chips' form: a field that takes the room, and its button.
QWidget* fieldWithButton(QWidget* field, QPushButton* button) {
  auto* row = new QWidget;
  auto* line = new QHBoxLayout(row);
  line->setContentsMargins(0, 0, 0, 0);
  line->addWidget(field, 1);
  line->addWidget(button);
  return row;
}

}  // namespace

BoardWindow::BoardWindow(const QString& projectDir, const ProjectConfig& cfg, QString simProgram,
                         QWidget* parent)
    : QWidget(parent, Qt::Window), dir_(projectDir), cfg_(cfg), simProgram_(std::move(simProgram)) {
  setObjectName(QStringLiteral("BoardWindow"));
  setWindowTitle(QStringLiteral("虚拟板"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  buildWidgets();
  make_.setProcessChannelMode(QProcess::MergedChannels);
  connect(&make_, &QProcess::readyRead, this,
          [this] { log_->appendPlainText(fromGbk(make_.readAll()).trimmed()); });
  connect(&make_, &QProcess::finished, this, &BoardWindow::onBuildFinished);
  connect(&make_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) setStatus(QStringLiteral("make could not be started"), true);
  });
  connect(&sim_, &QProcess::readyReadStandardOutput, this, &BoardWindow::onSimOutput);
  connect(&sim_, &QProcess::readyReadStandardError, this, [this] { sim_.readAllStandardError(); });
  connect(&sim_, &QProcess::finished, this, &BoardWindow::onSimFinished);
  connect(&sim_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
    if (e == QProcess::FailedToStart) setStatus(QStringLiteral("tamberlo-sim could not be started"), true);
  });
  enableControls();
}

BoardWindow::~BoardWindow() {
  stop();
  for (auto& t : terminals_)
    if (t) delete t.data();
}

void BoardWindow::buildWidgets() {
  auto* root = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  chipLabel_ = new QLabel;
  chipLabel_->setObjectName(QStringLiteral("BoardChip"));
  QFont bold = chipLabel_->font();
  bold.setBold(true);
  chipLabel_->setFont(bold);
  crystalLabel_ = new QLabel;
  crystalLabel_->setObjectName(QStringLiteral("BoardCrystal"));
  timeLabel_ = new QLabel;
  timeLabel_->setObjectName(QStringLiteral("BoardTime"));
  runButton_ = new QPushButton(QStringLiteral("暂停"));
  runButton_->setObjectName(QStringLiteral("BoardRun"));
  resetButton_ = new QPushButton(QStringLiteral("复位"));
  resetButton_->setObjectName(QStringLiteral("BoardReset"));
  top->addWidget(chipLabel_);
  top->addWidget(crystalLabel_);
  top->addWidget(timeLabel_, 1);
  top->addWidget(runButton_);
  top->addWidget(resetButton_);
  for (int u = 0; u < 2; u++) {
    uartButtons_[u] = new QPushButton(QStringLiteral("UART%1 终端").arg(u));
    uartButtons_[u]->setObjectName(QStringLiteral("BoardUart%1").arg(u));
    uartButtons_[u]->setEnabled(false);
    top->addWidget(uartButtons_[u]);
    connect(uartButtons_[u], &QPushButton::clicked, this, [this, u] { openTerminal(u); });
  }
  root->addLayout(top);
  // What the ELF's fuses select: a real chip needs them written first.
  fuseLabel_ = new QLabel;
  fuseLabel_->setObjectName(QStringLiteral("BoardFuses"));
  fuseLabel_->setWordWrap(true);
  root->addWidget(fuseLabel_);
  connect(runButton_, &QPushButton::clicked, this, [this] {
    paused_ = !paused_;
    sendCommand(paused_ ? "pause" : "run");
    runButton_->setText(paused_ ? QStringLiteral("运行") : QStringLiteral("暂停"));
  });
  connect(resetButton_, &QPushButton::clicked, this, [this] { sendCommand("reset"); });

  auto* middle = new QHBoxLayout;
  portGrid_ = new QGridLayout;
  portGrid_->setSpacing(2);
  middle->addLayout(portGrid_);
  lcd_ = new QLabel;
  lcd_->setObjectName(QStringLiteral("BoardLcd"));
  QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  mono.setPointSize(mono.pointSize() + 4);
  lcd_->setFont(mono);
  lcd_->setStyleSheet(
      QStringLiteral("QLabel { background: #9bbc0f; color: #0f380f; padding: 8px;"
                     " border: 6px solid #203020; }"));
  lcd_->setTextFormat(Qt::PlainText);
  lcd_->hide();
  middle->addWidget(lcd_, 0, Qt::AlignTop);
  gfx_ = new QLabel;
  gfx_->setObjectName(QStringLiteral("BoardGfx"));
  gfx_->setStyleSheet(
      QStringLiteral("QLabel { background: #9bbc0f; padding: 6px; border: 6px solid #203020; }"));
  gfx_->hide();
  middle->addWidget(gfx_, 0, Qt::AlignTop);
  chipsBox_ = new QGroupBox(QStringLiteral("器件"));
  chipsBox_->setObjectName(QStringLiteral("BoardChips"));
  auto* chipsForm = new QFormLayout(chipsBox_);
  temperature_ = new QDoubleSpinBox;
  temperature_->setObjectName(QStringLiteral("BoardDs18b20"));
  temperature_->setRange(-55.0, 125.0);  // the sensor's range, in its 1/16 degree steps
  temperature_->setDecimals(4);
  temperature_->setSingleStep(0.0625);
  temperature_->setSuffix(QStringLiteral(" °C"));
  temperatureLabel_ = new QLabel(QStringLiteral("DS18B20"));
  chipsForm->addRow(temperatureLabel_, temperature_);
  connect(temperature_, &QDoubleSpinBox::valueChanged, this, [this](double degrees) {
    const int raw = int(std::lround(degrees * 16.0));
    if (raw != state_.ds18b20Raw) sendCommand("ds18b20 " + QByteArray::number(raw));
  });
  rtc_ = new QLabel;
  rtc_->setObjectName(QStringLiteral("BoardRtc"));
  chipsForm->addRow(QStringLiteral("DS1307"), rtc_);
  digits_ = new QLabel;
  digits_->setObjectName(QStringLiteral("BoardZlg7290"));
  QFont segFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
  segFont.setPointSize(segFont.pointSize() + 6);
  digits_->setFont(segFont);
  digits_->setStyleSheet(QStringLiteral("QLabel { background: #200000; color: #ff3030; padding: 2px 6px; }"));
  chipsForm->addRow(QStringLiteral("ZLG7290"), digits_);
  keypad_ = new QWidget;
  auto* keys = new QGridLayout(keypad_);
  keys->setContentsMargins(0, 0, 0, 0);
  keys->setSpacing(2);
  for (int code = 1; code <= 16; code++) {
    auto* key = new QPushButton(QString::number(code));
    key->setObjectName(QStringLiteral("BoardKey%1").arg(code));
    key->setFixedSize(30, 24);
    keys->addWidget(key, (code - 1) / 8, (code - 1) % 8);
    connect(key, &QPushButton::clicked, this,
            [this, code] { sendCommand("zlg7290 key " + QByteArray::number(code)); });
  }
  chipsForm->addRow(QStringLiteral("键盘"), keypad_);
  ds1302_ = new QLabel;
  ds1302_->setObjectName(QStringLiteral("BoardDs1302"));
  chipsForm->addRow(QStringLiteral("DS1302"), ds1302_);
  // The clocks start at the host's time; this sets them, as by hand.
  clockEdit_ = new QDateTimeEdit(QDateTime::currentDateTime());
  clockEdit_->setObjectName(QStringLiteral("BoardClockEdit"));
  clockEdit_->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
  clockEdit_->setDateTimeRange(QDateTime(QDate(2000, 1, 1), QTime(0, 0)), QDateTime(QDate(2099, 12, 31), QTime(23, 59, 59)));
  auto* setClock = new QPushButton(QStringLiteral("设置时钟"));
  setClock->setObjectName(QStringLiteral("BoardSetClock"));
  clockRow_ = fieldWithButton(clockEdit_, setClock);
  connect(setClock, &QPushButton::clicked, this, [this] {
    const QByteArray when = clockEdit_->dateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toLatin1();
    for (const char* rtc : {"ds1307", "ds1302"})
      if (state_.hasChip(rtc)) sendCommand(QByteArray(rtc) + ' ' + when);
  });
  chipsForm->addRow(QStringLiteral("时钟"), clockRow_);
  // The disk of the SD card and the CH375: a fresh volume, or the user's.
  disk_ = new QLabel;
  disk_->setObjectName(QStringLiteral("BoardDisk"));
  auto* pickDisk = new QPushButton(QStringLiteral("选择映像..."));
  pickDisk->setObjectName(QStringLiteral("BoardPickDisk"));
  diskRow_ = fieldWithButton(disk_, pickDisk);
  connect(pickDisk, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("磁盘映像"), dir_);
    if (path.isEmpty()) return;
    setDiskImage(path);
    setStatus(QStringLiteral("The disk image %1 is used from the next start (F5).").arg(path), false);
  });
  chipsForm->addRow(QStringLiteral("磁盘"), diskRow_);
  stream_ = new QLabel;
  stream_->setObjectName(QStringLiteral("BoardStream"));
  auto* saveMp3 = new QPushButton(QStringLiteral("保存为MP3"));
  saveMp3->setObjectName(QStringLiteral("BoardSaveMp3"));
  streamRow_ = fieldWithButton(stream_, saveMp3);
  connect(saveMp3, &QPushButton::clicked, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存为MP3"), dir_,
                                                      QStringLiteral("MP3 (*.mp3)"));
    if (!path.isEmpty()) saveStream(path);
  });
  chipsForm->addRow(QStringLiteral("VS1003"), streamRow_);
  radio_ = new QLabel;
  radio_->setObjectName(QStringLiteral("BoardRadio"));
  chipsForm->addRow(QStringLiteral("TEA5767"), radio_);
  eeprom_ = new QLabel;
  eeprom_->setObjectName(QStringLiteral("BoardEeprom"));
  eeprom_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  eeprom_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  chipsForm->addRow(QStringLiteral("AT24C32"), eeprom_);
  chipsBox_->hide();
  middle->addWidget(chipsBox_, 0, Qt::AlignTop);
  middle->addStretch(1);
  root->addLayout(middle);

  tabs_ = new QTabWidget;
  log_ = new QPlainTextEdit;
  log_->setObjectName(QStringLiteral("BoardLog"));
  log_->setReadOnly(true);
  log_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  problems_ = new QListWidget;
  problems_->setObjectName(QStringLiteral("BoardProblems"));
  connect(problems_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    size_t i = size_t(problems_->row(item));
    if (i < diagnostics_.size())
      showSource(QString::fromStdString(diagnostics_[i].file), diagnostics_[i].line);
  });
  source_ = new QPlainTextEdit;
  source_->setObjectName(QStringLiteral("BoardSource"));
  source_->setReadOnly(true);
  source_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  tabs_->addTab(log_, QStringLiteral("编译输出"));
  tabs_->addTab(problems_, QStringLiteral("错误和警告"));
  tabs_->addTab(source_, QStringLiteral("源文件"));
  root->addWidget(tabs_, 1);

  statusLabel_ = new QLabel;
  statusLabel_->setObjectName(QStringLiteral("BoardStatus"));
  statusLabel_->setWordWrap(true);
  statusLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  root->addWidget(statusLabel_);
  resize(720, 560);
}

void BoardWindow::setProject(const QString& projectDir, const ProjectConfig& cfg) {
  dir_ = projectDir;
  cfg_ = cfg;
}

QString BoardWindow::findSim() const {
  if (!simProgram_.isEmpty()) return simProgram_;
  for (const std::string& path :
       board::simCandidates(QCoreApplication::applicationDirPath().toStdString() + "/")) {
    const QString p = QString::fromStdString(path);
    if (QFileInfo(p).isExecutable()) return p;
  }
  return QStandardPaths::findExecutable(QStringLiteral("tamberlo-sim"));
}

void BoardWindow::setStatus(const QString& text, bool failure) {
  statusLabel_->setText(QString::fromStdString(inChinese(text.toStdString())));
  statusLabel_->setStyleSheet(failure ? QStringLiteral("color: #b00000;") : QString());
}

void BoardWindow::start() {
  stop();
  // Nothing of the last run stays on the board while this one builds.
  state_ = {};
  launch_ = {};
  settingsNote_.clear();
  diagnostics_.clear();
  problems_->clear();
  log_->clear();
  announced_ = false;
  paused_ = false;
  runButton_->setText(QStringLiteral("暂停"));
  lcd_->hide();  // the project may have another display now, or none
  fuseLabel_->clear();
  gfx_->hide();
  timeLabel_->clear();
  refresh();
  chipLabel_->setText(QString::fromStdString(cfg_.mcuName()));
  crystalLabel_->setText(QString::fromStdString(cfg_.crystalText()) + QStringLiteral(" MHz"));

  const bool haveGcc = !QStandardPaths::findExecutable(QStringLiteral("avr-gcc")).isEmpty();
  const bool haveMake = !QStandardPaths::findExecutable(QStringLiteral("make")).isEmpty();
  const std::string advice = board::missingToolsAdvice(haveGcc, haveMake);
  if (!advice.empty()) {
    setStatus(QString::fromStdString(advice), true);
    log_->appendPlainText(QString::fromStdString(advice));
    emit built(false);
    return;
  }
  // A run that failed or wrote no Makefile left the old one, which builds
  // the previous settings: say what to fix instead of running that.
  if (const auto stale = staleAdvice(QDir(dir_).absolutePath().toStdString())) {
    setStatus(QString::fromStdString(*stale), true);
    log_->appendPlainText(QString::fromStdString(*stale));
    emit built(false);
    return;
  }
  // Read only as a regular file: a FIFO named Makefile must not block the window.
  std::optional<std::string> makefile;
  try {
    makefile = readFileIfExists(QDir(dir_).filePath(QStringLiteral("Makefile")).toStdString(), 1u << 20);
  } catch (const std::exception& e) {
    setStatus(QString::fromStdString(e.what()), true);
    emit built(false);
    return;
  }
  if (!makefile) {
    setStatus(QStringLiteral("No Makefile in %1: generate the project first (生成工程).").arg(dir_), true);
    emit built(false);
    return;
  }
  launch_ = board::launchFor(*makefile, cfg_);
  launch_.diskImage = diskImage_.toStdString();
  if (launch_.chip.empty() || !launch_.hz) {
    setStatus(QStringLiteral("The Makefile names no MCU or F_CPU."), true);
    emit built(false);
    return;
  }
  // The LCD, the chips and the terminals are those the run generated, as
  // its description says: the editor's settings may have changed since, or
  // be the defaults of a new session.
  std::optional<std::string> description;
  try {
    description = readFileIfExists(QDir(dir_).filePath(QLatin1String(board::kBoardFile)).toStdString(), 1u << 16);
  } catch (const std::exception&) {
  }
  if (description) {
    board::applyBoardDescription(*description, launch_);
    launch_.boardFile = board::kBoardFile;
    std::string now;
    for (const std::string& line : board::boardDescription(cfg_)) now += line + "\r\n";
    if (now != *description)
      settingsNote_ = QStringLiteral("The settings differ from the generated project's: the board runs what was "
                                     "generated; click 生成工程 to run the new settings.");
  } else {
    launch_.display.clear();
    settingsNote_ = QStringLiteral("This folder has no %1 (generated by an older version): no LCD or chips are "
                                   "wired; click 生成工程 to wire them.")
                        .arg(QLatin1String(board::kBoardFile));
  }
  chipLabel_->setText(QString::fromStdString(launch_.chip));
  crystalLabel_->setText(QStringLiteral("%1 MHz").arg(double(launch_.hz) / 1e6, 0, 'f', 4));
  setStatus(QStringLiteral("Building with make..."), false);
  tabs_->setCurrentWidget(log_);
  make_.setWorkingDirectory(dir_);
  // gcc's own words in English and plain quotes, whatever the user's locale:
  // the messages are read by their "error:" and "warning:", and the only
  // other bytes are the GBK of the quoted sources.
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C"));
  make_.setProcessEnvironment(env);
  // Every core compiles; -O keeps each file's messages together in the log.
  const QStringList args{QStringLiteral("-j%1").arg(std::max(1, QThread::idealThreadCount())), QStringLiteral("-O")};
  log_->appendPlainText(QStringLiteral("make %1 (in %2)").arg(args.join(QLatin1Char(' ')), dir_));
  make_.start(QStringLiteral("make"), args);
}

void BoardWindow::onBuildFinished(int code, QProcess::ExitStatus status) {
  log_->appendPlainText(fromGbk(make_.readAll()).trimmed());
  diagnostics_ = board::parseDiagnostics(log_->toPlainText().toStdString());
  for (const auto& d : diagnostics_)
    problems_->addItem(QStringLiteral("%1:%2: %3: %4")
                           .arg(QString::fromStdString(d.file))
                           .arg(d.line)
                           .arg(QString::fromStdString(d.severity), QString::fromStdString(d.message)));
  const bool ok = status == QProcess::NormalExit && code == 0;
  if (!ok) {
    setStatus(QStringLiteral("The build failed: %1 message(s) with a place; double click one to see it.")
                  .arg(diagnostics_.size()),
              true);
    if (!diagnostics_.empty()) tabs_->setCurrentWidget(problems_);
    emit built(false);
    return;
  }
  emit built(true);
  startSimulator();
}

void BoardWindow::startSimulator() {
  const QString program = findSim();
  if (program.isEmpty()) {
    setStatus(
        QStringLiteral("tamberlo-sim was not found beside Tamberlo, in ../libexec/tamberlo or on the PATH; "
                       "building it needs simavr (Debian: sudo apt-get install simavr libsimavr-dev)."),
        true);
    return;
  }
  QStringList args;
  for (const std::string& a : board::simArguments(launch_)) args << QString::fromStdString(a);
  args.prepend(QStringLiteral("-p"));  // paused until the terminals are on the lines
  setStatus(QStringLiteral("Starting the virtual board..."), false);
  simPending_.clear();
  sim_.setWorkingDirectory(dir_);
  sim_.start(program, args);
}

void BoardWindow::onSimOutput() {
  simPending_ += sim_.readAllStandardOutput();
  bool changed = false;
  qsizetype nl;
  while ((nl = simPending_.indexOf('\n')) >= 0) {
    std::string line = simPending_.left(nl).toStdString();
    simPending_.remove(0, nl + 1);
    const bool applied = state_.apply(line);
    changed |= applied;
    // Only these change the picture; the rest need not redraw it.
    if (applied && (line.rfind("pix ", 0) == 0 || line.rfind("gfx ", 0) == 0)) dotsStale_ = true;
    if (line.rfind("state ", 0) == 0 && !announced_) {
      // Everything before the first state line is the board's make-up:
      // terminals are opened on the projects' UARTs, then the chip runs.
      announced_ = true;
      for (int u : launch_.uarts)
        if (state_.uarts.count(u)) openTerminal(u);
      sendCommand("run");
      emit running();
    }
  }
  if (changed) refresh();
}

void BoardWindow::onSimFinished(int code, QProcess::ExitStatus status) {
  onSimOutput();
  enableControls();
  if (!state_.error.empty())
    setStatus(QStringLiteral("The virtual board stopped: ") + QString::fromStdString(state_.error), true);
  else if (status != QProcess::NormalExit)
    setStatus(QStringLiteral("The virtual board ended unexpectedly."), true);
  else if (code != 0)
    setStatus(QStringLiteral("The virtual board ended with status %1.").arg(code), true);
}

void BoardWindow::sendCommand(const QByteArray& command) {
  if (sim_.state() == QProcess::Running) sim_.write(command + '\n');
}

void BoardWindow::refresh() {
  if (!state_.chip.empty()) {
    chipLabel_->setText(QString::fromStdString(state_.chip));
    crystalLabel_->setText(QStringLiteral("%1 MHz").arg(double(state_.hz) / 1e6, 0, 'f', 4));
  }
  if (!state_.fuses.empty()) {
    // The simulator says what the fuses select in English, part by part.
    QStringList parts;
    for (const QString& part : QString::fromStdString(state_.fuses).split(QStringLiteral(", ")))
      parts << QString::fromStdString(inChinese(part.toStdString()));
    QString text = QStringLiteral("熔丝位：") + parts.join(QStringLiteral("，"));
    if (!state_.fuseWarning.empty())
      text += QStringLiteral("（") + QString::fromStdString(inChinese(state_.fuseWarning)) + QStringLiteral("）");
    if (fuseLabel_->text() != text) {
      fuseLabel_->setText(text);
      fuseLabel_->setStyleSheet(state_.fuseWarning.empty() ? QString() : QStringLiteral("color: #c00000"));
    }
  }
  if (!state_.run.empty()) timeLabel_->setText(QStringLiteral("仿真时间 %1 s").arg(state_.seconds(), 0, 'f', 3));
  enableControls();

  if (state_.crashed())
    setStatus(QStringLiteral("The firmware crashed at PC 0x%1 (byte address%2). Reset to run it again.")
                  .arg(state_.pc, 4, 16, QLatin1Char('0'))
                  .arg(state_.pc ? QStringLiteral(": it jumped outside the program")
                                 : QStringLiteral(": it came back to the reset address")),
              true);
  else if (state_.run == "done")
    setStatus(QStringLiteral("The firmware stopped at PC 0x%1: asleep with interrupts off, or it left main.")
                  .arg(state_.pc, 4, 16, QLatin1Char('0')),
              false);
  else if (!state_.run.empty())
    // The note on a line of its own: each line finds its Chinese text.
    setStatus(QStringLiteral("Running: %1").arg(QString::fromStdString(state_.run)) +
                  (settingsNote_.isEmpty() ? QString() : QStringLiteral("\n") + settingsNote_),
              false);

  // One row per port the chip has: bit 7 .. 0, outputs filled, inputs outlined.
  if (portLetters_.size() != qsizetype(state_.ports.size())) {
    for (QLabel* c : pinCells_) delete c;
    pinCells_.clear();
    portLetters_.clear();
    int row = 0;
    for (const auto& [letter, p] : state_.ports) {
      portLetters_ << letter;
      auto* name = new QLabel(QStringLiteral("PORT%1").arg(QChar(letter)));
      pinCells_ << name;
      portGrid_->addWidget(name, row, 0);
      for (int bit = 7; bit >= 0; bit--) {
        auto* cell = new QLabel;
        cell->setObjectName(QStringLiteral("Pin%1%2").arg(QChar(letter)).arg(bit));
        cell->setFixedSize(22, 22);
        cell->setAlignment(Qt::AlignCenter);
        cell->setToolTip(QStringLiteral("P%1%2").arg(QChar(letter)).arg(bit));
        portGrid_->addWidget(cell, row, 8 - bit);
        pinCells_ << cell;
      }
      row++;
    }
  }
  int i = 0;
  for (const auto& [letter, p] : state_.ports) {
    for (int bit = 7; bit >= 0; bit--) {
      QLabel* cell = pinCells_.value(i * 9 + (8 - bit));
      if (!cell) continue;
      const bool out = (p.ddr >> bit) & 1;
      const bool high = ((out ? p.out : p.pin) >> bit) & 1;
      cell->setText(high ? QStringLiteral("1") : QStringLiteral("0"));
      cell->setStyleSheet(out ? (high ? QStringLiteral("background:#e03030;color:white;")
                                      : QStringLiteral("background:#602020;color:#c0c0c0;"))
                              : QStringLiteral("border:1px solid #808080;color:%1;")
                                    .arg(high ? QStringLiteral("#000") : QStringLiteral("#999")));
    }
    i++;
  }

  if (!state_.lcd.empty()) {
    lcd_->show();
    lcd_->setText(lcdText());
  }
  if (state_.gfxWidth > 0 && dotsStale_) drawDots();
  showChips();
  emit stateChanged();
}

void BoardWindow::showChips() {
  auto row = [](QWidget* field, bool shown) {
    auto* form = static_cast<QFormLayout*>(field->parentWidget()->layout());
    form->setRowVisible(field, shown);
  };
  const bool sensor = state_.hasChip("ds18b20");
  row(temperature_, sensor);
  if (sensor && !temperature_->hasFocus()) {
    const QSignalBlocker quiet(temperature_);  // what the sensor says, not a new setting
    temperature_->setValue(state_.ds18b20Raw / 16.0);
  }
  row(rtc_, state_.hasChip("ds1307"));
  rtc_->setText(QString::fromStdString(state_.rtc));
  row(digits_, state_.hasChip("zlg7290"));
  row(keypad_, state_.hasChip("zlg7290"));
  QString digits;
  for (uint8_t d : state_.digits) digits += QLatin1Char(board::sevenSegment(d));
  digits_->setText(digits);
  row(ds1302_, state_.hasChip("ds1302"));
  ds1302_->setText(QString::fromStdString(state_.ds1302));
  row(clockRow_, state_.hasChip("ds1307") || state_.hasChip("ds1302"));
  row(diskRow_, !state_.disk.empty());
  disk_->setText(diskImage_.isEmpty() ? QStringLiteral("FAT16, SONG01.MP3") : QFileInfo(diskImage_).fileName());
  row(streamRow_, !state_.stream.empty());
  stream_->setText(QStringLiteral("%1 字节").arg(state_.streamBytes));
  row(radio_, state_.hasChip("tea5767"));
  radio_->setText(state_.radioKhz ? QStringLiteral("%1 MHz").arg(state_.radioKhz / 1000.0, 0, 'f', 2)
                                  : QStringLiteral("-"));
  row(eeprom_, state_.hasChip("at24"));
  QStringList lines;
  for (size_t at = 0; at < state_.eeprom.size(); at += 16) {
    QString line = QStringLiteral("%1:").arg(at, 2, 16, QLatin1Char('0'));
    for (size_t i = at; i < at + 16 && i < state_.eeprom.size(); i++)
      line += QStringLiteral(" %1").arg(state_.eeprom[i], 2, 16, QLatin1Char('0')).toUpper();
    lines << line;
  }
  eeprom_->setText(lines.join(QLatin1Char('\n')));
  chipsBox_->setVisible(!state_.chips.empty());
}

// Pause, reset and the terminals act only on a simulator that runs.
void BoardWindow::enableControls() {
  const bool live = sim_.state() == QProcess::Running && announced_;
  runButton_->setEnabled(live);
  resetButton_->setEnabled(live);
  for (int u = 0; u < 2; u++) uartButtons_[u]->setEnabled(live && state_.uarts.count(u) > 0);
}

// The dots as an LCD shows them: dark squares on the green glass, each dot
// a few screen pixels with a thin gap, so small panels stay readable.
void BoardWindow::drawDots() {
  const int w = state_.gfxWidth, h = state_.gfxHeight;
  const int scale = std::clamp(512 / w, 2, 4);
  QImage image(w * scale, h * scale, QImage::Format_RGB32);
  const QRgb glass = qRgb(0x9b, 0xbc, 0x0f), off = qRgb(0x8f, 0xb0, 0x0f), on = qRgb(0x0f, 0x38, 0x0f);
  image.fill(glass);
  const int size = scale > 2 ? scale - 1 : scale;
  for (int y = 0; y < h; y++) {
    for (int x = 0; x < w; x++) {
      const QRgb c = state_.dots[size_t(y * w + x)] ? on : off;
      for (int dy = 0; dy < size; dy++) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y * scale + dy));
        for (int dx = 0; dx < size; dx++) line[x * scale + dx] = c;
      }
    }
  }
  gfx_->setPixmap(QPixmap::fromImage(image));
  gfx_->show();
  dotsStale_ = false;
}

QString BoardWindow::lcdText() const {
  QStringList rows;
  for (const std::string& r : state_.lcd) rows << QString::fromLatin1(r.data(), qsizetype(r.size()));
  return rows.join(QLatin1Char('\n'));
}

bool BoardWindow::saveStream(const QString& path) {
  const QString from = QString::fromStdString(state_.stream);
  if (from.isEmpty()) {
    setStatus(QStringLiteral("No VS1003 on this board."), true);
    return false;
  }
  // Written beside, then moved over: a failed copy leaves the old file.
  const QString part = path + QStringLiteral(".part");
  QFile::remove(part);
  if (!QFile::copy(from, part) || (QFile::exists(path) && !QFile::remove(path)) || !QFile::rename(part, path)) {
    QFile::remove(part);
    setStatus(QStringLiteral("Cannot write %1").arg(path), true);
    return false;
  }
  setStatus(QStringLiteral("Saved %1 bytes to %2").arg(QFileInfo(path).size()).arg(path), false);
  return true;
}

QString BoardWindow::buildLog() const {
  return log_->toPlainText();
}
QString BoardWindow::statusText() const {
  return statusLabel_->text();
}

void BoardWindow::showSource(const QString& file, int line) {
  std::optional<std::string> text;
  try {
    text = readFileIfExists(QDir(dir_).filePath(file).toStdString());
  } catch (const std::exception&) {
  }
  if (!text) {
    setStatus(QStringLiteral("Cannot open %1").arg(file), true);
    return;
  }
  sourceFile_ = file;
  source_->setPlainText(fromGbk(QByteArray::fromStdString(*text)));
  QTextCursor c(source_->document()->findBlockByNumber(qMax(0, line - 1)));
  c.select(QTextCursor::LineUnderCursor);
  source_->setTextCursor(c);
  source_->centerCursor();
  tabs_->setCurrentWidget(source_);
}

int BoardWindow::sourceLine() const {
  return source_->textCursor().blockNumber() + 1;
}

terminal::TerminalWindow* BoardWindow::openTerminal(int uart) {
  auto it = state_.uarts.find(uart);
  if (it == state_.uarts.end()) return nullptr;
  for (auto& t : terminals_)
    if (t && t->portName() == QString::fromStdString(it->second)) {
      t->raise();
      return t;
    }
  ComOpenArgs args;
  args.baud = 7;  // a pseudo-terminal has no line speed; the firmware's own is what counts
  auto* t = new terminal::TerminalWindow(args);
  t->setAttribute(Qt::WA_DeleteOnClose);
  t->setAttribute(Qt::WA_QuitOnClose, false);  // the editor alone decides when the program ends
  t->setWindowTitle(t->windowTitle() + QStringLiteral(" - 虚拟板 UART%1").arg(uart));
  t->setPortName(QString::fromStdString(it->second));
  t->offerCommands(QList<int>(launch_.commands.begin(), launch_.commands.end()));
  t->openPort();
  if (isVisible()) {
    t->show();
    // Beside the board, clear of its ports and display (all above the tabs).
    const QRect face(frameGeometry().topLeft(), QPoint(frameGeometry().right(), tabs_->mapToGlobal(QPoint(0, 0)).y()));
    placeBeside(t, this, {face});
  }
  terminals_ << t;
  return t;
}

QList<terminal::TerminalWindow*> BoardWindow::terminals() const {
  QList<terminal::TerminalWindow*> out;
  for (const auto& t : terminals_)
    if (t) out << t.data();
  return out;
}

void BoardWindow::stop() {
  for (auto& t : terminals_)
    if (t) t->closePort();
  if (make_.state() != QProcess::NotRunning) {
    make_.terminate();
    if (!make_.waitForFinished(kStopWaitMs)) make_.kill(), make_.waitForFinished(kStopWaitMs);
  }
  if (sim_.state() != QProcess::NotRunning) {
    // Closing its input ends the simulator; it is killed if it does not.
    sim_.write("quit\n");
    sim_.closeWriteChannel();
    if (!sim_.waitForFinished(kStopWaitMs)) sim_.kill(), sim_.waitForFinished(kStopWaitMs);
  }
  enableControls();
}

void BoardWindow::closeEvent(QCloseEvent* event) {
  stop();
  for (auto& t : terminals_)
    if (t) t->close();
  QWidget::closeEvent(event);
}

}  // namespace tamberlo::gui
