// SPDX-License-Identifier: GPL-3.0-or-later
// The terminal's text handling without a port: GBK decoding across reads,
// line ends, hex views, time stamps, hex input and the argument mapping.
#include <QtTest>

#include "gui/terminal/gbk_stream_decoder.h"
#include "gui/terminal/line_settings.h"
#include "gui/terminal/receive_formatter.h"
#include "gui/terminal/send_history.h"
#include "platform/error.h"

using namespace tamberlo;
using namespace tamberlo::terminal;

Q_DECLARE_METATYPE(QList<QByteArray>)
Q_DECLARE_METATYPE(tamberlo::terminal::LineEnd)
Q_DECLARE_METATYPE(tamberlo::terminal::SendMode)

namespace {

// "中文" and "温度" in GBK.
const QByteArray Zhongwen("\xD6\xD0\xCE\xC4");
const QByteArray Wendu("\xCE\xC2\xB6\xC8");

const QTime Noon(12, 0, 1, 250);

QString feedAll(ReceiveFormatter& f, const QList<QByteArray>& reads) {
  QString out;
  for (const QByteArray& r : reads) out += f.feed(r, Noon);
  return out;
}

}  // namespace

class TerminalTextTest : public QObject {
  Q_OBJECT

 private slots:
  void decodesGbkAcrossReads_data();
  void decodesGbkAcrossReads();
  void foldsLineEndsAndShowsControlBytes_data();
  void foldsLineEndsAndShowsControlBytes();
  void stampsEveryLine();
  void showsHexSixteenToALine();
  void switchingViewStartsANewLineAndFlushes();
  void notesSitOnTheirOwnLine();
  void showsWhatWasSent();
  void parsesHexText_data();
  void parsesHexText();
  void rejectsBadHexText_data();
  void rejectsBadHexText();
  void encodesTypedLines_data();
  void encodesTypedLines();
  void refusesTextWithoutGbkCode();
  void mapsEditorArguments_data();
  void mapsEditorArguments();
  void recallsSentLines();
  void explainsPortsThatWillNotOpen_data();
  void explainsPortsThatWillNotOpen();
};

void TerminalTextTest::decodesGbkAcrossReads_data() {
  QTest::addColumn<QList<QByteArray>>("reads");
  QTest::addColumn<QString>("text");
  QTest::addColumn<bool>("pendingAfter");

  QTest::newRow("ascii") << QList<QByteArray>{"Hello"} << "Hello" << false;
  QTest::newRow("whole") << QList<QByteArray>{Zhongwen} << "中文" << false;
  QTest::newRow("split after lead byte")
      << QList<QByteArray>{Zhongwen.left(1), Zhongwen.mid(1)} << "中文" << false;
  QTest::newRow("split in second char")
      << QList<QByteArray>{Zhongwen.left(3), Zhongwen.mid(3)} << "中文" << false;
  QTest::newRow("byte by byte")
      << QList<QByteArray>{"T", "\xCE", "\xC2", "\xB6", "\xC8", ":"} << "T温度:" << false;
  QTest::newRow("ends on a lead byte") << QList<QByteArray>{"A" + Wendu.left(3)} << "A温" << true;
  // Putchar(187) followed by the line end: 0xBB cannot pair with LF.
  QTest::newRow("raw byte then LF") << QList<QByteArray>{"\xBB\n"} << "<BB>\n" << false;
  QTest::newRow("raw byte split from LF") << QList<QByteArray>{"\xBB", "\n\r"} << "<BB>\n\r" << false;
  QTest::newRow("never lead bytes") << QList<QByteArray>{"\x80x\xFF"} << "<80>x<FF>" << false;
  QTest::newRow("lead then DEL") << QList<QByteArray>{"\xD6\x7F"} << "<D6>\x7F" << false;
}

void TerminalTextTest::decodesGbkAcrossReads() {
  QFETCH(QList<QByteArray>, reads);
  QFETCH(QString, text);
  QFETCH(bool, pendingAfter);
  GbkStreamDecoder decoder;
  QString out;
  for (const QByteArray& r : reads) out += decoder.decode(r);
  QCOMPARE(out, text);
  QCOMPARE(decoder.hasPending(), pendingAfter);
  if (pendingAfter) {
    QVERIFY(decoder.flush().startsWith(u'<'));
    QVERIFY(!decoder.hasPending());
  }
  QCOMPARE(decoder.flush(), QString());
}

