// SPDX-License-Identifier: GPL-3.0-or-later
// The update worker against a local HTTP server: the notice reaches the
// model on the GUI thread, failures leave the window as it was, one check per
// run, and a window closed during a check ends it cleanly. Hostile servers
// and folders are tried on this path, the one the window takes, with the
// bounds the README promises measured in this process.
// The model comes before any Qt header: Qt's `slots` macro would clash with
// the configuration's pin slots.
#include "assembly/editor.h"
#include "app/editor_model.h"
// Qt from here on.
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <fstream>
#include <memory>

#include "gui/update_worker.h"
#include "platform/error.h"
#include "platform/fs.h"
#include "unit/update_test_server.h"
#include "unit/update_test_support.h"

using namespace tamberlo;
using namespace tamberlo::gui;
using test::TestHttpServer;

namespace {

constexpr const char* kDescriptorPath = "/update/kestrel/act/update.htm";
const std::string kNotice = "新版本发布，请点击下边网址下载";

// A started editor in a scratch ExeDir holding act.exe dated 2026-12-07 10:30.
struct StartedEditor {
  QTemporaryDir dir;
  tamberlo::Editor model;
  int refreshes = 0;

  StartedEditor() {
    model.FormCreate(dir.path().toStdString() + "/");
    model.FormShow();
    writeFileAtomic(model.ExeDir() + "act.exe", "MZ");
    test::setLocalModTime(model.ExeDir() + "act.exe", 2026, 12, 7, 10, 30, 0);
  }
  std::function<void()> refresh() {
    return [this] { ++refreshes; };
  }
  void start(QObject* context, const std::string& base, int timeoutMs = 20000) {
    startUpdateWorker(model, context, refresh(), {base, "update", model.ExeDir()},
                      std::chrono::milliseconds(timeoutMs));
  }
};

std::string newer() {
  return "[act.exe]\r\ndatetime=2026-12-08 09:00:00\r\n";
}

std::string chunk(const std::string& data) {
  char size[16];
  std::snprintf(size, sizeof size, "%zx\r\n", data.size());
  return size + data + "\r\n";
}

// A line of a /proc/self/status field in KiB ("VmHWM:"), 0 if missing.
long statusKb(const std::string& field) {
  std::ifstream in("/proc/self/status");
  for (std::string line; std::getline(in, line);) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(field.size()));
  }
  return 0;
}

long cpuMs() {
  rusage use{};
  ::getrusage(RUSAGE_SELF, &use);
  auto ms = [](const timeval& t) { return t.tv_sec * 1000L + t.tv_usec / 1000L; };
  return ms(use.ru_utime) + ms(use.ru_stime);
}

// What one check costs this whole process (server thread included): wall
// time, CPU time, and how far the peak of resident memory rose. Writing 5 to
// clear_refs resets the peak to the present size, so the peak is this
// check's own; should the reset be refused, the rise above the old peak is
// still a lower bound that never fails a sound run.
struct Cost {
  QElapsedTimer wall;
  long cpuStart = cpuMs();
  long peakStart = 0;
  Cost() {
    std::ofstream("/proc/self/clear_refs") << "5";
    peakStart = statusKb("VmHWM:");
    wall.start();
  }
  long cpu() const { return cpuMs() - cpuStart; }
  long peakRiseKb() const { return statusKb("VmHWM:") - peakStart; }
};

// Bounds with room for a loaded two-core machine.
constexpr long kMaxPeakRiseKb = 8 * 1024;
constexpr long kWallMarginMs = 3000;
constexpr qint64 kCloseWithinMs = 500;

}  // namespace

class UpdateWorkerTest : public QObject {
  Q_OBJECT

