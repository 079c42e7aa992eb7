#include "update/socket_http_getter.h"

#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

#include "platform/error.h"
#include "platform/text.h"

namespace tamberlo::update {

namespace {

using Clock = Deadline::Clock;
constexpr size_t npos = std::string_view::npos;

// A chunk size line: hex digits and any extensions.
constexpr size_t kMaxChunkLineBytes = 1024;

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

bool allDigits(std::string_view s) {
  if (s.empty()) return false;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }
  int release() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

void checkTime(const Deadline& deadline, const std::string& url) {
  if (deadline.cancelled()) throw Error("the request to " + url + " was cancelled");
  if (Clock::now() >= deadline.at()) throw Error("no complete answer from " + url + " in time");
}

// Waits for `events` on the socket until `limit` (never past the deadline);
// Error saying `late` when that time comes first.
void waitFor(int fd, short events, const Deadline& deadline, Clock::time_point limit, const std::string& url,
             const char* late) {
  for (;;) {
    checkTime(deadline, url);
    int slice = deadline.sliceBefore(limit);
    if (slice == 0) throw Error(std::string(late) + " " + url + " in time");
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, slice);
    if (n > 0) return;
    if (n < 0 && errno != EINTR) throw Error("cannot wait for " + url + ": " + std::strerror(errno));
  }
}

struct Lookup {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  int rc = 0;
  addrinfo* found = nullptr;
  Lookup() = default;
  Lookup(const Lookup&) = delete;
  Lookup& operator=(const Lookup&) = delete;
  ~Lookup() {
    if (found != nullptr) ::freeaddrinfo(found);
  }
};

// The host's addresses. A name (not a numeric address) is looked up on a
// thread of its own: the system resolver cannot be interrupted, and neither
// the deadline nor a closing window may wait for it. An abandoned lookup
// ends on its own and frees what it found.
std::shared_ptr<Lookup> resolve(const HttpUrl& u, const Deadline& deadline, const std::string& url) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_NUMERICHOST;
  std::string port = std::to_string(u.port);
  auto lookup = std::make_shared<Lookup>();
  int rc = ::getaddrinfo(u.host.c_str(), port.c_str(), &hints, &lookup->found);
  if (rc == 0) return lookup;
  lookup->found = nullptr;
  if (rc != EAI_NONAME) throw Error("cannot find the host of " + url + ": " + ::gai_strerror(rc));
  hints.ai_flags = 0;
  std::thread([lookup, hints, host = u.host, port] {
    addrinfo* found = nullptr;
    int result = ::getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    std::lock_guard lock(lookup->mutex);
    lookup->rc = result;
    lookup->found = result == 0 ? found : nullptr;
    lookup->done = true;
    lookup->finished.notify_all();
  }).detach();
  std::unique_lock lock(lookup->mutex);
  while (!lookup->done) {
    checkTime(deadline, url);
    lookup->finished.wait_for(lock, Deadline::kSlice);
  }
  if (lookup->rc != 0) throw Error("cannot find the host of " + url + ": " + ::gai_strerror(lookup->rc));
  return lookup;
}

// A non-blocking socket connected to one of the addresses.
int connectTo(const addrinfo* addresses, const Deadline& deadline, const std::string& url) {
  std::string why = "no address";
  for (const addrinfo* a = addresses; a != nullptr; a = a->ai_next) {
    Socket sock(::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol));
    if (sock.fd() < 0) {
      why = std::strerror(errno);
      continue;
    }
    if (::connect(sock.fd(), a->ai_addr, a->ai_addrlen) == 0) return sock.release();
    if (errno != EINPROGRESS) {
      why = std::strerror(errno);
      continue;
    }
    waitFor(sock.fd(), POLLOUT, deadline, deadline.at(), url, "cannot connect to");
    int err = 0;
    socklen_t len = sizeof err;
    if (::getsockopt(sock.fd(), SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0) return sock.release();
    why = std::strerror(err != 0 ? err : errno);
  }
  throw Error("cannot connect to " + url + ": " + why);
}

