#pragma once

// The tests' PostgreSQL server reached through a relay that the test controls, so that a test
// can take the server away from a station as it goes away in reality: the station's connection
// is cut under it, and new connections are refused (a stopped server) or let through again (a
// restarted one). The shared test server itself is never touched.

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace ccp::test {

class ServerRelay {
 public:
  // Relays to the server that the libpq URL names.
  explicit ServerRelay(const std::string& url) {
    PQconninfoOption* options = PQconninfoParse(url.c_str(), nullptr);
    for (PQconninfoOption* o = options; o != nullptr && o->keyword != nullptr; ++o) {
      const std::string keyword = o->keyword;
      if (keyword == "host" && o->val != nullptr) host_ = o->val;
      if (keyword == "port" && o->val != nullptr) port_ = o->val;
    }
    PQconninfoFree(options);
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), size), 0);
    EXPECT_EQ(::listen(listener_, 16), 0);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    relayPort_ = ntohs(address.sin_port);
    EXPECT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, control_), 0);
    thread_ = std::thread([this] { relay(); });
  }
  ~ServerRelay() {
    command('q');
    thread_.join();
    ::close(control_[0]);
    ::close(control_[1]);
  }
  ServerRelay(const ServerRelay&) = delete;
  ServerRelay& operator=(const ServerRelay&) = delete;

  // `url`, with the host and port of the relay in place of the server's.
  std::string through(const std::string& url) const {
    return url + (url.find('?') == std::string::npos ? "?" : "&") +
           "host=127.0.0.1&port=" + std::to_string(relayPort_);
  }
  // The server restarts: every connection is cut; new ones come through.
  void restart() { command('r'); }
  // The server stops: every connection is cut; new ones are refused.
  void stop() { command('s'); }

 private:
  // Tells the relay's thread, and returns once it has done it.
  void command(char what) {
    (void)!::write(control_[0], &what, 1);
    (void)!::read(control_[0], &what, 1);
  }

  int connectToServer() const {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host_.c_str(), port_.c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
      fd = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
      if (fd >= 0 && ::connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
        ::close(fd);
        fd = -1;
      }
    }
    ::freeaddrinfo(found);
    return fd;
  }

  void cutAll() {
    for (const auto& [station, server] : links_) ::close(station), ::close(server);
    links_.clear();
  }

  // Passes what one end sent to the other; false when either end is gone.
  static bool pass(int from, int to) {
    char buffer[16384];
    const ssize_t got = ::recv(from, buffer, sizeof buffer, 0);
    return got > 0 && ::send(to, buffer, static_cast<std::size_t>(got), MSG_NOSIGNAL) == got;
  }

  void relay() {
    for (;;) {
      std::vector<pollfd> fds = {{control_[1], POLLIN, 0}, {listener_, POLLIN, 0}};
      for (const auto& [station, server] : links_) {
        fds.push_back({station, POLLIN, 0});
        fds.push_back({server, POLLIN, 0});
      }
      if (::poll(fds.data(), fds.size(), -1) < 0) continue;
      if (fds[0].revents != 0) {
        char what = 0;
        (void)!::read(control_[1], &what, 1);
        cutAll();
        if (what != 'r' && listener_ >= 0) {
          ::close(listener_);
          listener_ = -1;  // nothing listens: a new connection is refused
        }
        (void)!::write(control_[1], &what, 1);
        if (what == 'q') return;
        continue;
      }
      std::vector<std::pair<int, int>> open;
      for (std::size_t i = 0; i < links_.size(); ++i) {
        const auto [station, server] = links_[i];
        if ((fds[2 + 2 * i].revents == 0 || pass(station, server)) &&
            (fds[3 + 2 * i].revents == 0 || pass(server, station))) {
          open.push_back(links_[i]);
        } else {
          ::close(station), ::close(server);
        }
      }
      links_ = std::move(open);
      if (fds[1].revents != 0) {
        const int station = ::accept(listener_, nullptr, nullptr);
        const int server = connectToServer();
        if (server >= 0) {
          links_.emplace_back(station, server);
        } else {
          ::close(station);
        }
      }
    }
  }

  std::string host_ = "localhost";
  std::string port_ = "5432";
  int listener_ = -1;
  int relayPort_ = 0;
  int control_[2] = {-1, -1};
  std::vector<std::pair<int, int>> links_;
  std::thread thread_;
};

}  // namespace ccp::test
