#pragma once
// A small blocking HTTP/1.1 client over POSIX sockets for the headless side:
// plain "http://" URLs only (no proxy, no TLS, no redirects). The whole
// exchange, connecting included, is bounded by one time-out; name lookup
// uses the system resolver and is not bounded by it.
#include <chrono>

#include "update/http_getter.h"

namespace tamberlo::update {

class SocketHttpGetter : public HttpGetter {
 public:
  explicit SocketHttpGetter(std::chrono::milliseconds timeout = kDefaultTimeout) : timeout_(timeout) {}
  HttpResult get(const std::string& url, const Headers& headers) override;

 private:
  std::chrono::milliseconds timeout_;
};

// The parts of an "http://host[:port]/path" URL; Error when it is not one.
struct HttpUrl {
  std::string host;  // without the brackets of an IPv6 literal
  int port = 80;
  std::string target;  // path and query, at least "/"
};
HttpUrl parseHttpUrl(const std::string& url);

// Splits a complete raw response (headers and body as received up to the
// close of the connection) into status and body, undoing chunked transfer
// coding. Error when it is not an HTTP response.
HttpResult parseHttpResponse(const std::string& raw);

}  // namespace tamberlo::update
