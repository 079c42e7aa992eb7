// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/terminal/terminal_window.h"

#include <algorithm>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSaveFile>
#include <QScrollBar>
#include <QSerialPortInfo>
#include <QVBoxLayout>

#include "platform/error.h"

#ifdef Q_OS_UNIX
#include <termios.h>
#endif

namespace tamberlo::terminal {

namespace {

// A GBK lead byte waits this long for its partner before it is shown alone.
constexpr int PendingByteWaitMs = 150;
// Keeps a terminal left running overnight from eating the memory.
constexpr int MaxViewLines = 50000;

QComboBox* comboOf(const QStringList& items, const char* name, QWidget* parent) {
  auto* combo = new QComboBox(parent);
  combo->setObjectName(QLatin1String(name));
  combo->addItems(items);
  return combo;
}

QLabel* captionFor(const QString& text, QWidget* buddy, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setBuddy(buddy);
  return label;
}

// The port last opened by any terminal: a second terminal most likely
// wants the same adapter.
QString& lastOpenedPort() {
  static QString name;
  return name;
}

}  // namespace

const QList<TerminalWindow::QuickCommand>& TerminalWindow::quickCommands() {
  static const QList<QuickCommand> commands = {
      {0x0F, "0x0F 开始测试"}, {0x0A, "0x0A 写EEPROM"},  {0x0B, "0x0B 读EEPROM"},
      {0x0E, "0x0E 初始化时钟"}, {0x0D, "0x0D 读取时间"}, {0x0C, "0x0C 读取温度"},
  };
  return commands;
}

void TerminalWindow::offerCommands(const QList<int>& bytes) {
  for (const QuickCommand& command : quickCommands()) {
    const QString name = QStringLiteral("quick%1").arg(static_cast<int>(command.byte), 2, 16, QLatin1Char('0'));
    if (auto* button = findChild<QPushButton*>(name)) button->setVisible(bytes.contains(int(command.byte)));
  }
}

TerminalWindow::TerminalWindow(const ComOpenArgs& args, QWidget* parent) : QWidget(parent) {
  setWindowTitle(QStringLiteral("串口调试终端"));
  buildWidgets();
  resize(760, 520);  // fits a 1024x768 screen with its frame and a task bar
  refreshPorts();
  if (!lastOpenedPort().isEmpty()) setPortName(lastOpenedPort());
  QStringList notes;
  const LineSettings settings = lineSettingsFromArgs(args, &notes);
  selectSettings(settings);
  for (const QString& note : notes) report(note, true);
  if (notes.isEmpty()) report(QStringLiteral("线路设置 %1，选择串口后打开").arg(describe(settings)), false);

  flushTimer_.setSingleShot(true);
  flushTimer_.setInterval(PendingByteWaitMs);
  connect(&flushTimer_, &QTimer::timeout, this, &TerminalWindow::flushPending);
  connect(&port_, &QSerialPort::readyRead, this, &TerminalWindow::onReadyRead);
  connect(&port_, &QSerialPort::errorOccurred, this, &TerminalWindow::onPortError);
  updateOpenState();
  updateCounters();
}

TerminalWindow::~TerminalWindow() {
  // The port's own destructor would close it too, but without our signals.
  port_.disconnect(this);
  if (port_.isOpen()) port_.close();
}

void TerminalWindow::buildWidgets() {
  auto* lineBox = new QGroupBox(QStringLiteral("串口"), this);
  portCombo_ = new QComboBox(lineBox);
  portCombo_->setObjectName(QStringLiteral("portCombo"));
  portCombo_->setEditable(true);
  portCombo_->setMinimumContentsLength(14);
  portCombo_->setToolTip(QStringLiteral("系统串口，或输入设备路径，如 /dev/ttyUSB0、/dev/pts/3"));
  refreshButton_ = new QPushButton(QStringLiteral("刷新"), lineBox);
  refreshButton_->setObjectName(QStringLiteral("refreshButton"));
  baudCombo_ = comboOf(baudItems(), "baudCombo", lineBox);
  baudCombo_->setEditable(true);
  baudCombo_->setValidator(new QIntValidator(1, 99999999, baudCombo_));
  baudCombo_->setInsertPolicy(QComboBox::NoInsert);
  dataBitsCombo_ = comboOf({"5", "6", "7", "8"}, "dataBitsCombo", lineBox);
  parityCombo_ = comboOf({QStringLiteral("无校验"), QStringLiteral("奇校验"), QStringLiteral("偶校验")},
                         "parityCombo", lineBox);
  stopBitsCombo_ = comboOf({"1", "2"}, "stopBitsCombo", lineBox);
  openButton_ = new QPushButton(lineBox);
  openButton_->setObjectName(QStringLiteral("openButton"));
  openButton_->setMinimumWidth(90);

  // Two rows, the port and then the line, so that the window fits an
  // 800x600 screen.
  auto* lineRows = new QVBoxLayout(lineBox);
  auto* portRow = new QHBoxLayout;
  portRow->addWidget(captionFor(QStringLiteral("端口"), portCombo_, lineBox));
  portRow->addWidget(portCombo_, 1);
  portRow->addWidget(refreshButton_);
  portRow->addSpacing(8);
  portRow->addWidget(openButton_);
  lineRows->addLayout(portRow);
  auto* lineRow = new QHBoxLayout;
  lineRows->addLayout(lineRow);
  lineRow->addWidget(captionFor(QStringLiteral("波特率"), baudCombo_, lineBox));
  lineRow->addWidget(baudCombo_);
  lineRow->addWidget(captionFor(QStringLiteral("数据位"), dataBitsCombo_, lineBox));
  lineRow->addWidget(dataBitsCombo_);
  lineRow->addWidget(captionFor(QStringLiteral("校验"), parityCombo_, lineBox));
  lineRow->addWidget(parityCombo_);
  lineRow->addWidget(captionFor(QStringLiteral("停止位"), stopBitsCombo_, lineBox));
  lineRow->addWidget(stopBitsCombo_);
  lineRow->addStretch(1);

  receiveView_ = new QPlainTextEdit(this);
  receiveView_->setObjectName(QStringLiteral("receiveView"));
  receiveView_->setReadOnly(true);
  receiveView_->setMaximumBlockCount(MaxViewLines);
  receiveView_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  receiveView_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  receiveView_->setMinimumSize(560, 260);

  textViewRadio_ = new QRadioButton(QStringLiteral("文本(GBK)"), this);
  textViewRadio_->setObjectName(QStringLiteral("textViewRadio"));
  textViewRadio_->setChecked(true);
  hexViewRadio_ = new QRadioButton(QStringLiteral("十六进制"), this);
  hexViewRadio_->setObjectName(QStringLiteral("hexViewRadio"));
  timeStampsCheck_ = new QCheckBox(QStringLiteral("时间戳"), this);
  timeStampsCheck_->setObjectName(QStringLiteral("timeStampsCheck"));
  echoCheck_ = new QCheckBox(QStringLiteral("显示发送"), this);
  echoCheck_->setObjectName(QStringLiteral("echoCheck"));
  echoCheck_->setChecked(true);
  echoCheck_->setToolTip(QStringLiteral("把发出的字节以 >> 开头记在接收区"));
  clearButton_ = new QPushButton(QStringLiteral("清除"), this);
  clearButton_->setObjectName(QStringLiteral("clearButton"));
  saveButton_ = new QPushButton(QStringLiteral("保存记录…"), this);
  saveButton_->setObjectName(QStringLiteral("saveButton"));
  countersLabel_ = new QLabel(this);
  countersLabel_->setObjectName(QStringLiteral("countersLabel"));

  auto* viewRow = new QHBoxLayout;
  viewRow->addWidget(new QLabel(QStringLiteral("接收显示"), this));
  viewRow->addWidget(textViewRadio_);
  viewRow->addWidget(hexViewRadio_);
  viewRow->addWidget(timeStampsCheck_);
  viewRow->addWidget(echoCheck_);
  viewRow->addWidget(clearButton_);
  viewRow->addWidget(saveButton_);
  viewRow->addStretch(1);
  viewRow->addWidget(countersLabel_);

  auto* quickBox = new QGroupBox(QStringLiteral("演示程序命令（单字节）"), this);
  auto* quickRow = new QHBoxLayout(quickBox);
  for (const QuickCommand& command : quickCommands()) {
    auto* button = new QPushButton(QString::fromUtf8(command.caption), quickBox);
    button->setObjectName(QStringLiteral("quick%1").arg(static_cast<int>(command.byte), 2, 16, QLatin1Char('0')));
    const char byte = command.byte;
    connect(button, &QPushButton::clicked, this, [this, byte] { sendBytes(QByteArray(1, byte)); });
    quickRow->addWidget(button);
  }
  quickRow->addStretch(1);

  sendEdit_ = new QLineEdit(this);
  sendEdit_->setObjectName(QStringLiteral("sendEdit"));
  sendEdit_->setPlaceholderText(QStringLiteral("要发送的文字，或十六进制字节如 0F 0A"));
  sendModeCombo_ = comboOf({QStringLiteral("文本(GBK)"), QStringLiteral("十六进制")}, "sendModeCombo", this);
  lineEndCombo_ = comboOf({QStringLiteral("无"), "CR", "LF", "CR LF"}, "lineEndCombo", this);
  lineEndCombo_->setToolTip(QStringLiteral("每次发送后附加的行尾"));
  sendButton_ = new QPushButton(QStringLiteral("发送"), this);
  sendButton_->setObjectName(QStringLiteral("sendButton"));
  sendButton_->setDefault(true);

  auto* sendRow = new QHBoxLayout;
  sendRow->addWidget(sendEdit_, 1);
  sendRow->addWidget(sendModeCombo_);
  sendRow->addWidget(captionFor(QStringLiteral("行尾"), lineEndCombo_, this));
  sendRow->addWidget(lineEndCombo_);
  sendRow->addWidget(sendButton_);

  statusLabel_ = new QLabel(this);
  statusLabel_->setObjectName(QStringLiteral("statusLabel"));
  statusLabel_->setWordWrap(true);
  statusLabel_->setTextInteractionFlags(Qt::TextSelectableByMouse);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lineBox);
  layout->addWidget(receiveView_, 1);
  layout->addLayout(viewRow);
  layout->addWidget(quickBox);
  layout->addLayout(sendRow);
  layout->addWidget(statusLabel_);

