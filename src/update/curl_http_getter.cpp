// SPDX-License-Identifier: GPL-3.0-or-later
#include "update/curl_http_getter.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/error.h"
#include "platform/text.h"

namespace tamberlo::update {

namespace {

using Clock = Deadline::Clock;
constexpr size_t npos = std::string_view::npos;

// A chunk size line: hex digits and any extensions.
constexpr size_t kMaxChunkLineBytes = 1024;

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && equalsFoldingAscii(text.substr(0, prefix.size()), prefix);
}

void checkTime(const Deadline& deadline, const std::string& url) {
  if (deadline.cancelled()) throw Error("the request to " + url + " was cancelled");
  if (Clock::now() >= deadline.at()) throw Error("no complete answer from " + url + " in time");
}

size_t parseChunkSize(std::string_view line) {
  std::string_view text = trimBlanks(line.substr(0, line.find(';')));
  if (text.empty() || text.size() > 8) throw Error("a chunk size of the response is malformed");
  size_t size = 0;
  for (char c : text) {
    int digit = (c >= '0' && c <= '9')   ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : -1;
    if (digit < 0) throw Error("a chunk size of the response is malformed");
    size = size * 16 + static_cast<size_t>(digit);
  }
  return size;
}

// The body as it arrives, piece by piece, keeping no more than
// kMaxBodyBytes. curl hands it over still in chunked coding, so the chunk
// framing and trailers are read (and bounded) here; curl reads the same
// framing only to know where the response ends.
class BodyReader {
 public:
  void startChunked() { state_ = State::ChunkSize; }

  void feed(std::string_view data) {
    while (!data.empty() && state_ != State::Done) {
      switch (state_) {
        case State::Plain:
          append(data);
          data = {};
          break;
        case State::ChunkData: {
          std::string_view part = data.substr(0, left_);
          append(part);
          data.remove_prefix(part.size());
          left_ -= part.size();
          if (left_ == 0) state_ = State::ChunkEnd;
          break;
        }
        case State::ChunkEnd: {
          std::string_view part = data.substr(0, 2 - line_.size());
          line_.append(part);
          data.remove_prefix(part.size());
          if (line_.size() == 2) {
            if (line_ != "\r\n") throw Error("a chunk of the response is malformed");
            line_.clear();
            state_ = State::ChunkSize;
          }
          break;
        }
        case State::ChunkSize:
        case State::Trailers: takeLine(data); break;
        case State::Done: break;
      }
    }
  }

  // A chunked body is complete after its last chunk and the empty line
  // that ends its trailers; any other body when curl says it is.
  bool complete() const { return state_ == State::Plain || state_ == State::Done; }
  std::string& body() { return body_; }

 private:
  enum class State { Plain, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };

  void append(std::string_view data) {
    if (body_.size() + data.size() > kMaxBodyBytes) throw Error("the response is too large");
    body_.append(data);
  }

  // One line of chunk framing: a chunk size, or a trailer.
  void takeLine(std::string_view& data) {
    size_t nl = data.find('\n');
    std::string_view part = data.substr(0, nl == npos ? npos : nl + 1);
    line_.append(part);
    data.remove_prefix(part.size());
    if (state_ == State::ChunkSize && line_.size() > kMaxChunkLineBytes) {
      throw Error("a chunk size of the response is malformed");
    }
    if (state_ == State::Trailers && (trailerBytes_ += part.size()) > kMaxHeadBytes) {
      throw Error("the response trailer is too large");
    }
    if (nl == npos) return;
    if (line_.size() < 2 || line_[line_.size() - 2] != '\r') throw Error("a chunk of the response is malformed");
    std::string_view text(line_.data(), line_.size() - 2);
    if (state_ == State::Trailers) {
      if (text.empty()) state_ = State::Done;
    } else if (size_t size = parseChunkSize(text); size == 0) {
      state_ = State::Trailers;
    } else {
      if (body_.size() + size > kMaxBodyBytes) throw Error("the response is too large");
      left_ = size;
      state_ = State::ChunkData;
    }
    line_.clear();
  }

