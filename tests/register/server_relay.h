#pragma once

// The tests' PostgreSQL server reached through a relay that the test controls, so that a test
// can take the server away from a station as it goes away in reality: the station's connection
// is cut under it, and new connections are refused (a stopped server) or let through again (a
// restarted one), or frozen as a server whose processes were stopped (SIGSTOP) or whose machine
// hung: its connections stay open and TCP is acknowledged, but nothing is answered. The shared
// test server itself is never touched. The relay is a process of its own: killing it cuts every
// connection it carries at once, stopping it freezes them all.

#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace ccp::test {

class ServerRelay {
 public:
  // Relays to the server that the libpq URL names.
  explicit ServerRelay(const std::string& url) {
    PQconninfoOption* options = PQconninfoParse(url.c_str(), nullptr);
    for (PQconninfoOption* o = options; o != nullptr && o->keyword != nullptr; ++o) {
      if (o->val != nullptr && std::string(o->keyword) == "host") serverHost_ = o->val;
      if (o->val != nullptr && std::string(o->keyword) == "port") serverPort_ = o->val;
    }
    PQconninfoFree(options);
    start();
  }
  ~ServerRelay() { stop(); }
  ServerRelay(const ServerRelay&) = delete;
  ServerRelay& operator=(const ServerRelay&) = delete;

  // `url`, with the relay's host and port in place of the server's.
  std::string through(const std::string& url) const {
    return url + (url.find('?') == std::string::npos ? "?" : "&") + "host=127.0.0.1&port=" + port_;
  }
  // The server restarts: every connection is cut; new ones come through.
  void restart() {
    end();
    start();
  }
  // The server stops: every connection is cut; nothing listens, so new ones are refused.
  void stop() {
    end();
    if (listener_ >= 0) ::close(listener_);
    listener_ = -1;
  }
  // The server starts again, where it was.
  void start() {
    if (listener_ < 0) listen();
    relay_ = ::fork();
    if (relay_ == 0) relay();
  }
  // The server freezes: what stations send is acknowledged and left unread, new connections
  // wait to be accepted. Any process may freeze it; it is frozen when this returns (a stop
  // signal takes effect when the relay is next scheduled).
  void freeze() const {
    if (relay_ <= 0) return;  // never -1: every process the test may signal
    ::kill(relay_, SIGSTOP);
    while (!frozen()) ::usleep(1000);
  }
  bool frozen() const {
    std::ifstream stat("/proc/" + std::to_string(relay_) + "/stat");  // pid (name) state ...
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const std::size_t name = text.rfind(')');
    return name != std::string::npos && text.compare(name, 3, ") T") == 0;
  }
  // Bytes or a connection of a station wait in the frozen relay: a call waits for its answer.
  bool waitedFor() const {
    std::ifstream table("/proc/net/tcp");  // sl local rem st tx_queue:rx_queue ...
    std::string line;
    std::getline(table, line);
    char port[5] = {};
    std::snprintf(port, sizeof port, "%04X", static_cast<unsigned>(std::stoi(port_)));
    while (std::getline(table, line)) {
      std::istringstream fields(line);
      std::string slot, local, remote, state, queues;
      fields >> slot >> local >> remote >> state >> queues;
      const bool relays = local.size() > 5 && local.substr(local.size() - 4) == port;
      if (relays && std::stoul(queues.substr(queues.find(':') + 1), nullptr, 16) > 0) return true;
    }
    return false;
  }

 private:
  // On the loopback, at the port of the relay, any free one at first.
  void listen() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    const int reuse = 1;  // the connections cut before may still linger on the port
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &reuse, sizeof reuse);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<std::uint16_t>(port_.empty() ? 0 : std::stoi(port_)));
    socklen_t size = sizeof address;
    EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), size), 0);
    EXPECT_EQ(::listen(listener_, 16), 0);
    ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = std::to_string(ntohs(address.sin_port));
  }
  void end() {
    if (relay_ <= 0) return;
    ::kill(relay_, SIGKILL);
    ::waitpid(relay_, nullptr, 0);
    relay_ = -1;
  }

  int connectToServer() const {
    addrinfo hints{};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(serverHost_.c_str(), serverPort_.c_str(), &hints, &found) != 0) return -1;
    int fd = -1;
    for (addrinfo* a = found; a != nullptr && fd < 0; a = a->ai_next) {
      fd = ::socket(a->ai_family, a->ai_socktype, a->ai_protocol);
      if (fd >= 0 && ::connect(fd, a->ai_addr, a->ai_addrlen) != 0) fd = (::close(fd), -1);
    }
    ::freeaddrinfo(found);
    return fd;
  }

  // Passes what one end sent to the other; false when either end is gone.
  static bool pass(int from, int to) {
    char buffer[16384];
    const ssize_t got = ::recv(from, buffer, sizeof buffer, 0);
    return got > 0 && ::send(to, buffer, static_cast<std::size_t>(got), MSG_NOSIGNAL) == got;
  }

  // The relay process, until it is killed: each connection accepted is joined to one of its own
  // to the server.
  [[noreturn]] void relay() {
    std::vector<std::pair<int, int>> links;  // the station's end, the server's end
    for (;;) {
      std::vector<pollfd> fds = {{listener_, POLLIN, 0}};
      for (const auto& [station, server] : links) {
        fds.push_back({station, POLLIN, 0});
        fds.push_back({server, POLLIN, 0});
      }
      if (::poll(fds.data(), fds.size(), -1) < 0) continue;
      std::vector<std::pair<int, int>> open;
      for (std::size_t i = 0; i < links.size(); ++i) {
        const auto [station, server] = links[i];
        if ((fds[1 + 2 * i].revents == 0 || pass(station, server)) &&
            (fds[2 + 2 * i].revents == 0 || pass(server, station))) {
          open.push_back(links[i]);
        } else {
          ::close(station), ::close(server);
        }
      }
      links = std::move(open);
      if (fds[0].revents != 0) {
        const int station = ::accept(listener_, nullptr, nullptr);
        const int server = connectToServer();
        if (server < 0) ::close(station);
        if (server >= 0) links.emplace_back(station, server);
      }
    }
  }

  std::string serverHost_ = "localhost";
  std::string serverPort_ = "5432";
  std::string port_;  // the relay's
  int listener_ = -1;
  pid_t relay_ = -1;
};

}  // namespace ccp::test