  connect(refreshButton_, &QPushButton::clicked, this, &TerminalWindow::refreshPorts);
  connect(openButton_, &QPushButton::clicked, this, &TerminalWindow::toggleOpen);
  for (QComboBox* combo : {dataBitsCombo_, parityCombo_, stopBitsCombo_, baudCombo_}) {
    connect(combo, &QComboBox::activated, this, &TerminalWindow::applySettings);
  }
  connect(baudCombo_->lineEdit(), &QLineEdit::editingFinished, this, &TerminalWindow::applySettings);
  connect(textViewRadio_, &QRadioButton::toggled, this, [this](bool text) {
    append(formatter_.setView(text ? ReceiveView::Text : ReceiveView::Hex));
  });
  connect(timeStampsCheck_, &QCheckBox::toggled, this, [this](bool on) { formatter_.setTimeStamps(on); });
  connect(clearButton_, &QPushButton::clicked, this, &TerminalWindow::clear);
  connect(saveButton_, &QPushButton::clicked, this, &TerminalWindow::saveLogAs);
  connect(sendButton_, &QPushButton::clicked, this, &TerminalWindow::sendTypedLine);
  connect(sendEdit_, &QLineEdit::returnPressed, this, &TerminalWindow::sendTypedLine);
  sendEdit_->installEventFilter(this);
}

