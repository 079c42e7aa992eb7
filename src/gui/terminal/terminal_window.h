// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial debugging terminal: one window, one port. Opened by the UART
// pages' terminal buttons with that UART's line settings; the user may pick
// the port (a listed one or a typed path such as /dev/pts/3) and change any
// setting. Nothing it does reaches back into the editor.
#include <QPointer>
#include <QSerialPort>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <functional>

#include "app/services.h"
#include "gui/terminal/line_settings.h"
#include "gui/terminal/receive_formatter.h"
#include "gui/terminal/send_history.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

namespace tamberlo::terminal {

class TerminalWindow : public QWidget {
  Q_OBJECT

 public:
  explicit TerminalWindow(const ComOpenArgs& args, QWidget* parent = nullptr);
  ~TerminalWindow() override;

  // The one-byte commands the generated main.c answers, with their captions.
  struct QuickCommand {
    char byte;
    const char* caption;
  };
  static const QList<QuickCommand>& quickCommands();
  // Shows only the command buttons of these bytes: the ones the firmware
  // on the other end answers.
  void offerCommands(const QList<int>& bytes);

  LineSettings lineSettings() const;
  QString portName() const;
  void setPortName(const QString& name);
  bool isOpen() const { return port_.isOpen(); }
  bool openPort();
  void closePort();

  // Sends bytes as they are; reports and returns false when it cannot.
  bool sendBytes(const QByteArray& bytes);
  // Sends the typed line with the chosen mode and line end.
  bool sendTypedLine();

  QString receivedText() const;
  qint64 receivedCount() const { return rxCount_; }
  qint64 sentCount() const { return txCount_; }
  QString statusText() const;
  bool saveLog(const QString& path);
  void clear();
  // Shows a lead byte still waiting for its partner; runs by itself when
  // the line stays quiet for a moment.
  void flushPending();

  // Tests fix the time stamps.
  void setClock(std::function<QTime()> clock) { clock_ = std::move(clock); }

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void buildWidgets();
  void selectSettings(const LineSettings& s);
  void refreshPorts();
  void applySettings();
  // Applies the chosen settings one by one; returns those the port refused.
  QStringList applySettingsTo(QSerialPort& port);
  bool checkBaud();
  void reportRefused(const QStringList& refused);
  void onReadyRead();
  void onPortError(QSerialPort::SerialPortError error);
  void onPortGone(const QString& why);
  void toggleOpen();
  void saveLogAs();
  void append(const QString& text);
  void report(const QString& message, bool failure);
  void updateCounters();
  void updateOpenState();
  QTime now() const { return clock_ ? clock_() : QTime::currentTime(); }

  QSerialPort port_;
  QString openedName_;  // as typed; QSerialPort shortens /dev/ paths
  ReceiveFormatter formatter_;
  SendHistory history_;
  QTimer flushTimer_;
  std::function<QTime()> clock_;
  qint64 rxCount_ = 0;
  qint64 txCount_ = 0;
  bool opening_ = false;
  bool configuring_ = false;
  bool goneReported_ = false;

  QComboBox* portCombo_ = nullptr;
  QPushButton* refreshButton_ = nullptr;
  QComboBox* baudCombo_ = nullptr;
  QComboBox* dataBitsCombo_ = nullptr;
  QComboBox* parityCombo_ = nullptr;
  QComboBox* stopBitsCombo_ = nullptr;
  QPushButton* openButton_ = nullptr;
  QPlainTextEdit* receiveView_ = nullptr;
  QRadioButton* textViewRadio_ = nullptr;
  QRadioButton* hexViewRadio_ = nullptr;
  QCheckBox* timeStampsCheck_ = nullptr;
  QCheckBox* echoCheck_ = nullptr;
  QPushButton* clearButton_ = nullptr;
  QPushButton* saveButton_ = nullptr;
  QLabel* countersLabel_ = nullptr;
  QLineEdit* sendEdit_ = nullptr;
  QComboBox* sendModeCombo_ = nullptr;
  QComboBox* lineEndCombo_ = nullptr;
  QPushButton* sendButton_ = nullptr;
  QLabel* statusLabel_ = nullptr;
};

}  // namespace tamberlo::terminal
