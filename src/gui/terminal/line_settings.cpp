// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/terminal/line_settings.h"

#include <QRegularExpression>

#include "platform/error.h"
#include "platform/gbk.h"

namespace tamberlo::terminal {

QString describe(const LineSettings& s) {
  const char parity = s.parity == QSerialPort::EvenParity  ? 'E'
                      : s.parity == QSerialPort::OddParity ? 'O'
                                                           : 'N';
  const int stop = s.stopBits == QSerialPort::TwoStop ? 2 : 1;
  return QStringLiteral("%1 %2%3%4").arg(s.baud).arg(int(s.dataBits)).arg(QLatin1Char(parity)).arg(stop);
}

LineSettings lineSettingsFromArgs(const ComOpenArgs& args, QStringList* notes) {
  LineSettings s;
  auto note = [&](const QString& text) {
    if (notes) notes->append(text);
  };
  if (args.baud >= 1 && args.baud <= baudItems().size()) {
    s.baud = baudItems().at(args.baud - 1).toInt();
  } else {
    note(QStringLiteral("波特率不在列表中（序号 %1），暂用 9600，请在上方选择或输入").arg(args.baud));
  }
  switch (args.parity) {
    case 0: break;
    case 1: s.parity = QSerialPort::OddParity; break;
    case 2: s.parity = QSerialPort::EvenParity; break;
    default: note(QStringLiteral("未知的校验方式（代码 %1），暂用无校验").arg(args.parity));
  }
  if (args.dataBits >= 0 && args.dataBits <= 3) {
    s.dataBits = static_cast<QSerialPort::DataBits>(5 + args.dataBits);
  } else {
    // The editor's 9-bit setting (a typed character size) has no PC counterpart.
    note(QStringLiteral("数据位不是 5 到 8 位（序号 %1），暂用 8 位").arg(args.dataBits));
  }
  s.stopBits = args.stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop;
  return s;
}

QString describeOpenFailure(QSerialPort::SerialPortError error, const QString& name, const QString& detail,
                            bool exists, bool writable) {
  switch (error) {
    case QSerialPort::DeviceNotFoundError:
      return QStringLiteral("找不到串口 %1（%2）").arg(name, detail);
    case QSerialPort::PermissionError:
      if (exists && !writable) {
        return QStringLiteral("没有权限打开串口 %1（%2），请把用户加入 dialout 组").arg(name, detail);
      }
      return QStringLiteral("串口 %1 已被其他程序占用（%2）").arg(name, detail);
    case QSerialPort::OpenError:
      return QStringLiteral("串口 %1 已经打开（%2）").arg(name, detail);
    case QSerialPort::UnsupportedOperationError:
      return QStringLiteral("串口 %1 不支持这些设置（%2）").arg(name, detail);
    default:
      return QStringLiteral("无法打开串口 %1（%2）").arg(name, detail);
  }
}

QByteArray lineEndBytes(LineEnd end) {
  switch (end) {
    case LineEnd::None: return {};
    case LineEnd::Cr: return QByteArrayLiteral("\r");
    case LineEnd::Lf: return QByteArrayLiteral("\n");
    case LineEnd::CrLf: return QByteArrayLiteral("\r\n");
  }
  return {};
}

namespace {

int hexDigit(QChar c) {
  const char16_t u = c.unicode();
  if (u >= u'0' && u <= u'9') return u - u'0';
  if (u >= u'a' && u <= u'f') return u - u'a' + 10;
  if (u >= u'A' && u <= u'F') return u - u'A' + 10;
  return -1;
}

[[noreturn]] void badHex(const QString& piece, const QString& why) {
  throw Error(QStringLiteral("十六进制数据有误：“%1”%2").arg(piece, why).toStdString());
}

}  // namespace

QByteArray parseHexText(const QString& text) {
  QByteArray out;
  const QStringList pieces = text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts);
  for (const QString& piece : pieces) {
    QString digits = piece;
    if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
      digits = digits.mid(2);
      if (digits.isEmpty() || digits.size() > 2) badHex(piece, QStringLiteral("：0x 后应为一到两位十六进制数"));
    }
    for (QChar c : digits) {
      if (hexDigit(c) < 0) badHex(piece, QStringLiteral("含有非十六进制字符“%1”").arg(c));
    }
    if (digits.size() > 2 && digits.size() % 2 != 0) {
      badHex(piece, QStringLiteral("：连写的十六进制数位数应为偶数"));
    }
    if (digits.size() <= 2) {
      out.append(static_cast<char>(digits.toUInt(nullptr, 16)));
      continue;
    }
    for (qsizetype i = 0; i < digits.size(); i += 2) {
      out.append(static_cast<char>(hexDigit(digits[i]) * 16 + hexDigit(digits[i + 1])));
    }
  }
  return out;
}

QByteArray encodeLine(const QString& text, SendMode mode, LineEnd end) {
  QByteArray bytes;
  if (mode == SendMode::Hex) {
    bytes = parseHexText(text);
  } else {
    const std::string gbk = utf8ToGbk(text.toStdString());
    bytes = QByteArray(gbk.data(), static_cast<qsizetype>(gbk.size()));
  }
  return bytes + lineEndBytes(end);
}

}  // namespace tamberlo::terminal
