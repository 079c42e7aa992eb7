// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Lines sent before, for recalling with the Up and Down keys as in a shell.
#include <QString>
#include <QStringList>

namespace tamberlo::terminal {

class SendHistory {
 public:
  static constexpr int MaxLines = 100;

  // Remembers a sent line (not an empty one, nor the same line twice in a
  // row) and goes back to the end of the list.
  void add(const QString& line);
  // The line before the one shown; `typed` is kept to come back to when
  // stepping forward past the newest line.
  QString older(const QString& typed);
  // The line after; `shown` stays when not stepping through the list.
  QString newer(const QString& shown);
  const QStringList& lines() const { return lines_; }

 private:
  QStringList lines_;
  qsizetype at_ = 0;  // lines_.size() while not stepping through
  QString typed_;
};

}  // namespace tamberlo::terminal
