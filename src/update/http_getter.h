// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one HTTP operation the update check needs: a GET with fixed request
// headers. The check depends only on this interface, so it runs (and is
// tested) without a window; the window and the tests use the same socket
// client (curl_http_getter.h).
#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tamberlo::update {

using Headers = std::vector<std::pair<std::string, std::string>>;

// The descriptor is a few lines of text; anything bigger is not one, and
// must not fill memory or the disk.
inline constexpr size_t kMaxBodyBytes = 1u << 20;

// A silent or hostile server must never keep the worker (and so the
// program's exit) waiting: the whole check, fetch and comparison, gets this
// long.
inline constexpr std::chrono::milliseconds kDefaultTimeout{10'000};

// When a check must stop: at a fixed time, or as soon as `cancelled` says so
// (a closing window). Waits are cut into slices of kSlice, so either ends
// them promptly.
class Deadline {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kSlice{20};

  // No limit and no cancelling.
  Deadline() = default;
  explicit Deadline(std::chrono::milliseconds span, std::function<bool()> cancelled = {})
      : at_(Clock::now() + span), cancelled_(std::move(cancelled)) {}

  Clock::time_point at() const { return at_; }
  bool cancelled() const { return cancelled_ && cancelled_(); }
  // Past the time, or cancelled.
  bool passed() const { return Clock::now() >= at_ || cancelled(); }
  // How long the next wait may last in milliseconds: one slice at most, and
  // never past `limit` (nor the deadline); 0 when that time has come.
  int sliceBefore(Clock::time_point limit) const {
    auto left = std::min(limit, at_) - Clock::now();
    if (left <= Clock::duration::zero()) return 0;
    auto ms = std::chrono::ceil<std::chrono::milliseconds>(std::min<Clock::duration>(left, kSlice));
    return static_cast<int>(ms.count());
  }

 private:
  Clock::time_point at_ = Clock::time_point::max();
  std::function<bool()> cancelled_;
};

struct HttpResult {
  int status = 0;  // the HTTP status code
  std::string body;
  bool ok() const { return status >= 200 && status <= 299; }
};

class HttpGetter {
 public:
  virtual ~HttpGetter() = default;
  // Performs one GET and returns only a complete response. Transport
  // failures (bad URL, no connection, the deadline, a body above
  // kMaxBodyBytes, a malformed or cut-short response) throw Error; an HTTP
  // error status is returned, not thrown.
  virtual HttpResult get(const std::string& url, const Headers& headers, const Deadline& deadline) = 0;
};

}  // namespace tamberlo::update