void TerminalWindow::selectSettings(const LineSettings& s) {
  const int baudIndex = baudCombo_->findText(QString::number(s.baud));
  if (baudIndex >= 0) {
    baudCombo_->setCurrentIndex(baudIndex);
  } else {
    baudCombo_->setEditText(QString::number(s.baud));
  }
  dataBitsCombo_->setCurrentIndex(static_cast<int>(s.dataBits) - 5);
  parityCombo_->setCurrentIndex(s.parity == QSerialPort::OddParity    ? 1
                                : s.parity == QSerialPort::EvenParity ? 2
                                                                      : 0);
  stopBitsCombo_->setCurrentIndex(s.stopBits == QSerialPort::TwoStop ? 1 : 0);
}

LineSettings TerminalWindow::lineSettings() const {
  LineSettings s;
  bool ok = false;
  const qint32 baud = baudCombo_->currentText().trimmed().toInt(&ok);
  s.baud = ok && baud > 0 ? baud : 0;
  s.dataBits = static_cast<QSerialPort::DataBits>(5 + dataBitsCombo_->currentIndex());
  s.parity = parityCombo_->currentIndex() == 1   ? QSerialPort::OddParity
             : parityCombo_->currentIndex() == 2 ? QSerialPort::EvenParity
                                                 : QSerialPort::NoParity;
  s.stopBits = stopBitsCombo_->currentIndex() == 1 ? QSerialPort::TwoStop : QSerialPort::OneStop;
  return s;
}

