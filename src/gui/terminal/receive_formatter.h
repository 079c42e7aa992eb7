// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Renders received bytes for the receive view: as GBK text with line ends
// folded (the demo firmware ends lines with LF CR, PCs with CR LF) and
// control bytes made visible, or as hex bytes sixteen to a line. Time
// stamps, when on, open every line. The result is appended to the view as
// is, so the formatter remembers where the last line stopped.
#include <QByteArray>
#include <QString>
#include <QTime>

#include "gui/terminal/gbk_stream_decoder.h"

namespace tamberlo::terminal {

enum class ReceiveView { Text, Hex };

class ReceiveFormatter {
 public:
  static constexpr int HexBytesPerLine = 16;

  ReceiveView view() const { return view_; }
  bool timeStamps() const { return timeStamps_; }
  // A change of view starts a new line, so text and hex never share one.
  QString setView(ReceiveView view);
  void setTimeStamps(bool on) { timeStamps_ = on; }

  // The text to append for bytes received at `when`.
  QString feed(const QByteArray& bytes, const QTime& when);
  // Shows a GBK lead byte that never got its second byte.
  QString flush(const QTime& when);
  bool hasPending() const { return decoder_.hasPending(); }
  // A message of the terminal itself, on a line of its own.
  QString note(const QString& message, const QTime& when);
  // Bytes the terminal sent, on a line of their own after ">> ": hex in the
  // hex view, else GBK text with every control byte (line ends too) shown.
  QString sent(const QByteArray& bytes, const QTime& when);
  // After the view was cleared.
  void reset();

  static QString stamp(const QTime& when);

 private:
  QString feedText(const QString& text, const QTime& when);
  QString feedHex(const QByteArray& bytes, const QTime& when);
  QString lineStart(const QTime& when);
  QString endLine();
  // A line of the terminal's own between received lines; a CR LF pair cut
  // by it still counts as one line end.
  QString ownLine(const QString& text, const QTime& when);

  ReceiveView view_ = ReceiveView::Text;
  bool timeStamps_ = false;
  GbkStreamDecoder decoder_;
  bool atLineStart_ = true;
  // After CR or LF ends a line, the other one right behind it belongs to
  // the same line end.
  QChar partner_;
  int hexColumn_ = 0;
};

}  // namespace tamberlo::terminal
