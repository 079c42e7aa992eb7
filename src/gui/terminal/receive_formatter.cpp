// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/terminal/receive_formatter.h"

namespace tamberlo::terminal {

QString ReceiveFormatter::stamp(const QTime& when) {
  return QLatin1Char('[') + when.toString(QStringLiteral("HH:mm:ss.zzz")) + QStringLiteral("] ");
}

QString ReceiveFormatter::lineStart(const QTime& when) {
  if (!atLineStart_) return {};
  atLineStart_ = false;
  return timeStamps_ ? stamp(when) : QString();
}

QString ReceiveFormatter::endLine() {
  partner_ = QChar();
  hexColumn_ = 0;
  if (atLineStart_) return {};
  atLineStart_ = true;
  return QStringLiteral("\n");
}

QString ReceiveFormatter::setView(ReceiveView view) {
  if (view == view_) return {};
  QString out;
  if (decoder_.hasPending()) out += decoder_.flush();
  view_ = view;
  return out + endLine();
}

QString ReceiveFormatter::feed(const QByteArray& bytes, const QTime& when) {
  if (bytes.isEmpty()) return {};
  if (view_ == ReceiveView::Hex) return feedHex(bytes, when);
  return feedText(decoder_.decode(bytes), when);
}

QString ReceiveFormatter::flush(const QTime& when) {
  if (!decoder_.hasPending()) return {};
  return feedText(decoder_.flush(), when);
}

QString ReceiveFormatter::ownLine(const QString& text, const QTime& when) {
  const QChar partner = partner_;
  QString out = endLine();
  out += lineStart(when);
  out += text;
  atLineStart_ = false;
  out += endLine();
  partner_ = partner;
  return out;
}

QString ReceiveFormatter::note(const QString& message, const QTime& when) {
  return ownLine(QStringLiteral("*** ") + message, when);
}

QString ReceiveFormatter::sent(const QByteArray& bytes, const QTime& when) {
  QString shown;
  if (view_ == ReceiveView::Hex) {
    for (char c : bytes) {
      if (!shown.isEmpty()) shown += QLatin1Char(' ');
      shown += QStringLiteral("%1").arg(static_cast<unsigned char>(c), 2, 16, QLatin1Char('0')).toUpper();
    }
  } else {
    GbkStreamDecoder decoder;
    const QString text = decoder.decode(bytes) + decoder.flush();
    for (QChar c : text) {
      const bool control = (c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F;
      shown += control ? GbkStreamDecoder::escape(static_cast<unsigned char>(c.unicode())) : QString(c);
    }
  }
  return ownLine(QStringLiteral(">> ") + shown, when);
}

void ReceiveFormatter::reset() {
  decoder_.reset();
  atLineStart_ = true;
  partner_ = QChar();
  hexColumn_ = 0;
}

QString ReceiveFormatter::feedText(const QString& text, const QTime& when) {
  QString out;
  for (QChar c : text) {
    if (c == u'\r' || c == u'\n') {
      if (c == partner_) {
        partner_ = QChar();
        continue;
      }
      // An empty line still gets its line: two line ends in a row are two.
      out += lineStart(when);
      out += endLine();
      partner_ = (c == u'\r') ? QChar(u'\n') : QChar(u'\r');
      continue;
    }
    partner_ = QChar();
    out += lineStart(when);
    if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F) {
      out += GbkStreamDecoder::escape(static_cast<unsigned char>(c.unicode()));
    } else {
      out += c;
    }
  }
  return out;
}

QString ReceiveFormatter::feedHex(const QByteArray& bytes, const QTime& when) {
  QString out;
  for (char c : bytes) {
    if (hexColumn_ == HexBytesPerLine) out += endLine();
    out += lineStart(when);
    if (hexColumn_ > 0) out += QLatin1Char(' ');
    out += QStringLiteral("%1").arg(static_cast<unsigned char>(c), 2, 16, QLatin1Char('0')).toUpper();
    ++hexColumn_;
  }
  return out;
}

}  // namespace tamberlo::terminal