QString TerminalWindow::portName() const { return portCombo_->currentText().trimmed(); }

void TerminalWindow::setPortName(const QString& name) { portCombo_->setEditText(name); }

void TerminalWindow::refreshPorts() {
  const QString typed = portCombo_->currentText();
  portCombo_->clear();
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    portCombo_->addItem(info.systemLocation());
    const QString about = info.description().isEmpty() ? info.manufacturer() : info.description();
    if (!about.isEmpty()) portCombo_->setItemData(portCombo_->count() - 1, about, Qt::ToolTipRole);
  }
  // A refresh must not lose a path the user typed.
  if (!typed.isEmpty()) {
    portCombo_->setEditText(typed);
  } else if (portCombo_->count() > 0) {
    portCombo_->setCurrentIndex(0);
  }
}

QStringList TerminalWindow::applySettingsTo(QSerialPort& port) {
  const LineSettings s = lineSettings();
  const QString dataBits = QStringLiteral("%1 位数据位").arg(int(s.dataBits));
  const QString parity = parityCombo_->currentText();
  const QString stopBits = QStringLiteral("%1 位停止位").arg(stopBitsCombo_->currentText());
  QStringList refused;
  // Qt reports each refusal through errorOccurred too; this is the one place
  // that says so, naming every setting the port would not take.
  configuring_ = true;
  auto check = [&](bool ok, const QString& what) {
    if (!ok) refused.append(what + QStringLiteral("（") + port.errorString() + QStringLiteral("）"));
    port.clearError();
  };
  check(port.setBaudRate(s.baud), QStringLiteral("波特率 %1").arg(s.baud));
  check(port.setDataBits(s.dataBits), dataBits);
  check(port.setParity(s.parity), parity);
  check(port.setStopBits(s.stopBits), stopBits);
  check(port.setFlowControl(QSerialPort::NoFlowControl), QStringLiteral("无流控"));
  configuring_ = false;
#ifdef Q_OS_UNIX
  // Some devices accept a setting and quietly keep their own (a
  // pseudo-terminal stays at 8 data bits, no parity); read back what holds.
  termios line{};
  if (port.handle() >= 0 && tcgetattr(port.handle(), &line) == 0) {
    auto mismatch = [&](bool holds, const QString& what) {
      const bool named = std::any_of(refused.cbegin(), refused.cend(),
                                     [&](const QString& r) { return r.startsWith(what); });
      if (!holds && !named) refused.append(what + QStringLiteral("（设备未采用）"));
    };
    static constexpr tcflag_t Sizes[] = {CS5, CS6, CS7, CS8};
    mismatch((line.c_cflag & CSIZE) == Sizes[int(s.dataBits) - 5], dataBits);
    const bool parityOn = s.parity != QSerialPort::NoParity;
    const bool odd = s.parity == QSerialPort::OddParity;
    mismatch(bool(line.c_cflag & PARENB) == parityOn && (!parityOn || bool(line.c_cflag & PARODD) == odd),
             parity);
    mismatch(bool(line.c_cflag & CSTOPB) == (s.stopBits == QSerialPort::TwoStop), stopBits);
  }
#endif
  return refused;
}

