#include "ports/call_watch.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace ccp {

namespace {

using Clock = std::chrono::steady_clock;

// The call a stop cuts: the socket it waits on, and whether the stop came.
struct StoppableCall {
  std::atomic<int> fd{-1};
  std::atomic<bool> stopped{false};
};

std::atomic<StoppableCall*> stoppable{nullptr};
static_assert(std::atomic<StoppableCall*>::is_always_lock_free &&
              std::atomic<int>::is_always_lock_free && std::atomic<bool>::is_always_lock_free);

// When the server last sent something on the socket, as TCP keeps it, but never before the
// call began; a socket that is not TCP's counts from the call's beginning.
Clock::time_point silentSince(int fd, Clock::time_point begun) {
  tcp_info info{};
  socklen_t size = sizeof info;
  if (::getsockopt(fd, IPPROTO_TCP, TCP_INFO, &info, &size) != 0) return begun;
  return std::max(begun, Clock::now() - std::chrono::milliseconds(info.tcpi_last_data_recv));
}

}  // namespace

// The thread that cuts a silent call, with what it shares with the calls.
struct CallWatch::Watcher {
  std::mutex mutex;
  std::condition_variable changed;
  bool watching = false;  // a call is under way
  int fd = -1;            // its socket, once there is one
  Clock::time_point begun;
  bool silent = false;  // the call under watch, or the last one, was cut for its silence
  bool idle = false;    // the thread waits for a call, with no deadline to wake it
  bool quit = false;
  StoppableCall call;
  bool stoppable = false;  // the call is the one a stop cuts
  pid_t owner = ::getpid();
  std::thread thread;

  void watch(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex);
    while (!quit) {
      if (!watching || fd < 0 || silent) {
        idle = true;
        changed.wait(lock);
        idle = false;
        continue;
      }
      const Clock::time_point deadline = silentSince(fd, begun) + timeout;
      if (Clock::now() < deadline) {
        changed.wait_until(lock, deadline);  // a later call's deadline is later still
        continue;
      }
      ::shutdown(fd, SHUT_RDWR);
      silent = true;
    }
  }
};

CallWatch::CallWatch(std::chrono::milliseconds answerTimeout) : answerTimeout_(answerTimeout) {}

CallWatch::~CallWatch() {
  if (!watcher_) return;
  if (watcher_->owner != ::getpid()) {
    (void)watcher_.release();  // a forked copy: its thread is the parent's, not ours to join
    return;
  }
  {
    const std::lock_guard lock(watcher_->mutex);
    watcher_->quit = true;
  }
  watcher_->changed.notify_one();
  watcher_->thread.join();
}

void CallWatch::begin(int fd) {
  if (watcher_ && watcher_->owner != ::getpid()) (void)watcher_.release();  // see ~CallWatch
  if (!watcher_) {
    watcher_ = std::make_unique<Watcher>();
    // The signals go to the threads that make the calls, which a stop is meant to reach.
    sigset_t all, previous;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &previous);
    watcher_->thread = std::thread([w = watcher_.get(), t = answerTimeout_] { w->watch(t); });
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
  }
  Watcher& w = *watcher_;
  bool wake = false;
  {
    const std::lock_guard lock(w.mutex);
    w.watching = true;
    w.fd = fd;
    w.begun = Clock::now();
    w.silent = false;
    w.call.fd.store(fd);
    w.call.stopped.store(false);
    StoppableCall* none = nullptr;
    w.stoppable = stoppable.compare_exchange_strong(none, &w.call);
    wake = w.idle;
  }
  if (wake) w.changed.notify_one();
}

void CallWatch::moveTo(int fd) {
  if (!watcher_) return;
  Watcher& w = *watcher_;
  bool wake = false;
  {
    const std::lock_guard lock(w.mutex);
    w.fd = fd;
    w.call.fd.store(fd);
    if (w.call.stopped.load()) ::shutdown(fd, SHUT_RDWR);
    wake = w.idle;
  }
  if (wake) w.changed.notify_one();
}

void CallWatch::end() {
  if (!watcher_) return;
  Watcher& w = *watcher_;
  const std::lock_guard lock(w.mutex);
  w.watching = false;
  w.fd = -1;
  if (w.stoppable) {
    StoppableCall* mine = &w.call;
    stoppable.compare_exchange_strong(mine, nullptr);
    w.stoppable = false;
  }
}

CallCut CallWatch::cut() const {
  if (!watcher_) return CallCut::No;
  const std::lock_guard lock(watcher_->mutex);
  if (watcher_->call.stopped.load()) return CallCut::Stopped;
  return watcher_->silent ? CallCut::Silent : CallCut::No;
}

void stopRegisterCallNow() noexcept {
  StoppableCall* call = stoppable.load();
  if (call == nullptr) return;
  call->stopped.store(true);
  const int fd = call->fd.load();
  if (fd >= 0) ::shutdown(fd, SHUT_RDWR);
}

}  // namespace ccp
