#include "gui/update_worker.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <optional>

// Qt's `slots` macro would clash with the pin slots of the configuration.
#pragma push_macro("slots")
#undef slots
#include "app/editor_model.h"
#pragma pop_macro("slots")
#include "platform/error.h"
#include "platform/text.h"

namespace tamberlo::gui {

namespace {

constexpr int kCancelPollMs = 50;

// Set by tests only; read and written on the GUI thread.
std::optional<std::string>& baseUrlForTests() {
  static std::optional<std::string> url;
  return url;
}

// The worker: runs the check once and keeps the result for the GUI thread,
// which reads it after `finished`.
class UpdateWorker : public QThread {
 public:
  UpdateWorker(update::UpdateSource source, std::chrono::milliseconds timeout)
      : source_(std::move(source)), timeout_(timeout) {}
  bool found() const { return found_; }

 protected:
  void run() override {
    QtHttpGetter http(timeout_, [this] { return isInterruptionRequested(); });
    found_ = update::checkForUpdate(source_, http);
  }

 private:
  update::UpdateSource source_;
  std::chrono::milliseconds timeout_;
  bool found_ = false;  // written by run(), read after finished
};

// Stops a running worker promptly (the getter polls the request) and waits.
void cancelAndWait(UpdateWorker* worker) {
  worker->requestInterruption();
  worker->wait();
}

}  // namespace

update::HttpResult QtHttpGetter::get(const std::string& url, const update::Headers& headers) {
  QUrl qurl(QString::fromStdString(url), QUrl::StrictMode);
  if (!qurl.isValid() || qurl.isRelative()) throw Error("not a web address: " + forMessage(url, 240));
  QNetworkRequest request(qurl);
  for (const auto& [name, value] : headers) {
    request.setRawHeader(QByteArray::fromStdString(name), QByteArray::fromStdString(value));
  }
  request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);

  QNetworkAccessManager manager;
  QNetworkReply* reply = manager.get(request);  // owned by the manager
  enum class Stop { None, TimedOut, TooLarge, Cancelled } stop = Stop::None;
  auto abortWith = [&](Stop why) {
    if (stop == Stop::None) stop = why;
    reply->abort();
  };

  QEventLoop loop;
  QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
  QObject::connect(reply, &QNetworkReply::downloadProgress, &loop, [&](qint64 received, qint64 total) {
    const auto limit = static_cast<qint64>(update::kMaxBodyBytes);
    if (received > limit || total > limit) abortWith(Stop::TooLarge);
  });
  QTimer deadline;
  deadline.setSingleShot(true);
  QObject::connect(&deadline, &QTimer::timeout, &loop, [&] { abortWith(Stop::TimedOut); });
  deadline.start(timeout_);
  QTimer poll;
  if (cancelled_) {
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (cancelled_()) abortWith(Stop::Cancelled);
    });
    poll.start(kCancelPollMs);
  }
  if (!reply->isFinished()) loop.exec();

  switch (stop) {
    case Stop::TimedOut: throw Error("no answer from " + forMessage(url, 240) + " in time");
    case Stop::TooLarge: throw Error("the response from " + forMessage(url, 240) + " is too large");
    case Stop::Cancelled: throw Error("the request to " + forMessage(url, 240) + " was cancelled");
    case Stop::None: break;
  }
  QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
  if (!status.isValid()) {
    throw Error("cannot get " + forMessage(url, 240) + ": " + reply->errorString().toStdString());
  }
  update::HttpResult result;
  result.status = status.toInt();
  QByteArray body = reply->readAll();
  if (static_cast<size_t>(body.size()) > update::kMaxBodyBytes) {
    throw Error("the response from " + forMessage(url, 240) + " is too large");
  }
  result.body = body.toStdString();
  return result;
}

void showUpdateNotice(EditorModel& model) {
  model.setValue("Memo1", 233);
  model.setCaption("Label22", "新版本发布，请点击下边网址下载");
  model.ctl("Label22").color = "red";
  model.touch();
}

void setUpdateBaseUrlForTests(std::string baseUrl) {
  baseUrlForTests() = std::move(baseUrl);
}

void Timer2Timer(EditorModel& model, QObject* guiContext, std::function<void()> refresh) {
  update::UpdateSource source = update::defaultUpdateSource(model.ExeDir());
  if (baseUrlForTests()) source.baseUrl = *baseUrlForTests();
  startUpdateWorker(model, guiContext, std::move(refresh), std::move(source), update::kDefaultTimeout);
}

void startUpdateWorker(EditorModel& model, QObject* guiContext, std::function<void()> refresh,
                       update::UpdateSource source, std::chrono::milliseconds timeout) {
  if (!model.UpdatePending()) return;
  // Timer2 is meant to fire once; should it fire again, one check is enough.
  if (model.UpdateWorkers() > 0) return;
  model.UpdateWorkers() = 1;

  auto* worker = new UpdateWorker(std::move(source), timeout);
  // Termination notice, on the GUI thread: the notice first (the thread
  // body's part), then the bookkeeping; the worker frees itself.
  QObject::connect(worker, &QThread::finished, guiContext, [&model, worker, refresh = std::move(refresh)] {
    if (worker->found()) {
      showUpdateNotice(model);
      if (refresh) refresh();
    }
    if (model.UpdateWorkers()-- == 1) model.UpdatePending() = false;
    worker->deleteLater();
  });
  // The window goes first: nothing may reach it (or the model) any more, and
  // the thread must not outlive the program.
  QObject::connect(guiContext, &QObject::destroyed, worker, [worker] {
    cancelAndWait(worker);
    delete worker;
  });
  if (auto* app = QCoreApplication::instance()) {
    QObject::connect(app, &QCoreApplication::aboutToQuit, worker, [worker] { cancelAndWait(worker); });
  }
  worker->start();
}

}  // namespace tamberlo::gui
