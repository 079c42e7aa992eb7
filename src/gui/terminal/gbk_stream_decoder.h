// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Turns a stream of GBK bytes, arriving in arbitrary pieces, into text.
// A double-byte character split between two reads is kept until its second
// byte comes; a byte that cannot start or finish a GBK character is shown
// as <XX>, so a raw value the firmware prints (Putchar(187)) stays readable.
#include <QByteArray>
#include <QString>

namespace tamberlo::terminal {

class GbkStreamDecoder {
 public:
  // Decodes what can be decoded; an unfinished lead byte waits for more.
  QString decode(const QByteArray& bytes);
  // Gives up on a waiting lead byte (the line went quiet) and shows it.
  QString flush();
  bool hasPending() const { return pending_ >= 0; }
  void reset() { pending_ = -1; }

  static bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
  static bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }
  static QString escape(unsigned char b);

 private:
  int pending_ = -1;  // a lead byte waiting for its trail byte, or -1
};

}  // namespace tamberlo::terminal