void sendAll(int fd, std::string_view data, const Deadline& deadline, const std::string& url) {
  while (!data.empty()) {
    checkTime(deadline, url);
    ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (n > 0) {
      data.remove_prefix(static_cast<size_t>(n));
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      waitFor(fd, POLLOUT, deadline, deadline.at(), url, "cannot send the request to");
    } else if (n < 0 && errno != EINTR) {
      throw Error("cannot send the request to " + url + ": " + std::strerror(errno));
    }
  }
}

// The value of header `name` in the header block, if present.
std::optional<std::string_view> headerValue(std::string_view head, std::string_view name) {
  size_t pos = head.find("\r\n");
  while (pos != npos && pos + 2 < head.size()) {
    size_t start = pos + 2;
    size_t end = head.find("\r\n", start);
    std::string_view line = head.substr(start, end == npos ? end : end - start);
    size_t colon = line.find(':');
    if (colon != npos && equalsIgnoringCase(trimBlanks(line.substr(0, colon)), name)) {
      return trimBlanks(line.substr(colon + 1));
    }
    pos = end;
  }
  return std::nullopt;
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

// Takes a response as it arrives, piece by piece, and keeps no more than
// the limits allow: the head up to kMaxHeadBytes, the body up to
// kMaxBodyBytes. It knows when the response is complete.
class ResponseReader {
 public:
  void feed(std::string_view data) {
    while (!data.empty() && state_ != State::Done) {
      switch (state_) {
        case State::Head: takeHead(data); break;
        case State::Length:
        case State::ChunkData: {
          std::string_view part = data.substr(0, left_);
          append(part);
          data.remove_prefix(part.size());
          left_ -= part.size();
          if (left_ == 0) state_ = state_ == State::Length ? State::Done : State::ChunkEnd;
          break;
        }
        case State::UntilClose:
          append(data);
          data = {};
          break;
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

  bool headDone() const { return state_ != State::Head; }
  bool done() const { return state_ == State::Done; }
  const HttpResult& result() const { return result_; }

  // The server closed the connection in an orderly way.
  const HttpResult& finishAtClose() {
    if (state_ == State::Head) throw Error("the response has no complete header");
    if (state_ != State::Done && state_ != State::UntilClose) throw Error("the response body is cut short");
    state_ = State::Done;
    return result_;
  }

 private:
  enum class State { Head, Length, UntilClose, ChunkSize, ChunkData, ChunkEnd, Trailers, Done };

  void append(std::string_view data) {
    if (result_.body.size() + data.size() > kMaxBodyBytes) throw Error("the response is too large");
    result_.body.append(data);
  }

  void takeHead(std::string_view& data) {
    size_t before = head_.size();
    std::string_view part = data.substr(0, kMaxHeadBytes - before);
    head_.append(part);
    size_t end = head_.find("\r\n\r\n", before >= 3 ? before - 3 : 0);
    if (end == npos) {
      if (head_.size() >= kMaxHeadBytes) throw Error("the response header is too large");
      data.remove_prefix(part.size());
      return;
    }
    data.remove_prefix(end + 4 - before);
    head_.resize(end + 2);  // the last header line keeps its CR LF
    startBody();
    head_ = std::string();  // not needed any more
  }

  void startBody() {
    std::string_view head = head_;
    // "HTTP/1.1 200 OK"
    if (head.substr(0, 5) != "HTTP/") throw Error("the answer is not an HTTP response");
    size_t sp = head.find(' ');
    if (sp == npos || sp + 4 > head.size()) throw Error("the HTTP status line is malformed");
    std::string_view code = head.substr(sp + 1, 3);
    char after = head[sp + 4];
    if (!allDigits(code) || (after != ' ' && after != '\r')) throw Error("the HTTP status line is malformed");
    result_.status = *parseInteger(code);
    if (result_.status < 100) throw Error("the HTTP status line is malformed");

    auto coding = headerValue(head, "Transfer-Encoding");
    auto length = headerValue(head, "Content-Length");
    if (coding && !equalsIgnoringCase(*coding, "identity")) {
      // Nothing but chunked was asked for (no Accept-Encoding, no TE).
      if (!equalsIgnoringCase(*coding, "chunked"))
        throw Error("the response uses an unknown transfer coding");
      state_ = State::ChunkSize;
    } else if (result_.status < 200 || result_.status == 204 || result_.status == 304) {
      state_ = State::Done;  // these have no body
    } else if (length) {
      if (!allDigits(*length)) throw Error("the response's Content-Length is malformed");
      if (length->size() > 9 || *parseInteger(*length) > static_cast<int>(kMaxBodyBytes)) {
        throw Error("the response is too large");
      }
      left_ = static_cast<size_t>(*parseInteger(*length));
      state_ = left_ == 0 ? State::Done : State::Length;
    } else {
      state_ = State::UntilClose;
    }
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
    if (line_.size() < 2 || line_[line_.size() - 2] != '\r')
      throw Error("a chunk of the response is malformed");
    std::string_view text(line_.data(), line_.size() - 2);
    if (state_ == State::Trailers) {
      if (text.empty()) state_ = State::Done;
    } else if (size_t size = parseChunkSize(text); size == 0) {
      state_ = State::Trailers;
    } else {
      if (result_.body.size() + size > kMaxBodyBytes) throw Error("the response is too large");
      left_ = size;
      state_ = State::ChunkData;
    }
    line_.clear();
  }

  State state_ = State::Head;
  std::string head_;
  std::string line_;
  size_t left_ = 0;
  size_t trailerBytes_ = 0;
  HttpResult result_;
};

}  // namespace

HttpUrl parseHttpUrl(const std::string& url) {
  constexpr std::string_view scheme = "http://";
  if (url.size() < scheme.size() ||
      !equalsIgnoringCase(std::string_view(url).substr(0, scheme.size()), scheme)) {
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

HttpResult parseHttpResponse(const std::string& raw) {
  ResponseReader reader;
  reader.feed(raw);
  return reader.done() ? reader.result() : reader.finishAtClose();
}

HttpResult SocketHttpGetter::get(const std::string& url, const Headers& headers, const Deadline& deadline) {
  checkTime(deadline, url);
  HttpUrl u = parseHttpUrl(url);
  auto addresses = resolve(u, deadline, url);
  Socket sock(connectTo(addresses->found, deadline, url));

  std::string host = u.host.find(':') != std::string::npos ? "[" + u.host + "]" : u.host;
  if (u.port != 80) host += ":" + std::to_string(u.port);
  std::string request = "GET " + u.target + " HTTP/1.1\r\nHost: " + host + "\r\n";
  for (const auto& [name, value] : headers) request += name + ": " + value + "\r\n";
  request += "\r\n";
  sendAll(sock.fd(), request, deadline, url);

  // The head gets half the time left, so a server dribbling header bytes
  // cannot hold the check to its very end.
  auto now = Clock::now();
  const Clock::time_point headBy = now + (deadline.at() - now) / 2;
  ResponseReader reader;
  char buf[16384];
  try {
    while (!reader.done()) {
      checkTime(deadline, url);
      if (!reader.headDone() && Clock::now() >= headBy)
        throw Error("no complete header from " + url + " in time");
      ssize_t n = ::recv(sock.fd(), buf, sizeof buf, 0);
      if (n > 0) {
        reader.feed(std::string_view(buf, static_cast<size_t>(n)));
      } else if (n == 0) {
        return reader.finishAtClose();
      } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
        waitFor(sock.fd(), POLLIN, deadline, reader.headDone() ? deadline.at() : headBy, url,
                reader.headDone() ? "no complete answer from" : "no complete header from");
      } else if (errno != EINTR) {
        throw Error("cannot read the response from " + url + ": " + std::strerror(errno));
      }
    }
  } catch (const Error& e) {
    std::string what = e.what();
    if (what.find(url) == std::string::npos) throw Error(what + " (" + url + ")");
    throw;
  }
  return reader.result();
}

}  // namespace tamberlo::update
