#pragma once

// Every call to the register's server ends, whatever the server does. libpq's timeouts and
// TCP's notice a server that is gone (a pulled cable, a machine turned off), but one whose
// processes froze (stopped, or its machine hung with its network still up) goes on
// acknowledging TCP from its kernel, and a call would wait for it for ever. So each call is
// watched: it is cut when the server has sent nothing for the answer timeout while the call
// waited, or at once when the process is asked to stop (stopRegisterCallNow(), from a signal
// handler). Cutting shuts the connection's socket down, so that libpq's blocked call returns
// with the connection lost. A server that keeps answering (a long import, a schema move) is
// never cut: each of its statements is bounded by the server's own statement timeout.

#include <chrono>
#include <memory>

namespace ccp {

enum class CallCut {
  No,
  Silent,   // the server sent nothing for the whole answer timeout
  Stopped,  // the process was asked to stop
};

class CallWatch {
 public:
  explicit CallWatch(std::chrono::milliseconds answerTimeout);
  ~CallWatch();
  CallWatch(const CallWatch&) = delete;
  CallWatch& operator=(const CallWatch&) = delete;

  std::chrono::milliseconds answerTimeout() const { return answerTimeout_; }

  // Watches the call about to run on the connection's socket `fd` (-1: none is open yet), until
  // end().
  void begin(int fd);
  // The call under watch goes on with a new connection, on socket `fd`. One stopped meanwhile
  // is cut there at once.
  void moveTo(int fd);
  void end();
  // Whether the call under watch, or else the last one, was cut, and why.
  CallCut cut() const;

 private:
  struct Watcher;

  std::chrono::milliseconds answerTimeout_;
  std::unique_ptr<Watcher> watcher_;  // started by the first call
};

// Cuts the call under watch, if there is one, as a stop asks: async-signal-safe. Of calls made
// at once by several threads, the first to begin is the one cut.
void stopRegisterCallNow() noexcept;

}  // namespace ccp