 private slots:
  void noticeReachesTheModel() {
    TestHttpServer server;
    server.serve(kDescriptorPath, {200, newer()});
    // The check uses no proxy: a proxy named in the environment sees nothing.
    TestHttpServer proxy;
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) {
      qputenv(name, QByteArray::fromStdString(proxy.baseUrl()));
    }
    qunsetenv("no_proxy");
    qunsetenv("NO_PROXY");
    StartedEditor e;
    QObject window;
    QCOMPARE(e.model.value("Memo1"), 257);
    e.start(&window, server.baseUrl() + "/update/kestrel/act/");
    QCOMPARE(e.model.UpdateWorkers(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!e.model.UpdatePending(), 20000);

    QCOMPARE(e.model.UpdateWorkers(), 0);
    QCOMPARE(e.model.value("Memo1"), 233);
    QCOMPARE(e.model.caption("Label22"), kNotice);
    QCOMPARE(e.model.ctl("Label22").color, std::string("red"));
    QCOMPARE(e.refreshes, 1);
    QVERIFY(!fileExists(e.model.ExeDir() + "update.ini"));
    auto requests = server.requests();
    QCOMPARE(requests.size(), size_t(1));
    // The fixed headers and nothing else (Host belongs to HTTP/1.1 itself).
    QCOMPARE(
        requests[0],
        "GET /update/kestrel/act/update.htm HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(server.port()) +
            "\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)\r\nAccept: text/html, */*");
    QVERIFY(proxy.requests().empty());
    for (const char* name : {"http_proxy", "HTTP_PROXY", "all_proxy", "ALL_PROXY"}) qunsetenv(name);
  }

  void timerTickUsesTheModelsFolder() {
    TestHttpServer server;
    server.serve(kDescriptorPath, {200, newer()});
    setUpdateBaseUrlForTests(server.baseUrl() + "/update/kestrel/act");
    StartedEditor e;
    QObject window;
    Timer2Timer(e.model, &window, e.refresh());
    QTRY_VERIFY_WITH_TIMEOUT(!e.model.UpdatePending(), 20000);
    QCOMPARE(e.model.caption("Label22"), kNotice);
    QCOMPARE(server.requests().size(), size_t(1));
  }

  void failuresLeaveTheWindowAlone_data() {
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("silent");
    QTest::addColumn<bool>("reachable");
    const QByteArray older = "[act.exe]\r\ndatetime=2026-12-07 10:29:00\r\n";
    const QByteArray descriptor = QByteArray::fromStdString(newer());
    QTest::newRow("older") << 200 << older << false << true;
    QTest::newRow("missing local file")
        << 200 << QByteArray("[gone.exe]\r\ndatetime=2030-01-01 00:00\r\n") << false << true;
    QTest::newRow("404") << 404 << descriptor << false << true;
    QTest::newRow("silent") << 200 << descriptor << true << true;
    QTest::newRow("unreachable") << 200 << descriptor << false << false;
  }

  void failuresLeaveTheWindowAlone() {
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, silent);
    QFETCH(bool, reachable);
    TestHttpServer server;
    server.serve(kDescriptorPath, {status, body.toStdString(), false, silent});
    StartedEditor e;
    // A descriptor from an interrupted earlier run must not count.
    writeFileAtomic(e.model.ExeDir() + "update.ini", newer());
    QObject window;
    std::string base =
        reachable ? server.baseUrl() : "http://127.0.0.1:" + std::to_string(TestHttpServer::closedPort());
    e.start(&window, base + "/update/kestrel/act", silent ? 300 : 20000);
    QTRY_VERIFY_WITH_TIMEOUT(!e.model.UpdatePending(), 20000);

