// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The update check's HTTP client, on libcurl; the window and the headless
// check both use it. Plain "http://" URLs only: no other protocol, no proxy
// whatever the environment says, no TLS, no redirects, no content codings.
// It sends the request line, Host and the caller's headers, nothing else
// (curl's own Accept is left out), and reads the answer under hard limits,
// whatever the server sends:
// - name lookup, connecting, sending and reading all end at the deadline, or
//   within one slice once it is cancelled; the connection is closed then and
//   nothing more is read;
// - status line and headers: at most kMaxHeadBytes, complete within half of
//   the time the deadline left when the request was sent;
// - body: at most kMaxBodyBytes once chunked coding is undone, counted while
//   reading, whatever Content-Length says; reading stops at the limit. The
//   chunked coding is undone here, not by curl, so that a chunk size line
//   (at most 1 KiB) and the trailers (at most kMaxHeadBytes) are bounded too;
// - only a complete body counts: Content-Length bytes, or a chunked body up
//   to its last chunk and trailers, or (with neither) everything up to an
//   orderly close. A close or reset before that is an error.
#include <string>

#include "update/http_getter.h"

namespace tamberlo::update {

// Room for the status line and headers (and, separately, chunk trailers).
inline constexpr size_t kMaxHeadBytes = 64u << 10;

class CurlHttpGetter : public HttpGetter {
 public:
  HttpResult get(const std::string& url, const Headers& headers, const Deadline& deadline) override;
};

// The parts of an "http://host[:port]/path" URL; Error when it is not one.
// The client takes no other kind of address: curl would guess a scheme for
// "host/x" and take a user name from "http://u@host/".
struct HttpUrl {
  std::string host;  // without the brackets of an IPv6 literal
  int port = 80;
  std::string target;  // path and query, at least "/"
};
HttpUrl parseHttpUrl(const std::string& url);

}  // namespace tamberlo::update
