// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/update_worker.h"

#include <QCoreApplication>
#include <QThread>
#include <optional>

// Qt's `slots` macro would clash with the pin slots of the configuration.
#pragma push_macro("slots")
#undef slots
#include "app/editor_model.h"
#pragma pop_macro("slots")
#include "update/curl_http_getter.h"

namespace tamberlo::gui {

namespace {

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
    update::CurlHttpGetter http;
    update::Deadline deadline(timeout_, [this] { return isInterruptionRequested(); });
    found_ = update::checkForUpdate(source_, http, deadline);
  }

 private:
  update::UpdateSource source_;
  std::chrono::milliseconds timeout_;
  bool found_ = false;  // written by run(), read after finished
};

// Stops a running worker promptly (every wait of the check is sliced, and
// the comparison looks at the deadline as it goes) and waits for it.
void cancelAndWait(UpdateWorker* worker) {
  worker->requestInterruption();
  worker->wait();
}

}  // namespace

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
  update::UpdateSource source = update::defaultUpdateSource(model.ExeDir(), model.UpdateDir());
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
