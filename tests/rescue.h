#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace ccp::test {

// Ends a wait that the call under test must never make: unless the rescue is gone before
// `limit`, `release` runs then (writes to the pipe the call reads, opens the FIFO it opens), so
// a call that blocks returns and the test fails with its own message within seconds instead of
// hanging until CTest's timeout.
class Rescue {
 public:
  Rescue(std::chrono::milliseconds limit, std::function<void()> release)
      : thread_([this, limit, release = std::move(release)] {
          std::unique_lock lock(mutex_);
          if (!over_.wait_for(lock, limit, [this] { return done_; })) release();
        }) {}
  ~Rescue() {
    {
      std::lock_guard lock(mutex_);
      done_ = true;
    }
    over_.notify_one();
    thread_.join();
  }

 private:
  std::mutex mutex_;
  std::condition_variable over_;
  bool done_ = false;
  std::thread thread_;
};

}  // namespace ccp::test
