// The update worker against a local HTTP server: the notice reaches the
// model on the GUI thread, failures leave the window as it was, one check per
// run, and a window closed during a check ends it cleanly.
// The model comes before any Qt header: Qt's `slots` macro would clash with
// the configuration's pin slots.
#include "app/editor_model.h"
// Qt from here on.
#include <QTemporaryDir>
#include <QtTest>
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
struct Editor {
  QTemporaryDir dir;
  EditorModel model;
  int refreshes = 0;

  Editor() {
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

}  // namespace

class UpdateWorkerTest : public QObject {
  Q_OBJECT

 private slots:
  void noticeReachesTheModel() {
    TestHttpServer server;
    server.serve(kDescriptorPath, {200, newer()});
    Editor e;
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
    QCOMPARE(requests[0].substr(0, requests[0].find("\r\n")),
             std::string("GET /update/kestrel/act/update.htm HTTP/1.1"));
    QVERIFY(requests[0].find("\r\nUser-Agent: Mozilla/3.0 (compatible; Indy Library)") != std::string::npos);
    QVERIFY(requests[0].find("\r\nAccept: text/html, */*") != std::string::npos);
  }

  void timerTickUsesTheModelsFolder() {
    TestHttpServer server;
    server.serve(kDescriptorPath, {200, newer()});
    setUpdateBaseUrlForTests(server.baseUrl() + "/update/kestrel/act");
    Editor e;
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
    Editor e;
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
    Editor e;
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
    Editor e;
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

  void qtClientTransport() {
    TestHttpServer server;
    std::string big(update::kMaxBodyBytes + 1, 'x');
    server.serve("/plain", {200, "[a]\r\ndatetime=1"});
    server.serve("/chunked", {200, std::string(2500, 'c'), true});
    server.serve("/missing", {404, "gone"});
    server.serve("/redirect", {302, ""});
    server.serve("/huge", {200, big});
    server.serve("/huge-chunked", {200, big, true});
    server.serve("/silent", {200, "", false, true});
    server.serve("/trickle", {200, "[act.exe]\r\ndatetime=2026-12-08 09:00\r\n", false, false, true});
    QtHttpGetter http(std::chrono::seconds(20));
    QtHttpGetter impatient(std::chrono::milliseconds(300));

    update::HttpResult plain = http.get(server.baseUrl() + "/plain", {{"User-Agent", "probe/1"}});
    QCOMPARE(plain.status, 200);
    QCOMPARE(plain.body, std::string("[a]\r\ndatetime=1"));
    QVERIFY(server.requests().at(0).find("\r\nUser-Agent: probe/1") != std::string::npos);
    QCOMPARE(http.get(server.baseUrl() + "/chunked", {}).body, std::string(2500, 'c'));
    QCOMPARE(http.get(server.baseUrl() + "/missing", {}).status, 404);
    QCOMPARE(http.get(server.baseUrl() + "/redirect", {}).status, 302);
    for (const std::string& url :
         {server.baseUrl() + "/huge", server.baseUrl() + "/huge-chunked", server.baseUrl() + "/silent",
          server.baseUrl() + "/trickle",
          "http://127.0.0.1:" + std::to_string(TestHttpServer::closedPort()) + "/x", std::string("no url")}) {
      try {
        (url.ends_with("/silent") || url.ends_with("/trickle") ? impatient : http).get(url, {});
        QFAIL(("no error for " + url).c_str());
      } catch (const Error& e) {
        QVERIFY2(std::string(e.what()).find(url) != std::string::npos, e.what());
      }
    }
    // Cancelled from outside: ends without waiting for the time-out.
    QtHttpGetter cancelled(std::chrono::milliseconds(600000), [] { return true; });
    QVERIFY_THROWS_EXCEPTION(Error, cancelled.get(server.baseUrl() + "/silent", {}));
  }
};

QTEST_GUILESS_MAIN(UpdateWorkerTest)
#include "tst_update_worker.moc"
