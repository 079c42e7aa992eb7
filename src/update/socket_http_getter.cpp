#include "update/socket_http_getter.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "platform/error.h"
#include "platform/text.h"

namespace tamberlo::update {

namespace {

using Clock = std::chrono::steady_clock;

// Room for the status line and headers on top of the body limit.
constexpr size_t kMaxHeaderBytes = 64u << 10;

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

class Socket {
 public:
  explicit Socket(int fd) : fd_(fd) {}
  ~Socket() {
    if (fd_ >= 0) ::close(fd_);
  }
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  int fd() const { return fd_; }

 private:
  int fd_;
};

int millisecondsLeft(Clock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

// Waits for `events` on the socket until the deadline; Error on time-out.
void waitFor(int fd, short events, Clock::time_point deadline, const std::string& url) {
  for (;;) {
    pollfd p{fd, events, 0};
    int n = ::poll(&p, 1, millisecondsLeft(deadline));
    if (n > 0) return;
    if (n == 0) throw Error("no answer from " + forMessage(url, 240) + " in time");
    if (errno != EINTR) throw Error("cannot wait for " + forMessage(url, 240) + ": " + std::strerror(errno));
  }
}

// A non-blocking socket connected to one of the host's addresses.
int connectTo(const HttpUrl& u, Clock::time_point deadline, const std::string& url) {
  addrinfo hints{};
  hints.ai_family = AF_UNSPEC;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  std::string port = std::to_string(u.port);
  int rc = ::getaddrinfo(u.host.c_str(), port.c_str(), &hints, &found);
  if (rc != 0) throw Error("cannot find the host of " + forMessage(url, 240) + ": " + ::gai_strerror(rc));
  std::string why = "no address";
  int connected = -1;
  for (addrinfo* a = found; a != nullptr && connected < 0; a = a->ai_next) {
    int fd = ::socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
    if (fd < 0) {
      why = std::strerror(errno);
      continue;
    }
    if (::connect(fd, a->ai_addr, a->ai_addrlen) == 0) {
      connected = fd;
      break;
    }
    if (errno == EINPROGRESS) {
      pollfd p{fd, POLLOUT, 0};
      int n;
      do {
        n = ::poll(&p, 1, millisecondsLeft(deadline));
      } while (n < 0 && errno == EINTR);
      int err = 0;
      socklen_t len = sizeof err;
      if (n > 0 && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &err, &len) == 0 && err == 0) {
        connected = fd;
        break;
      }
      why = n == 0 ? "no answer in time" : std::strerror(err != 0 ? err : errno);
    } else {
      why = std::strerror(errno);
    }
    ::close(fd);
  }
  ::freeaddrinfo(found);
  if (connected < 0) throw Error("cannot connect to " + forMessage(url, 240) + ": " + why);
  return connected;
}

void sendAll(int fd, std::string_view data, Clock::time_point deadline, const std::string& url) {
  while (!data.empty()) {
    ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (n > 0) {
      data.remove_prefix(static_cast<size_t>(n));
    } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
      waitFor(fd, POLLOUT, deadline, url);
    } else if (n < 0 && errno != EINTR) {
      throw Error("cannot send the request to " + forMessage(url, 240) + ": " + std::strerror(errno));
    }
  }
}

// The value of header `name` in the header block, if present.
std::optional<std::string_view> headerValue(std::string_view head, std::string_view name) {
  size_t pos = head.find("\r\n");
  while (pos != std::string_view::npos && pos + 2 < head.size()) {
    size_t start = pos + 2;
    size_t end = head.find("\r\n", start);
    std::string_view line = head.substr(start, end == std::string_view::npos ? end : end - start);
    size_t colon = line.find(':');
    if (colon != std::string_view::npos && equalsIgnoringCase(trimBlanks(line.substr(0, colon)), name)) {
      return trimBlanks(line.substr(colon + 1));
    }
    pos = end;
  }
  return std::nullopt;
}

// The body length announced by Content-Length, unless the body is chunked.
std::optional<size_t> announcedLength(std::string_view head) {
  if (auto te = headerValue(head, "Transfer-Encoding"); te && !equalsIgnoringCase(*te, "identity")) {
    return std::nullopt;
  }
  auto cl = headerValue(head, "Content-Length");
  if (!cl) return std::nullopt;
  auto n = parseInteger(*cl);
  if (!n || *n < 0) return std::nullopt;
  return static_cast<size_t>(*n);
}

std::string decodeChunked(std::string_view data) {
  std::string body;
  for (;;) {
    size_t eol = data.find("\r\n");
    if (eol == std::string_view::npos) throw Error("a chunk of the response is cut short");
    std::string_view sizeText = data.substr(0, eol);
    sizeText = sizeText.substr(0, sizeText.find(';'));
    sizeText = trimBlanks(sizeText);
    if (sizeText.empty() || sizeText.size() > 8) throw Error("a chunk size of the response is malformed");
    size_t size = 0;
    for (char c : sizeText) {
      int digit = (c >= '0' && c <= '9')   ? c - '0'
                  : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                  : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                           : -1;
      if (digit < 0) throw Error("a chunk size of the response is malformed");
      size = size * 16 + static_cast<size_t>(digit);
    }
    data.remove_prefix(eol + 2);
    if (size == 0) return body;
    if (data.size() < size) throw Error("a chunk of the response is cut short");
    if (body.size() + size > kMaxBodyBytes) throw Error("the response is too large");
    body.append(data.substr(0, size));
    data.remove_prefix(size);
    if (data.substr(0, 2) == "\r\n") data.remove_prefix(2);
  }
}

}  // namespace