void TerminalTextTest::foldsLineEndsAndShowsControlBytes_data() {
  QTest::addColumn<QList<QByteArray>>("reads");
  QTest::addColumn<QString>("shown");

  QTest::newRow("CR LF") << QList<QByteArray>{"abc\r\ndef\r\n"} << "abc\ndef\n";
  QTest::newRow("LF CR, as the demo firmware ends lines")
      << QList<QByteArray>{"abc\n\rdef\n\r"} << "abc\ndef\n";
  QTest::newRow("lone CR") << QList<QByteArray>{"a\rb"} << "a\nb";
  QTest::newRow("blank line CR LF") << QList<QByteArray>{"a\r\n\r\nb"} << "a\n\nb";
  QTest::newRow("blank line LF CR") << QList<QByteArray>{"a\n\r\n\rb"} << "a\n\nb";
  QTest::newRow("two CRs are two lines") << QList<QByteArray>{"a\r\rb"} << "a\n\nb";
  QTest::newRow("pair split across reads") << QList<QByteArray>{"a\r", "\nb"} << "a\nb";
  QTest::newRow("command bytes made visible") << QList<QByteArray>{QByteArray("\x0F\x0C\x00z", 4)}
                                              << "<0F><0C><00>z";
  QTest::newRow("tab kept") << QList<QByteArray>{"t=\t5"} << "t=\t5";
  QTest::newRow("GBK line") << QList<QByteArray>{Wendu + "25\n", "\r"} << "温度25\n";
}

void TerminalTextTest::foldsLineEndsAndShowsControlBytes() {
  QFETCH(QList<QByteArray>, reads);
  QFETCH(QString, shown);
  ReceiveFormatter f;
  QCOMPARE(feedAll(f, reads), shown);
}

void TerminalTextTest::stampsEveryLine() {
  ReceiveFormatter f;
  f.setTimeStamps(true);
  QCOMPARE(f.feed("one\n\rtwo", Noon), "[12:00:01.250] one\n[12:00:01.250] two");
  // A line already begun gets no second stamp; the next one gets a new time.
  QCOMPARE(f.feed(" more\r\n", QTime(12, 0, 2)), " more\n");
  QCOMPARE(f.feed("\r\nx", QTime(13, 5, 9, 7)), "[13:05:09.007] \n[13:05:09.007] x");
}

void TerminalTextTest::showsHexSixteenToALine() {
  ReceiveFormatter f;
  f.setView(ReceiveView::Hex);
  QByteArray bytes;
  for (int i = 0; i < 18; ++i) bytes.append(static_cast<char>(0xF0 + i));
  QCOMPARE(f.feed(bytes.left(2), Noon), "F0 F1");
  QCOMPARE(f.feed(bytes.mid(2), Noon),
           " F2 F3 F4 F5 F6 F7 F8 F9 FA FB FC FD FE FF\n00 01");
  ReceiveFormatter stamped;
  stamped.setView(ReceiveView::Hex);
  stamped.setTimeStamps(true);
  QCOMPARE(stamped.feed(QByteArray("\r\n\xD6", 3), Noon), "[12:00:01.250] 0D 0A D6");
}

void TerminalTextTest::switchingViewStartsANewLineAndFlushes() {
  ReceiveFormatter f;
  QCOMPARE(f.feed("ok\xBB", Noon), "ok");
  QVERIFY(f.hasPending());
  QCOMPARE(f.setView(ReceiveView::Hex), "<BB>\n");
  QCOMPARE(f.setView(ReceiveView::Hex), QString());
  QCOMPARE(f.feed("A", Noon), "41");
  QCOMPARE(f.setView(ReceiveView::Text), "\n");
  QCOMPARE(f.feed("B", Noon), "B");
  // Flushing a waiting byte shows it in the running line.
  QCOMPARE(f.feed("\xCE", Noon), QString());
  QCOMPARE(f.flush(Noon), "<CE>");
  QCOMPARE(f.flush(Noon), QString());
}

void TerminalTextTest::notesSitOnTheirOwnLine() {
  ReceiveFormatter f;
  QCOMPARE(f.note("opened", Noon), "*** opened\n");
  QCOMPARE(f.feed("half", Noon), "half");
  QCOMPARE(f.note("gone", Noon), "\n*** gone\n");
  f.setTimeStamps(true);
  QCOMPARE(f.note("again", Noon), "[12:00:01.250] *** again\n");
  // An LF CR pair cut by a note is still one line end.
  QCOMPARE(f.feed("x\n", Noon), "[12:00:01.250] x\n");
  QCOMPARE(f.note("n", Noon), "[12:00:01.250] *** n\n");
  QCOMPARE(f.feed("\ry", Noon), "[12:00:01.250] y");
}

