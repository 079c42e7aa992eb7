// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/terminal/gbk_stream_decoder.h"

#include <string>

#include "platform/gbk.h"

namespace tamberlo::terminal {

QString GbkStreamDecoder::escape(unsigned char b) {
  return QStringLiteral("<%1>").arg(b, 2, 16, QLatin1Char('0')).toUpper();
}

QString GbkStreamDecoder::decode(const QByteArray& bytes) {
  QString out;
  // Runs of well-formed bytes go to the converter in one piece; it costs a
  // lock and a reset per call, too much for one call per character.
  std::string run;
  auto endRun = [&] {
    if (run.empty()) return;
    out += QString::fromStdString(gbkToUtf8(run));
    run.clear();
  };
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (pending_ >= 0) {
      const auto lead = static_cast<unsigned char>(pending_);
      pending_ = -1;
      if (isTrailByte(b)) {
        run += static_cast<char>(lead);
        run += c;
        continue;
      }
      endRun();
      out += escape(lead);
      // b is looked at afresh below: it may be ASCII or a new lead byte.
    }
    if (b < 0x80) {
      run += c;
    } else if (isLeadByte(b)) {
      pending_ = b;
    } else {
      endRun();
      out += escape(b);
    }
  }
  endRun();
  return out;
}

QString GbkStreamDecoder::flush() {
  if (pending_ < 0) return {};
  const auto lead = static_cast<unsigned char>(pending_);
  pending_ = -1;
  return escape(lead);
}

}  // namespace tamberlo::terminal