  State state_ = State::Plain;
  std::string line_;
  size_t left_ = 0;
  size_t trailerBytes_ = 0;
  std::string body_;
};

// What the callbacks share during one transfer. A callback that refuses
// the answer says why in `failure` and makes curl stop; nothing may throw
// through curl's C frames.
struct Transfer {
  Transfer(CURL* e, const Deadline& d, const std::string& u) : easy(e), deadline(d), url(u) {}
  CURL* easy;
  const Deadline& deadline;
  const std::string& url;
  Clock::time_point headBy = Clock::time_point::max();  // set once the request is sent
  size_t headBytes = 0;
  bool headDone = false;
  bool interim = false;  // the head being read is a 1xx one; another follows
  BodyReader body;
  std::optional<std::string> failure;

  void refuse(std::string why) {
    if (!failure) failure = std::move(why);
  }
};

// Each line of the status line and headers, trailers excepted.
size_t onHeader(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  size_t n = size * count;
  if (t.headDone) return n;  // curl's copy of the trailers, which the body reader bounds
  if ((t.headBytes += n) > kMaxHeadBytes) {
    t.refuse("the response header is too large");
    return 0;
  }
  std::string_view line(data, n);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.remove_suffix(1);
  if (startsWithIgnoringCase(line, "HTTP/")) {
    size_t sp = line.find(' ');
    t.interim = sp != npos && sp + 1 < line.size() && line[sp + 1] == '1';
  } else if (line.empty()) {
    // The end of a head; after a 1xx one the real answer comes.
    if (!t.interim) t.headDone = true;
  } else if (startsWithIgnoringCase(line, "Transfer-Encoding:")) {
    // Nothing but chunked was asked for (no Accept-Encoding, no TE).
    std::string_view codings = line.substr(18);
    while (!codings.empty()) {
      size_t comma = codings.find(',');
      std::string_view coding = trimBlanks(codings.substr(0, comma));
      codings = comma == npos ? std::string_view() : codings.substr(comma + 1);
      if (coding.empty() || equalsFoldingAscii(coding, "identity")) continue;
      if (!equalsFoldingAscii(coding, "chunked")) {
        t.refuse("the response uses an unknown transfer coding");
        return 0;
      }
      t.body.startChunked();
    }
  }
  return n;
}

size_t onBody(char* data, size_t size, size_t count, void* user) {
  auto& t = *static_cast<Transfer*>(user);
  try {
    t.body.feed(std::string_view(data, size * count));
  } catch (const Error& e) {
    t.refuse(e.what());
    return 0;
  }
  return size * count;
}

// Called on every turn of the transfer loop (at least once a slice): the
// deadline, a closing window and the header's own time limit end it here.
int onProgress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  auto& t = *static_cast<Transfer*>(user);
  if (t.deadline.cancelled()) {
    t.refuse("the request to " + t.url + " was cancelled");
    return 1;
  }
  auto now = Clock::now();
  if (now >= t.deadline.at()) {
    t.refuse("no complete answer from " + t.url + " in time");
    return 1;
  }
  if (t.headBy == Clock::time_point::max()) {
    // The head gets half the time left once the request is on its way, so
    // a server dribbling header bytes cannot hold the check to its very end.
    curl_off_t sent = 0;
    if (curl_easy_getinfo(t.easy, CURLINFO_PRETRANSFER_TIME_T, &sent) == CURLE_OK && sent > 0) {
      t.headBy = now + (t.deadline.at() - now) / 2;
    }
  } else if (!t.headDone && now >= t.headBy) {
    t.refuse("no complete header from " + t.url + " in time");
    return 1;
  }
  return 0;
}

void startCurl() {
  // Once per process, before the first handle; thread-safe in C++.
  static const CURLcode started = curl_global_init(CURL_GLOBAL_DEFAULT);
  if (started != CURLE_OK) throw Error(std::string("cannot start libcurl: ") + curl_easy_strerror(started));
}

