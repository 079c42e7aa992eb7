// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The serial line settings of a terminal, how the editor's ComOpenForm
// arguments map onto them, and how a typed line becomes bytes to send.
#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QStringList>

#include "app/services.h"

namespace tamberlo::terminal {

// The editor's baud list; ComOpenForm passes the item index plus one.
inline const QStringList& baudItems() {
  static const QStringList items = {"110",   "300",   "600",   "1200",   "2400",
                                    "4800",  "9600",  "14400", "19200",  "38400",
                                    "56000", "57600", "115200", "128000", "256000"};
  return items;
}

struct LineSettings {
  qint32 baud = 9600;
  QSerialPort::DataBits dataBits = QSerialPort::Data8;
  QSerialPort::Parity parity = QSerialPort::NoParity;
  QSerialPort::StopBits stopBits = QSerialPort::OneStop;
  bool operator==(const LineSettings&) const = default;
};

// "9600 8N1" and the like.
QString describe(const LineSettings& settings);

// Maps the arguments; anything outside what the editor can pass (a baud
// typed by hand arrives as item 0, a typed character size as -1) falls
// back to a usable value and adds a note saying so.
LineSettings lineSettingsFromArgs(const ComOpenArgs& args, QStringList* notes);

// Why a port would not open, in words a user can act on. Qt reports a
// lock held by another program and a denied open alike, so the device's
// write permission tells the two apart.
QString describeOpenFailure(QSerialPort::SerialPortError error, const QString& name, const QString& detail,
                            bool exists, bool writable);

enum class SendMode { Text, Hex };
enum class LineEnd { None, Cr, Lf, CrLf };

QByteArray lineEndBytes(LineEnd end);

// Hex text: bytes as one or two hex digits, optionally "0x"-prefixed,
// separated by blanks or commas; a run of digits without separators is
// read two digits at a time ("0F0A"). Throws Error naming the bad piece.
QByteArray parseHexText(const QString& text);

// The bytes for a typed line: GBK text or hex, then the line end. Throws
// Error for bad hex or text with no GBK code.
QByteArray encodeLine(const QString& text, SendMode mode, LineEnd end);

}  // namespace tamberlo::terminal
