#pragma once
// The one HTTP operation the update check needs: a GET with fixed request
// headers. The check depends only on this interface, so it runs (and is
// tested) without a window; the window supplies a Qt Network client and the
// headless side a plain socket client.
#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace tamberlo::update {

using Headers = std::vector<std::pair<std::string, std::string>>;

// The descriptor is a few lines of text; anything bigger is not one, and
// must not fill memory or the disk.
inline constexpr size_t kMaxBodyBytes = 1u << 20;

// A silent server must never keep the worker (and so the program's exit)
// waiting: connecting and reading together get this long.
inline constexpr std::chrono::milliseconds kDefaultTimeout{10'000};

struct HttpResult {
  int status = 0;  // the HTTP status code
  std::string body;
  bool ok() const { return status >= 200 && status <= 299; }
};

class HttpGetter {
 public:
  virtual ~HttpGetter() = default;
  // Performs one GET. Transport failures (bad URL, no connection, time-out,
  // a body above kMaxBodyBytes, a malformed response) throw Error; an HTTP
  // error status is returned, not thrown.
  virtual HttpResult get(const std::string& url, const Headers& headers) = 0;
};

}  // namespace tamberlo::update