struct EasyHandle {
  CURL* easy = curl_easy_init();
  CURLM* multi = curl_multi_init();
  curl_slist* headers = nullptr;
  bool added = false;
  EasyHandle() = default;
  EasyHandle(const EasyHandle&) = delete;
  EasyHandle& operator=(const EasyHandle&) = delete;
  ~EasyHandle() {
    if (added) curl_multi_remove_handle(multi, easy);
    if (easy != nullptr) curl_easy_cleanup(easy);
    if (multi != nullptr) curl_multi_cleanup(multi);
    curl_slist_free_all(headers);
  }
};

template <typename T>
void set(CURL* easy, CURLoption option, T value) {
  if (curl_easy_setopt(easy, option, value) != CURLE_OK) throw Error("libcurl refuses an option of the update check");
}

}  // namespace

HttpUrl parseHttpUrl(const std::string& url) {
  constexpr std::string_view scheme = "http://";
  if (url.size() < scheme.size() ||
      !equalsFoldingAscii(std::string_view(url).substr(0, scheme.size()), scheme)) {
    throw Error("not an http:// address: " + url);
  }
  std::string_view rest = std::string_view(url).substr(scheme.size());
  size_t slash = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, slash);
  HttpUrl u;
  u.target = slash == npos ? "/" : std::string(rest.substr(slash));
  if (u.target.front() != '/') u.target.insert(0, "/");
  if (size_t hash = u.target.find('#'); hash != std::string::npos) u.target.resize(hash);
  if (authority.find('@') != npos) throw Error("user names are not supported in " + url);
  std::string_view portText;
  if (!authority.empty() && authority.front() == '[') {
    size_t close = authority.find(']');
    if (close == npos) throw Error("malformed host in " + url);
    u.host = std::string(authority.substr(1, close - 1));
    std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') throw Error("malformed host in " + url);
      portText = after.substr(1);
    }
  } else {
    size_t colon = authority.find(':');
    u.host = std::string(authority.substr(0, colon));
    if (colon != npos) portText = authority.substr(colon + 1);
  }
  if (u.host.empty()) throw Error("no host in " + url);
  if (!portText.empty()) {
    auto port = parseInteger(portText);
    if (!port || *port < 1 || *port > 65535) throw Error("bad port in " + url);
    u.port = *port;
  }
  for (char c : u.target) {
    // A request line must stay one line.
    if (static_cast<unsigned char>(c) <= ' ') throw Error("blanks or control characters in " + url);
  }
  return u;
}