void TerminalTextTest::showsWhatWasSent() {
  ReceiveFormatter f;
  QCOMPARE(f.sent("\x0C", Noon), ">> <0C>\n");
  QCOMPARE(f.feed("T=", Noon), "T=");
  QCOMPARE(f.sent(Wendu + "?\r\n", Noon), "\n>> 温度?<0D><0A>\n");
  QCOMPARE(f.feed("25", Noon), "25");
  f.setView(ReceiveView::Hex);
  f.setTimeStamps(true);
  QCOMPARE(f.sent(Wendu.left(1) + "A", Noon), "[12:00:01.250] >> CE 41\n");
  // A lead byte received before the echo still pairs with what follows it.
  f.setView(ReceiveView::Text);
  QCOMPARE(f.feed("\xCE", Noon), QString());
  QCOMPARE(f.sent("\x0F", Noon), "[12:00:01.250] >> <0F>\n");
  QCOMPARE(f.feed("\xC2", Noon), "[12:00:01.250] 温");
}

void TerminalTextTest::parsesHexText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("blanks") << "0F 0a  b" << QByteArray("\x0F\x0A\x0B");
  QTest::newRow("prefixed, commas") << "0x55,0X99, 0x2" << QByteArray("\x55\x99\x02");
  QTest::newRow("run of digits") << "0F0AbB" << QByteArray("\x0F\x0A\xBB");
  QTest::newRow("zero byte") << "00" << QByteArray(1, '\0');
  QTest::newRow("empty") << "  " << QByteArray();
}

void TerminalTextTest::parsesHexText() {
  QFETCH(QString, text);
  QFETCH(QByteArray, bytes);
  QCOMPARE(parseHexText(text), bytes);
}

void TerminalTextTest::rejectsBadHexText_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<QString>("named");
  QTest::newRow("not a digit") << "0F zz" << "zz";
  QTest::newRow("odd run") << "0F0A1" << "0F0A1";
  QTest::newRow("bare prefix") << "0x" << "0x";
  QTest::newRow("long prefixed") << "0x123" << "0x123";
  QTest::newRow("minus") << "-1" << "-1";
}

void TerminalTextTest::rejectsBadHexText() {
  QFETCH(QString, text);
  QFETCH(QString, named);
  try {
    parseHexText(text);
    QFAIL("bad hex text was accepted");
  } catch (const Error& e) {
    const QString message = QString::fromStdString(e.what());
    QVERIFY2(message.contains(u'“' + named + u'”'), qPrintable(message));
  }
}

void TerminalTextTest::encodesTypedLines_data() {
  QTest::addColumn<QString>("text");
  QTest::addColumn<SendMode>("mode");
  QTest::addColumn<LineEnd>("end");
  QTest::addColumn<QByteArray>("bytes");
  QTest::newRow("text, no end") << "AT" << SendMode::Text << LineEnd::None << QByteArray("AT");
  QTest::newRow("GBK text, CR") << "中文" << SendMode::Text << LineEnd::Cr << Zhongwen + "\r";
  QTest::newRow("text, LF") << "x" << SendMode::Text << LineEnd::Lf << QByteArray("x\n");
  QTest::newRow("text, CR LF") << "温度?" << SendMode::Text << LineEnd::CrLf << Wendu + "?\r\n";
  QTest::newRow("hex, no end") << "0E" << SendMode::Hex << LineEnd::None << QByteArray("\x0E");
  QTest::newRow("hex, CR LF") << "41 42" << SendMode::Hex << LineEnd::CrLf << QByteArray("AB\r\n");
  QTest::newRow("empty line, LF") << "" << SendMode::Text << LineEnd::Lf << QByteArray("\n");
}

void TerminalTextTest::encodesTypedLines() {
  QFETCH(QString, text);
  QFETCH(SendMode, mode);
  QFETCH(LineEnd, end);
  QFETCH(QByteArray, bytes);
  QCOMPARE(encodeLine(text, mode, end), bytes);
}

void TerminalTextTest::refusesTextWithoutGbkCode() {
  QVERIFY_THROWS_EXCEPTION(Error, encodeLine(QStringLiteral("ok 😀"), SendMode::Text, LineEnd::None));
}

