#pragma once

#include <pthread.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace ccp {

// Ends a blocking system call of the constructing thread that outlasts a limit: from then on a
// watchdog signals the thread, again each limit, until the guard goes out of scope, and an
// interruptible wait in the kernel returns EINTR. The signal (SIGRTMIN + 5) gets a handler
// that does nothing, installed without SA_RESTART the first time a guard is made.
class CallDeadline {
 public:
  explicit CallDeadline(std::chrono::milliseconds limit);
  ~CallDeadline();
  CallDeadline(const CallDeadline&) = delete;
  CallDeadline& operator=(const CallDeadline&) = delete;

 private:
  void watch(std::chrono::milliseconds limit);

  pthread_t target_;
  std::mutex mutex_;
  std::condition_variable disarmed_;
  bool armed_ = true;
  std::thread watchdog_;
};

}  // namespace ccp
