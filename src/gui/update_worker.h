// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The update check's window side: Timer2's handler starts one worker thread,
// which runs the headless check with its libcurl client (no proxy, no extra
// headers, every limit of curl_http_getter.h); the notice and the
// termination bookkeeping are applied to the editor model on the GUI thread.
#include <QObject>
#include <chrono>
#include <functional>
#include <string>

#include "update/update_check.h"

namespace tamberlo {
class EditorModel;
}

namespace tamberlo::gui {

// Timer2's handler: checks UpdateBaseUrl against the model's ExeDir. Does
// nothing once a check has finished (UpdatePending false) or while one runs.
// `guiContext` is the object the results are delivered to (the window): if
// it is destroyed first, the running check is cancelled and waited for, and
// nothing reaches the model. The model must outlive `guiContext`. `refresh`
// runs on the GUI thread after the notice has been put into the model.
void Timer2Timer(EditorModel& model, QObject* guiContext, std::function<void()> refresh);

// For tests that show the window: every later Timer2Timer of this process
// asks `baseUrl` instead of UpdateBaseUrl, so they never reach the maker's
// server. Users have no way to change the address (no option, no variable).
void setUpdateBaseUrlForTests(std::string baseUrl);

// Timer2Timer with the update source and time-out given; tests point it at a
// local server. The time-out bounds the whole check, fetch and comparison.
void startUpdateWorker(EditorModel& model, QObject* guiContext, std::function<void()> refresh,
                       update::UpdateSource source, std::chrono::milliseconds timeout);

// The notice: Memo1 shortened to 233, Label22 in red.
void showUpdateNotice(EditorModel& model);

}  // namespace tamberlo::gui