void TerminalTextTest::mapsEditorArguments_data() {
  QTest::addColumn<int>("baud");
  QTest::addColumn<int>("parity");
  QTest::addColumn<int>("dataBits");
  QTest::addColumn<int>("stopBits");
  QTest::addColumn<QString>("settings");
  QTest::addColumn<int>("notes");
  QTest::newRow("editor defaults") << 7 << 0 << 3 << 0 << "9600 8N1" << 0;
  QTest::newRow("first item, odd, 5 bits, two stop") << 1 << 1 << 0 << 2 << "110 5O2" << 0;
  QTest::newRow("last item, even, 7 bits") << 15 << 2 << 2 << 0 << "256000 7E1" << 0;
  QTest::newRow("115200, 6 bits") << 13 << 0 << 1 << 0 << "115200 6N1" << 0;
  QTest::newRow("stop code other than 2") << 9 << 0 << 3 << 1 << "19200 8N1" << 0;
  // A baud typed into the editor's box has no item: index -1 plus one.
  QTest::newRow("typed baud") << 0 << 0 << 3 << 0 << "9600 8N1" << 1;
  QTest::newRow("past the list") << 16 << 0 << 3 << 0 << "9600 8N1" << 1;
  // A typed character size is the 9-bit setting.
  QTest::newRow("typed character size") << 12 << 2 << -1 << 2 << "57600 8E2" << 1;
  QTest::newRow("all wrong") << -3 << 7 << 9 << 0 << "9600 8N1" << 3;
}

void TerminalTextTest::mapsEditorArguments() {
  QFETCH(int, baud);
  QFETCH(int, parity);
  QFETCH(int, dataBits);
  QFETCH(int, stopBits);
  QFETCH(QString, settings);
  QFETCH(int, notes);
  ComOpenArgs args;
  args.baud = baud;
  args.parity = parity;
  args.dataBits = dataBits;
  args.stopBits = stopBits;
  QStringList said;
  QCOMPARE(describe(lineSettingsFromArgs(args, &said)), settings);
  QCOMPARE(said.size(), notes);
  QCOMPARE(describe(lineSettingsFromArgs(args, nullptr)), settings);
}

void TerminalTextTest::recallsSentLines() {
  SendHistory h;
  QCOMPARE(h.older("typed"), "typed");
  QCOMPARE(h.newer("typed"), "typed");
  for (const char* line : {"0F", "", "AT", "AT", "0C"}) h.add(line);
  QCOMPARE(h.lines(), QStringList({"0F", "AT", "0C"}));
  // Up, up, up, up stops at the oldest; down comes back to what was typed.
  QCOMPARE(h.older("half"), "0C");
  QCOMPARE(h.older("0C"), "AT");
  QCOMPARE(h.older("AT"), "0F");
  QCOMPARE(h.older("0F"), "0F");
  QCOMPARE(h.newer("0F"), "AT");
  QCOMPARE(h.newer("AT"), "0C");
  QCOMPARE(h.newer("0C"), "half");
  QCOMPARE(h.newer("half"), "half");
  // Sending ends the walk.
  QCOMPARE(h.older("x"), "0C");
  h.add("AT");
  QCOMPARE(h.older(""), "AT");
  for (int i = 0; i < SendHistory::MaxLines + 5; ++i) h.add(QString::number(i));
  QCOMPARE(h.lines().size(), SendHistory::MaxLines);
  QCOMPARE(h.lines().first(), "5");
}

void TerminalTextTest::explainsPortsThatWillNotOpen_data() {
  QTest::addColumn<QSerialPort::SerialPortError>("error");
  QTest::addColumn<bool>("exists");
  QTest::addColumn<bool>("writable");
  QTest::addColumn<QString>("message");
  QTest::newRow("gone") << QSerialPort::DeviceNotFoundError << false << false
                        << "找不到串口 /dev/ttyUSB0（detail）";
  QTest::newRow("no permission") << QSerialPort::PermissionError << true << false
                                 << "没有权限打开串口 /dev/ttyUSB0（detail），请把用户加入 dialout 组";
  QTest::newRow("busy") << QSerialPort::PermissionError << true << true
                        << "串口 /dev/ttyUSB0 已被其他程序占用（detail）";
  QTest::newRow("open here") << QSerialPort::OpenError << true << true << "串口 /dev/ttyUSB0 已经打开（detail）";
  QTest::newRow("unsupported") << QSerialPort::UnsupportedOperationError << true << true
                               << "串口 /dev/ttyUSB0 不支持这些设置（detail）";
  QTest::newRow("other") << QSerialPort::UnknownError << true << true << "无法打开串口 /dev/ttyUSB0（detail）";
}

void TerminalTextTest::explainsPortsThatWillNotOpen() {
  QFETCH(QSerialPort::SerialPortError, error);
  QFETCH(bool, exists);
  QFETCH(bool, writable);
  QFETCH(QString, message);
  QCOMPARE(describeOpenFailure(error, "/dev/ttyUSB0", "detail", exists, writable), message);
}

QTEST_GUILESS_MAIN(TerminalTextTest)
#include "tst_terminal_text.moc"
