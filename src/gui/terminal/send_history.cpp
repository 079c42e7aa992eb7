// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/terminal/send_history.h"

namespace tamberlo::terminal {

void SendHistory::add(const QString& line) {
  if (!line.isEmpty() && (lines_.isEmpty() || lines_.last() != line)) {
    lines_.append(line);
    if (lines_.size() > MaxLines) lines_.removeFirst();
  }
  at_ = lines_.size();
  typed_.clear();
}

QString SendHistory::older(const QString& typed) {
  if (lines_.isEmpty()) return typed;
  if (at_ == lines_.size()) typed_ = typed;
  if (at_ > 0) --at_;
  return lines_.at(at_);
}

QString SendHistory::newer(const QString& shown) {
  if (at_ >= lines_.size()) return shown;
  ++at_;
  return at_ == lines_.size() ? typed_ : lines_.at(at_);
}

}  // namespace tamberlo::terminal