bool TerminalWindow::checkBaud() {
  if (lineSettings().baud > 0) return true;
  report(QStringLiteral("波特率“%1”不是正整数").arg(baudCombo_->currentText()), true);
  return false;
}

void TerminalWindow::reportRefused(const QStringList& refused) {
  // A pseudo-terminal, for one, carries only 8 data bits without parity;
  // the port stays open with what it did take.
  report(QStringLiteral("串口 %1 不接受：%2；其余设置已生效").arg(openedName_, refused.join(QStringLiteral("、"))),
         true);
}

void TerminalWindow::applySettings() {
  updateOpenState();
  if (!port_.isOpen() || !checkBaud()) return;
  const QStringList refused = applySettingsTo(port_);
  if (refused.isEmpty()) {
    report(QStringLiteral("线路设置改为 %1").arg(describe(lineSettings())), false);
  } else {
    reportRefused(refused);
  }
}

bool TerminalWindow::openPort() {
  if (port_.isOpen()) return true;
  const QString name = portName();
  if (name.isEmpty()) {
    report(QStringLiteral("请先选择或输入串口"), true);
    return false;
  }
  if (!checkBaud()) return false;
  port_.setPortName(name);
  openedName_ = name;
  opening_ = true;
  const bool opened = port_.open(QIODevice::ReadWrite);
  opening_ = false;
  if (!opened) {
    const QFileInfo device(name);
    report(describeOpenFailure(port_.error(), name, port_.errorString(), device.exists(), device.isWritable()),
           true);
    port_.clearError();
    return false;
  }
  goneReported_ = false;
  lastOpenedPort() = name;
  const QStringList refused = applySettingsTo(port_);
  formatter_.reset();
  report(QStringLiteral("已打开 %1，%2").arg(name, describe(lineSettings())), false);
  if (!refused.isEmpty()) reportRefused(refused);
  updateOpenState();
  sendEdit_->setFocus();
  return true;
}

void TerminalWindow::closePort() {
  if (!port_.isOpen()) return;
  flushPending();
  port_.close();
  report(QStringLiteral("已关闭 %1").arg(openedName_), false);
  updateOpenState();
}

void TerminalWindow::toggleOpen() {
  if (port_.isOpen()) {
    closePort();
  } else {
    openPort();
  }
}

void TerminalWindow::onReadyRead() {
  const QByteArray bytes = port_.readAll();
  if (bytes.isEmpty()) return;
  rxCount_ += bytes.size();
  append(formatter_.feed(bytes, now()));
  updateCounters();
  if (formatter_.hasPending()) {
    flushTimer_.start();
  } else {
    flushTimer_.stop();
  }
}

void TerminalWindow::flushPending() {
  flushTimer_.stop();
  append(formatter_.flush(now()));
}

void TerminalWindow::onPortError(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::NoError || opening_ || configuring_ || !port_.isOpen()) return;
  if (error == QSerialPort::TimeoutError) return;
  const QString why = port_.errorString();
  port_.clearError();
  // An unplugged adapter gives ResourceError; a hung-up line (the far end
  // of a pseudo-terminal closed) reads end-of-file, which Qt calls
  // ReadError and repeats on every pass of the event loop. Either way the
  // port is of no more use.
  if (error == QSerialPort::ResourceError || error == QSerialPort::ReadError) {
    if (goneReported_) return;
    goneReported_ = true;
    // Closing inside the port's own signal would pull its notifiers out
    // from under it; close once control is back in the event loop.
    QMetaObject::invokeMethod(this, [this, why] { onPortGone(why); }, Qt::QueuedConnection);
    return;
  }
  report(QStringLiteral("串口 %1 出错：%2").arg(openedName_, why), true);
}

