// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A tiny HTTP server on 127.0.0.1 for the update tests: one thread, one
// connection at a time, an ephemeral port, fixed replies per path (404 for
// any other), and the request heads it saw. A "silent" reply reads the request
// and never answers, until the client gives up or the server stops; a
// "trickle" reply sends its bytes one by one, slowly.
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace tamberlo::test {

class TestHttpServer {
 public:
  struct Reply {
    int status = 200;
    std::string body;
    bool chunked = false;  // send the body in 1000-byte chunks
    bool silent = false;   // never answer
    bool trickle = false;  // answer one byte every 50 ms
    // Hostile replies (when `raw` or `repeat` is set): `raw`, then `repeat`
    // again and again until the client hangs up, then `end`.
    std::string raw{};
    std::string repeat{};
    int repeatPauseMs = 0;
    enum class End { Close, Reset, Hold } end = End::Close;
    bool hangUp = false;  // close at once, answering nothing
  };

  TestHttpServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (listener_ < 0) throw std::runtime_error("test server: no socket");
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        ::listen(listener_, 8) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
      ::close(listener_);
      throw std::runtime_error("test server: cannot listen");
    }
    port_ = ntohs(addr.sin_port);
    thread_ = std::thread([this] { loop(); });
  }

  ~TestHttpServer() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
  }

  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  void serve(const std::string& path, Reply reply) {
    std::lock_guard lock(mutex_);
    routes_[path] = std::move(reply);
  }

  int port() const { return port_; }
  std::string baseUrl() const { return "http://127.0.0.1:" + std::to_string(port_); }

  // Request heads (request line and headers), in arrival order.
  std::vector<std::string> requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
  }

  // Connections the server has finished with (the client hung up, or the
  // reply ended).
  int connectionsEnded() const { return ended_; }

  // A local port nobody listens on: bound once, then released.
  static int closedPort() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
    ::close(fd);
    return ntohs(addr.sin_port);
  }

 private:
  // Waits up to 20 ms for `fd`; false when nothing came.
  static bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 20) > 0;
  }

  void loop() {
    while (!stop_) {
      if (!readable(listener_)) continue;
      int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      // A client that stops reading must not wedge the server.
      timeval limit{10, 0};
      ::setsockopt(client, SOL_SOCKET, SO_SNDTIMEO, &limit, sizeof limit);
      handle(client);
      ::close(client);
      ++ended_;
    }
  }

  void handle(int client) {
    std::string head;
    // A client gets 10 s to send its request; tests never need that long.
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (head.find("\r\n\r\n") == std::string::npos) {
      if (stop_ || std::chrono::steady_clock::now() > giveUp) return;
      if (!readable(client)) continue;
      char buf[4096];
      ssize_t n = ::recv(client, buf, sizeof buf, 0);
      if (n <= 0) return;
      head.append(buf, static_cast<size_t>(n));
    }
    head.resize(head.find("\r\n\r\n"));
    std::string path = head.substr(0, head.find("\r\n"));
    size_t sp = path.find(' ');
    path = sp == std::string::npos ? "" : path.substr(sp + 1, path.rfind(' ') - sp - 1);
    Reply reply{404, "<html>not found</html>"};
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(head);
      if (auto it = routes_.find(path); it != routes_.end()) reply = it->second;
    }
    if (reply.hangUp) return;
    if (reply.silent) {
      holdUntilHungUp(client);
      return;
    }
    if (!reply.raw.empty() || !reply.repeat.empty()) {
      if (!sendAll(client, reply.raw)) return;
      while (!reply.repeat.empty() && !stop_) {
        if (!sendAll(client, reply.repeat)) return;
        if (reply.repeatPauseMs > 0)
          std::this_thread::sleep_for(std::chrono::milliseconds(reply.repeatPauseMs));
      }
      if (reply.end == Reply::End::Hold) holdUntilHungUp(client);
      if (reply.end == Reply::End::Reset) {
        linger reset{1, 0};  // close() then sends RST instead of FIN
        ::setsockopt(client, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
      }
      return;
    }
    std::string out = "HTTP/1.1 " + std::to_string(reply.status) + " X\r\nContent-Type: text/html\r\n";
    if (reply.chunked) {
      out += "Transfer-Encoding: chunked\r\nConnection: close\r\n\r\n";
      char size[16];
      for (size_t at = 0; at < reply.body.size(); at += 1000) {
        std::string part = reply.body.substr(at, 1000);
        std::snprintf(size, sizeof size, "%zx", part.size());
        out += std::string(size) + "\r\n" + part + "\r\n";
      }
      out += "0\r\n\r\n";
    } else {
      out += "Content-Length: " + std::to_string(reply.body.size()) + "\r\nConnection: close\r\n\r\n" +
             reply.body;
    }
    const char* p = out.data();
    size_t left = out.size();
    while (left > 0 && !stop_) {
      ssize_t n = ::send(client, p, reply.trickle ? 1 : left, MSG_NOSIGNAL);
      if (n <= 0) return;  // the client gave up (a refused huge body, a time-out)
      p += n;
      left -= static_cast<size_t>(n);
      if (reply.trickle) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  // False when the client hung up (or the test ends) first.
  bool sendAll(int client, const std::string& data) {
    size_t done = 0;
    while (done < data.size()) {
      if (stop_) return false;
      ssize_t n = ::send(client, data.data() + done, data.size() - done, MSG_NOSIGNAL);
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

  // Keeps the connection open until the client hangs up or the test ends.
  void holdUntilHungUp(int client) {
    char buf[256];
    while (!stop_) {
      if (readable(client) && ::recv(client, buf, sizeof buf, 0) <= 0) return;
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> ended_{0};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::map<std::string, Reply> routes_;
  std::vector<std::string> requests_;
};

}  // namespace tamberlo::test