HttpUrl parseHttpUrl(const std::string& url) {
  constexpr std::string_view scheme = "http://";
  if (url.size() < scheme.size() ||
      !equalsIgnoringCase(std::string_view(url).substr(0, scheme.size()), scheme)) {
    throw Error("not an http:// address: " + forMessage(url, 240));
  }
  std::string_view rest = std::string_view(url).substr(scheme.size());
  size_t slash = rest.find_first_of("/?#");
  std::string_view authority = rest.substr(0, slash);
  HttpUrl u;
  u.target = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
  if (u.target.front() != '/') u.target.insert(0, "/");
  if (size_t hash = u.target.find('#'); hash != std::string::npos) u.target.resize(hash);
  if (authority.find('@') != std::string_view::npos) throw Error("user names are not supported in " + forMessage(url, 240));
  std::string_view portText;
  if (!authority.empty() && authority.front() == '[') {
    size_t close = authority.find(']');
    if (close == std::string_view::npos) throw Error("malformed host in " + forMessage(url, 240));
    u.host = std::string(authority.substr(1, close - 1));
    std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') throw Error("malformed host in " + forMessage(url, 240));
      portText = after.substr(1);
    }
  } else {
    size_t colon = authority.find(':');
    u.host = std::string(authority.substr(0, colon));
    if (colon != std::string_view::npos) portText = authority.substr(colon + 1);
  }
  if (u.host.empty()) throw Error("no host in " + forMessage(url, 240));
  if (!portText.empty()) {
    auto port = parseInteger(portText);
    if (!port || *port < 1 || *port > 65535) throw Error("bad port in " + forMessage(url, 240));
    u.port = *port;
  }
  return u;
}

HttpResult parseHttpResponse(const std::string& raw) {
  size_t headEnd = raw.find("\r\n\r\n");
  if (headEnd == std::string::npos) throw Error("the response has no complete header");
  std::string_view head = std::string_view(raw).substr(0, headEnd + 2);
  // "HTTP/1.1 200 OK"
  if (head.substr(0, 5) != "HTTP/") throw Error("the answer is not an HTTP response");
  size_t sp = head.find(' ');
  if (sp == std::string_view::npos || sp + 4 > head.size()) throw Error("the HTTP status line is malformed");
  auto status = parseInteger(head.substr(sp + 1, 3));
  if (!status || *status < 100) throw Error("the HTTP status line is malformed");
  HttpResult result;
  result.status = *status;
  std::string_view body = std::string_view(raw).substr(headEnd + 4);
  auto te = headerValue(head, "Transfer-Encoding");
  if (te && !equalsIgnoringCase(*te, "identity")) {
    result.body = decodeChunked(body);
  } else if (auto length = announcedLength(head)) {
    if (body.size() < *length) throw Error("the response body is cut short");
    result.body = std::string(body.substr(0, *length));
  } else {
    result.body = std::string(body);
  }
  if (result.body.size() > kMaxBodyBytes) throw Error("the response is too large");
  return result;
}

HttpResult SocketHttpGetter::get(const std::string& url, const Headers& headers) {
  auto deadline = Clock::now() + timeout_;
  HttpUrl u = parseHttpUrl(url);
  Socket sock(connectTo(u, deadline, url));

  std::string host = u.host.find(':') != std::string::npos ? "[" + u.host + "]" : u.host;
  if (u.port != 80) host += ":" + std::to_string(u.port);
  std::string request = "GET " + u.target + " HTTP/1.1\r\nHost: " + host + "\r\n";
  for (const auto& [name, value] : headers) request += name + ": " + value + "\r\n";
  request += "Connection: close\r\n\r\n";
  sendAll(sock.fd(), request, deadline, url);

  std::string raw;
  std::optional<size_t> complete;  // total size once the header tells it
  char buf[16384];
  for (;;) {
    if (complete && raw.size() >= *complete) break;
    ssize_t n = ::recv(sock.fd(), buf, sizeof buf, 0);
    if (n > 0) {
      raw.append(buf, static_cast<size_t>(n));
      // A server trickling bytes must not stretch the time-out.
      if (Clock::now() >= deadline) throw Error("no complete answer from " + forMessage(url, 240) + " in time");
      if (raw.size() > kMaxBodyBytes + kMaxHeaderBytes)
        throw Error("the response from " + forMessage(url, 240) + " is too large");
      if (!complete) {
        size_t headEnd = raw.find("\r\n\r\n");
        if (headEnd != std::string::npos) {
          if (auto length = announcedLength(std::string_view(raw).substr(0, headEnd + 2))) {
            if (*length > kMaxBodyBytes) throw Error("the response from " + forMessage(url, 240) + " is too large");
            complete = headEnd + 4 + *length;
          }
        } else if (raw.size() > kMaxHeaderBytes) {
          throw Error("the response header from " + forMessage(url, 240) + " is too large");
        }
      }
    } else if (n == 0) {
      break;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      waitFor(sock.fd(), POLLIN, deadline, url);
    } else if (errno != EINTR) {
      throw Error("cannot read the response from " + forMessage(url, 240) + ": " + std::strerror(errno));
    }
  }
  try {
    return parseHttpResponse(raw);
  } catch (const Error& e) {
    throw Error(std::string(e.what()) + " (" + forMessage(url, 240) + ")");
  }
}

}  // namespace tamberlo::update