    QCOMPARE(e.model.UpdateWorkers(), 0);
    QCOMPARE(e.model.value("Memo1"), 257);
    QCOMPARE(e.model.caption("Label22"), std::string());
    QCOMPARE(e.model.ctl("Label22").color, std::string());
    QCOMPARE(e.refreshes, 0);
    QVERIFY(!fileExists(e.model.ExeDir() + "update.ini"));
  }

  void checksOncePerRun() {
    TestHttpServer server;
    server.serve(kDescriptorPath, {200, "", false, true});
    StartedEditor e;
    QObject window;
    const std::string base = server.baseUrl() + "/update/kestrel/act";
    e.start(&window, base, 400);
    e.start(&window, base, 400);  // a second tick while the first check runs
    QTRY_VERIFY_WITH_TIMEOUT(!e.model.UpdatePending(), 20000);
    QCOMPARE(server.requests().size(), size_t(1));
    // After the check: the guard holds, nothing starts.
    server.serve(kDescriptorPath, {200, newer()});
    setUpdateBaseUrlForTests(base);
    Timer2Timer(e.model, &window, e.refresh());
    e.start(&window, base);
    QCOMPARE(e.model.UpdateWorkers(), 0);
    QTest::qWait(200);
    QCOMPARE(server.requests().size(), size_t(1));
    QCOMPARE(e.model.caption("Label22"), std::string());
  }

  void closingTheWindowDuringACheckEndsIt() {
    TestHttpServer server;
    server.serve(kDescriptorPath, {200, newer(), false, true});
    StartedEditor e;
    auto window = std::make_unique<QObject>();
    // A long time-out: only the cancellation can end this check quickly.
    e.start(window.get(), server.baseUrl() + "/update/kestrel/act", 600000);
    QTRY_VERIFY_WITH_TIMEOUT(server.requests().size() == 1, 20000);
    window.reset();  // cancels and waits for the worker
    QTest::qWait(100);
    QCOMPARE(e.refreshes, 0);
    QCOMPARE(e.model.caption("Label22"), std::string());
    QVERIFY(!fileExists(e.model.ExeDir() + "update.ini"));
  }

  // Every reply carries a descriptor that would show the notice if it were
  // taken, so only a refused reply passes. Each ends within its bounds, and
  // the connection is closed once the check gives up.
  void hostileServersAreRefusedWithinBounds_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QByteArray>("repeat");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("timeoutMs");
    QTest::addColumn<int>("endsWithinMs");  // 0: the time-out and margin
    using End = TestHttpServer::Reply::End;
    const std::string ok = "HTTP/1.1 200 OK\r\n";
    const std::string chunked = ok + "Transfer-Encoding: chunked\r\n\r\n";
    const std::string line(4094, 'x');
    auto row = [](const char* name, const std::string& raw, const std::string& repeat, End end = End::Close,
                  int pauseMs = 0, int timeoutMs = 6000, int endsWithinMs = 0) {
      QTest::newRow(name) << QByteArray::fromStdString(raw) << QByteArray::fromStdString(repeat) << pauseMs
                          << static_cast<int>(end) << timeoutMs << endsWithinMs;
    };
    std::string manyHeaderLines, manyTrailers, tinyChunks;
    for (int i = 0; i < 512; ++i) manyHeaderLines += "X-A: b\r\n";
    for (int i = 0; i < 512; ++i) manyTrailers += "X-T: y\r\n";
    for (int i = 0; i < 512; ++i) tinyChunks += chunk("x");
    // Endless bodies: the 1 MiB limit holds while reading.
    row("endless chunked body", chunked + chunk(newer()), chunk(line + "\r\n"));
    row("endless chunked body of 1-byte chunks", chunked + chunk(newer()), tinyChunks);
    row("endless body without a length", ok + "\r\n" + newer(), line + "\r\n");
    row("endless body, Content-Length above the limit", ok + "Content-Length: 2000000\r\n\r\n" + newer(),
        line + "\r\n");
    row("endless body, Content-Length of 20 digits",
        ok + "Content-Length: 99999999999999999999\r\n\r\n" + newer(), line + "\r\n");
    row("chunk size beyond the limit", chunked + chunk(newer()) + "FFFFFFFF\r\n", line);
    row("endless chunk extension", chunked + chunk(newer()) + "10;", line);
    row("endless trailers", chunked + chunk(newer()) + "0\r\n", manyTrailers);
    // Endless or dribbled heads: the size and time caps hold.
    row("endless status line", "HTTP/1.1 200 ", line);
    row("endless header line", ok + "X-Long: ", line);
    row("endless header lines", ok, manyHeaderLines);
    row("header dribbled: ends at half the time-out", ok, "X: y\r\n", End::Close, 100, 8000,
        4000 + kWallMarginMs);
    row("body dribbled past the time-out", ok + "Content-Length: 100000\r\n\r\n" + newer(), "x", End::Close,
        50, 2000);
    row("silent after the header", ok + "Content-Length: 100000\r\n\r\n" + newer(), "", End::Hold, 0, 2000);
    // Bodies cut short are not complete.
    row("Content-Length not reached, then close", ok + "Content-Length: 200\r\n\r\n" + newer(), "");
    row("Content-Length not reached, then reset", ok + "Content-Length: 200\r\n\r\n" + newer(), "",
        End::Reset);
    row("chunked without the last chunk, then close", chunked + chunk(newer()), "");
    row("chunked without the last chunk, then reset", chunked + chunk(newer()), "", End::Reset);
    row("chunked without the final line end", chunked + chunk(newer()) + "0\r\n", "");
    row("body without a length ended by a reset", ok + "\r\n" + newer(), "", End::Reset);
    // Nothing is followed or decoded.
    row("unknown transfer coding", ok + "Transfer-Encoding: gzip\r\n\r\n" + newer(), "");
    row("redirect", "HTTP/1.1 302 Found\r\nLocation: /elsewhere\r\nContent-Length: 0\r\n\r\n", "");
  }

  void hostileServersAreRefusedWithinBounds() {
    QFETCH(QByteArray, raw);
    QFETCH(QByteArray, repeat);
    QFETCH(int, pauseMs);
    QFETCH(int, end);
    QFETCH(int, timeoutMs);
    QFETCH(int, endsWithinMs);
    TestHttpServer server;
    TestHttpServer::Reply reply;
    reply.raw = raw.toStdString();
    reply.repeat = repeat.toStdString();
    reply.repeatPauseMs = pauseMs;
    reply.end = static_cast<TestHttpServer::Reply::End>(end);
    server.serve(kDescriptorPath, reply);
    server.serve("/elsewhere", {200, newer()});
    StartedEditor e;
    QObject window;

    Cost cost;
    e.start(&window, server.baseUrl() + "/update/kestrel/act", timeoutMs);
    QTRY_VERIFY_WITH_TIMEOUT(!e.model.UpdatePending(), timeoutMs + 20000);
    const qint64 wall = cost.wall.elapsed();
    const long cpu = cost.cpu();
    const long peakRise = cost.peakRiseKb();
    qInfo("wall %lld ms, cpu %ld ms, peak rise %ld KiB", wall, cpu, peakRise);

    QCOMPARE(e.model.caption("Label22"), std::string());
    QCOMPARE(e.model.value("Memo1"), 257);
    QVERIFY(!fileExists(e.model.ExeDir() + "update.ini"));
    QCOMPARE(server.requests().size(), size_t(1));
    // The check hung up: the server's side of the connection ends.
    QTRY_COMPARE_WITH_TIMEOUT(server.connectionsEnded(), 1, 5000);
    QVERIFY2(wall <= (endsWithinMs > 0 ? endsWithinMs : timeoutMs + kWallMarginMs), "ended too late");
    QVERIFY2(cpu <= timeoutMs / 3, "spent too much CPU time");
    QVERIFY2(peakRise <= kMaxPeakRiseKb, "memory grew too far");
  }

  // The window closes while the server holds the check: the close returns at
  // once, though the time-out is ten minutes away.
  void closingTheWindowStopsAHostileCheck_data() {
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<QByteArray>("repeat");
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<bool>("silent");
    QTest::newRow("silent") << QByteArray() << QByteArray() << 0 << true;
    QTest::newRow("header dribbled") << QByteArray("HTTP/1.1 200 OK\r\n") << QByteArray("X: y\r\n") << 20
                                     << false;
    QTest::newRow("endless body dribbled")
        << QByteArray("HTTP/1.1 200 OK\r\n\r\n") << QByteArray("x") << 20 << false;
  }

  void closingTheWindowStopsAHostileCheck() {
    QFETCH(QByteArray, raw);
    QFETCH(QByteArray, repeat);
    QFETCH(int, pauseMs);
    QFETCH(bool, silent);
    TestHttpServer server;
    TestHttpServer::Reply reply;
    reply.silent = silent;
    reply.raw = raw.toStdString();
    reply.repeat = repeat.toStdString();
    reply.repeatPauseMs = pauseMs;
    server.serve(kDescriptorPath, reply);
    StartedEditor e;
    auto window = std::make_unique<QObject>();
    e.start(window.get(), server.baseUrl() + "/update/kestrel/act", 600000);
    QTRY_VERIFY_WITH_TIMEOUT(server.requests().size() == 1, 20000);
    QTest::qWait(200);  // let the server start its reply

    QElapsedTimer close;
    close.start();
    window.reset();  // cancels and waits for the worker
    const qint64 closeMs = close.elapsed();
    qInfo("closed in %lld ms", closeMs);
    QVERIFY2(closeMs <= kCloseWithinMs, "closing waited for the check");
    QTRY_COMPARE_WITH_TIMEOUT(server.connectionsEnded(), 1, 5000);
    QCOMPARE(e.refreshes, 0);
    QCOMPARE(e.model.caption("Label22"), std::string());
    QVERIFY(!fileExists(e.model.ExeDir() + "update.ini"));
  }

  // A full-size descriptor of short, distinct sections is compared well
  // within the real time-out: its last section still decides.
  void aLargeDescriptorIsComparedInTime() {
    std::string descriptor;
    for (int i = 0; descriptor.size() < update::kMaxBodyBytes - 200; ++i) {
      char section[32];
      std::snprintf(section, sizeof section, "[n%06d]\r\n", i);
      descriptor += section;
    }
    descriptor += newer();
    TestHttpServer server;
    server.serve(kDescriptorPath, {200, descriptor});
    StartedEditor e;
    QObject window;
    Cost cost;
    e.start(&window, server.baseUrl() + "/update/kestrel/act",
            static_cast<int>(update::kDefaultTimeout.count()));
    QTRY_VERIFY_WITH_TIMEOUT(!e.model.UpdatePending(), 30000);
    qInfo("%zu bytes compared: wall %lld ms, cpu %ld ms, peak rise %ld KiB", descriptor.size(),
          cost.wall.elapsed(), cost.cpu(), cost.peakRiseKb());
    // The notice needs the last section, so the comparison ended before the deadline.
    QCOMPARE(e.model.caption("Label22"), kNotice);
  }

  // Names and files planted in the program's folder: a FIFO, a socket, links
  // to a FIFO and to a device, a name that is not GBK matching a local file,
  // and update.ini as a link to a file elsewhere. None blocks, none is
  // written through, and each such section is skipped alone.
  void hostileFolderEntriesAreSkippedAlone() {
    StartedEditor e;
    const std::string dir = e.model.ExeDir();
    QTemporaryDir elsewhere;
    const std::string victim = elsewhere.path().toStdString() + "/victim.txt";
    writeFileAtomic(victim, "keep me");
    QCOMPARE(::mkfifo((dir + "pipe").c_str(), 0644), 0);
    QCOMPARE(::symlink((dir + "pipe").c_str(), (dir + "pipe-link").c_str()), 0);
    QCOMPARE(::symlink("/dev/null", (dir + "null-link").c_str()), 0);
    int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s", (dir + "socket").c_str());
    QCOMPARE(::bind(sock, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    QCOMPARE(::symlink(victim.c_str(), (dir + "update.ini").c_str()), 0);
    writeFileAtomic(dir + "\xEF\xBF\xBD", "U+FFFD, as a lenient decoder reads the byte FF");
    const std::string old = "datetime=2000-01-01 00:00\r\n";
    const std::string descriptor = newer() + "[pipe]\r\n" + old + "[pipe-link]\r\n" + old +
                                   "[null-link]\r\n" + old + "[socket]\r\n" + old + "[\xFF]\r\n" + old;
    TestHttpServer server;
    server.serve(kDescriptorPath, {200, descriptor});
    QObject window;
    e.start(&window, server.baseUrl() + "/update/kestrel/act", 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!e.model.UpdatePending(), 20000);

    ::close(sock);
    QCOMPARE(e.model.caption("Label22"), kNotice);
    QCOMPARE(readFile(victim), std::string("keep me"));
    struct stat st {};
    QVERIFY(::lstat((dir + "update.ini").c_str(), &st) != 0);  // the link is gone, not followed
  }
};

QTEST_GUILESS_MAIN(UpdateWorkerTest)
#include "tst_update_worker.moc"