void TerminalWindow::onPortGone(const QString& why) {
  if (!port_.isOpen()) return;
  // What arrived before the line went is still worth reading.
  onReadyRead();
  flushPending();
  port_.close();
  report(QStringLiteral("串口 %1 已断开（%2），已关闭").arg(openedName_, why), true);
  updateOpenState();
}

bool TerminalWindow::sendBytes(const QByteArray& bytes) {
  if (!port_.isOpen()) {
    report(QStringLiteral("串口未打开，无法发送"), true);
    return false;
  }
  if (bytes.isEmpty()) return true;
  const qint64 written = port_.write(bytes);
  if (written < 0) {
    report(QStringLiteral("发送失败：%1").arg(port_.errorString()), true);
    return false;
  }
  txCount_ += written;
  if (echoCheck_->isChecked()) append(formatter_.sent(bytes.left(written), now()));
  updateCounters();
  return true;
}

bool TerminalWindow::sendTypedLine() {
  QByteArray bytes;
  try {
    bytes = encodeLine(sendEdit_->text(),
                       sendModeCombo_->currentIndex() == 1 ? SendMode::Hex : SendMode::Text,
                       static_cast<LineEnd>(lineEndCombo_->currentIndex()));
  } catch (const Error& e) {
    report(QString::fromStdString(e.what()), true);
    return false;
  }
  if (!sendBytes(bytes)) return false;
  history_.add(sendEdit_->text());
  return true;
}

QString TerminalWindow::receivedText() const { return receiveView_->toPlainText(); }

QString TerminalWindow::statusText() const { return statusLabel_->text(); }

void TerminalWindow::clear() {
  flushTimer_.stop();
  receiveView_->clear();
  formatter_.reset();
  rxCount_ = 0;
  txCount_ = 0;
  updateCounters();
}

bool TerminalWindow::saveLog(const QString& path) {
  QSaveFile file(path);
  const QByteArray text = receiveView_->toPlainText().toUtf8();
  if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size() || !file.commit()) {
    report(QStringLiteral("无法保存记录到 %1（%2）").arg(path, file.errorString()), true);
    return false;
  }
  report(QStringLiteral("记录已保存到 %1").arg(path), false);
  return true;
}

void TerminalWindow::saveLogAs() {
  const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("保存接收记录"), QString(),
                                                    QStringLiteral("文本文件 (*.txt *.log);;所有文件 (*)"));
  if (!path.isEmpty()) saveLog(path);
}

void TerminalWindow::append(const QString& text) {
  if (text.isEmpty()) return;
  QScrollBar* bar = receiveView_->verticalScrollBar();
  const bool following = bar->value() == bar->maximum();
  QTextCursor cursor(receiveView_->document());
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(text);
  if (following) bar->setValue(bar->maximum());
}

void TerminalWindow::report(const QString& message, bool failure) {
  append(formatter_.note(message, now()));
  statusLabel_->setText(message);
  statusLabel_->setStyleSheet(failure ? QStringLiteral("color: #b00020;") : QString());
}

void TerminalWindow::updateCounters() {
  countersLabel_->setText(QStringLiteral("接收 %1 字节　发送 %2 字节").arg(rxCount_).arg(txCount_));
}

void TerminalWindow::updateOpenState() {
  const bool open = port_.isOpen();
  openButton_->setText(open ? QStringLiteral("关闭串口") : QStringLiteral("打开串口"));
  portCombo_->setEnabled(!open);
  refreshButton_->setEnabled(!open);
  setWindowTitle(open ? QStringLiteral("串口调试终端 - %1 %2").arg(openedName_, describe(lineSettings()))
                      : QStringLiteral("串口调试终端"));
}

bool TerminalWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == sendEdit_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      sendEdit_->setText(key == Qt::Key_Up ? history_.older(sendEdit_->text())
                                           : history_.newer(sendEdit_->text()));
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

void TerminalWindow::closeEvent(QCloseEvent* event) {
  if (port_.isOpen()) {
    port_.close();
  }
  event->accept();
}

}  // namespace tamberlo::terminal
