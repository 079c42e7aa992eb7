// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The virtual board: builds the generated project with its Makefile, runs
// the firmware in tamberlo-sim (a program of its own, simavr being GPL) and
// shows the chip, its port pins and its LCD live, with serial terminals on
// the simulated UARTs. Opened with F5 from the main window. Closing it ends
// the build and the simulator.
#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QProcess>
#include <QWidget>

#include "app/project_config.h"
#include "app/virtual_board.h"

class QDateTimeEdit;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QGridLayout;

namespace tamberlo::terminal {
class TerminalWindow;
}

namespace tamberlo::gui {

class BoardWindow : public QWidget {
  Q_OBJECT

 public:
  // projectDir holds the generated project; simProgram is tamberlo-sim
  // (empty: where board::simCandidates says, else on the PATH).
  BoardWindow(const QString& projectDir, const ProjectConfig& cfg, QString simProgram = {},
              QWidget* parent = nullptr);
  ~BoardWindow() override;

  // The project to build next time (the editor's settings may have changed).
  void setProject(const QString& projectDir, const ProjectConfig& cfg);
  // Builds, then runs. Safe to call again: whatever ran is stopped first.
  void start();
  void stop();

  const board::BoardState& state() const { return state_; }
  const std::vector<board::Diagnostic>& diagnostics() const { return diagnostics_; }
  QString buildLog() const;
  QString statusText() const;
  // The LCD as drawn, rows joined by '\n'.
  QString lcdText() const;
  // The terminals on the simulated UARTs that are still open.
  QList<terminal::TerminalWindow*> terminals() const;
  // Shows the file of a compiler message at its line in the source tab.
  void showSource(const QString& file, int line);
  QString sourceShown() const { return sourceFile_; }
  int sourceLine() const;
  // The disk image the SD card and the CH375 serve from the next start on
  // (empty: a fresh FAT16 volume with a sample file).
  void setDiskImage(const QString& path) { diskImage_ = path; }
  // Copies what the VS1003 received so far to `path`; false with the
  // reason in the status line when it cannot.
  bool saveStream(const QString& path);
  // Opens a terminal on a simulated UART (0 or 1) once the board runs.
  terminal::TerminalWindow* openTerminal(int uart);

 signals:
  // The build ended (ok: the ELF was made).
  void built(bool ok);
  // The simulator reported its UARTs and runs.
  void running();
  void stateChanged();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void buildWidgets();
  void onBuildFinished(int code, QProcess::ExitStatus status);
  void startSimulator();
  void onSimOutput();
  void onSimFinished(int code, QProcess::ExitStatus status);
  void sendCommand(const QByteArray& command);
  void refresh();
  void enableControls();
  void showChips();
  void drawDots();
  void setStatus(const QString& text, bool failure);
  QString findSim() const;

  QString dir_;
  ProjectConfig cfg_;
  QString simProgram_;
  QProcess make_;
  QProcess sim_;
  QByteArray simPending_;
  board::BoardState state_;
  board::Launch launch_;
  std::vector<board::Diagnostic> diagnostics_;
  bool paused_ = false;
  bool announced_ = false;
  QString settingsNote_;  // how the wiring relates to the editor's settings
  QString sourceFile_;
  QList<QPointer<terminal::TerminalWindow>> terminals_;

  QLabel* chipLabel_ = nullptr;
  QLabel* crystalLabel_ = nullptr;
  QLabel* timeLabel_ = nullptr;
  QLabel* fuseLabel_ = nullptr;
  QLabel* statusLabel_ = nullptr;
  QLabel* lcd_ = nullptr;
  QLabel* gfx_ = nullptr;  // a graphic LCD's dots
  bool dotsStale_ = false;  // a gfx or pix line came since the dots were drawn
  QPushButton* runButton_ = nullptr;
  QPushButton* resetButton_ = nullptr;
  QPushButton* uartButtons_[2] = {nullptr, nullptr};
  // The chips the project put on the board, shown once the simulator has
  // wired them.
  QGroupBox* chipsBox_ = nullptr;
  QDoubleSpinBox* temperature_ = nullptr;  // what the DS18B20 measures, degrees
  QLabel* temperatureLabel_ = nullptr;
  QLabel* eeprom_ = nullptr;
  QLabel* rtc_ = nullptr;
  QLabel* digits_ = nullptr;
  QWidget* keypad_ = nullptr;  // the ZLG7290's first 16 keys
  QLabel* radio_ = nullptr;
  QLabel* ds1302_ = nullptr;
  QWidget* clockRow_ = nullptr;  // sets the real-time clocks
  QDateTimeEdit* clockEdit_ = nullptr;
  QWidget* diskRow_ = nullptr;
  QLabel* disk_ = nullptr;
  QWidget* streamRow_ = nullptr;
  QLabel* stream_ = nullptr;
  QString diskImage_;
  QGridLayout* portGrid_ = nullptr;
  QList<QLabel*> pinCells_;  // 8 per port shown, bit 7 first
  QList<char> portLetters_;
  QTabWidget* tabs_ = nullptr;
  QPlainTextEdit* log_ = nullptr;
  QListWidget* problems_ = nullptr;
  QPlainTextEdit* source_ = nullptr;
};

}  // namespace tamberlo::gui