HttpResult CurlHttpGetter::get(const std::string& url, const Headers& headers, const Deadline& deadline) {
  checkTime(deadline, url);
  HttpUrl u = parseHttpUrl(url);
  // curl is given the address as read here, so both agree on what is asked.
  std::string address = "http://" + (u.host.find(':') != std::string::npos ? "[" + u.host + "]" : u.host) +
                        ":" + std::to_string(u.port) + u.target;
  startCurl();
  EasyHandle h;
  if (h.easy == nullptr || h.multi == nullptr) throw Error("libcurl cannot start a transfer");
  Transfer t(h.easy, deadline, url);

  bool accept = false;
  for (const auto& [name, value] : headers) {
    accept = accept || equalsFoldingAscii(name, "Accept");
    std::string line = name + ": " + value;
    curl_slist* more = curl_slist_append(h.headers, line.c_str());
    if (more == nullptr) throw Error("out of memory for the request to " + url);
    h.headers = more;
  }
  // "Accept:" with no value removes the one curl adds on its own.
  if (!accept) {
    curl_slist* more = curl_slist_append(h.headers, "Accept:");
    if (more == nullptr) throw Error("out of memory for the request to " + url);
    h.headers = more;
  }
  char why[CURL_ERROR_SIZE] = {};
  set(h.easy, CURLOPT_ERRORBUFFER, why);
  set(h.easy, CURLOPT_URL, address.c_str());
  set(h.easy, CURLOPT_PROTOCOLS_STR, "http");
  set(h.easy, CURLOPT_REDIR_PROTOCOLS_STR, "http");
  set(h.easy, CURLOPT_FOLLOWLOCATION, 0L);
  set(h.easy, CURLOPT_MAXREDIRS, 0L);
  // An empty proxy is no proxy, whatever http_proxy and the like say; an
  // address from the environment would choose who answers.
  set(h.easy, CURLOPT_PROXY, "");
  set(h.easy, CURLOPT_NOPROXY, "*");
  set(h.easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  set(h.easy, CURLOPT_PATH_AS_IS, 1L);
  set(h.easy, CURLOPT_HTTPHEADER, h.headers);
  set(h.easy, CURLOPT_HTTP_CONTENT_DECODING, 0L);
  set(h.easy, CURLOPT_HTTP_TRANSFER_DECODING, 0L);
  // A Content-Length above the limit is refused before any of the body.
  set(h.easy, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(kMaxBodyBytes));
  set(h.easy, CURLOPT_FORBID_REUSE, 1L);
  set(h.easy, CURLOPT_FRESH_CONNECT, 1L);
  set(h.easy, CURLOPT_NOSIGNAL, 1L);
  // A name lookup still running when the check ends is left to finish on
  // its own thread instead of being waited for.
  set(h.easy, CURLOPT_QUICK_EXIT, 1L);
  set(h.easy, CURLOPT_HEADERFUNCTION, onHeader);
  set(h.easy, CURLOPT_HEADERDATA, &t);
  set(h.easy, CURLOPT_WRITEFUNCTION, onBody);
  set(h.easy, CURLOPT_WRITEDATA, &t);
  set(h.easy, CURLOPT_XFERINFOFUNCTION, onProgress);
  set(h.easy, CURLOPT_XFERINFODATA, &t);
  set(h.easy, CURLOPT_NOPROGRESS, 0L);

  if (curl_multi_add_handle(h.multi, h.easy) != CURLM_OK) throw Error("libcurl cannot start a transfer");
  h.added = true;
  // curl_easy_perform would wait up to a second between calls of the
  // progress callback; here no wait is longer than a slice.
  CURLcode code = CURLE_OK;
  for (;;) {
    int running = 0;
    CURLMcode m = curl_multi_perform(h.multi, &running);
    if (m != CURLM_OK) throw Error(std::string("libcurl failed: ") + curl_multi_strerror(m));
    if (running == 0) {
      int left = 0;
      CURLMsg* msg = curl_multi_info_read(h.multi, &left);
      code = msg != nullptr && msg->msg == CURLMSG_DONE ? msg->data.result : CURLE_RECV_ERROR;
      break;
    }
    // Also a lookup, which may not call the progress callback, ends here.
    if (t.failure) break;
    checkTime(deadline, url);
    int slice = std::max(1, deadline.sliceBefore(Clock::time_point::max()));
    m = curl_multi_poll(h.multi, nullptr, 0, slice, nullptr);
    if (m != CURLM_OK) throw Error(std::string("libcurl failed: ") + curl_multi_strerror(m));
  }
  if (t.failure) {
    std::string what = *t.failure;
    throw Error(what.find(url) == std::string::npos ? what + " (" + url + ")" : what);
  }
  if (code != CURLE_OK) {
    throw Error("no complete answer from " + url + ": " + (why[0] != 0 ? why : curl_easy_strerror(code)));
  }
  if (!t.body.complete()) throw Error("the response body is cut short (" + url + ")");
  long status = 0;
  curl_easy_getinfo(h.easy, CURLINFO_RESPONSE_CODE, &status);
  if (status < 100 || status > 999) throw Error("the HTTP status line is malformed (" + url + ")");
  HttpResult result;
  result.status = static_cast<int>(status);
  result.body = std::move(t.body.body());
  return result;
}

}  // namespace tamberlo::update
