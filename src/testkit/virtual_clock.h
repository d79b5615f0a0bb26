#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "ports/time_source.h"

namespace ccp::testkit {

// A clock whose waits take no real time: each one moves the virtual time on by exactly the
// time asked. It records the total and every millisecond wait and sleep.
class VirtualClock : public DeadlineClock {
 public:
  void waitUs(unsigned us) override;
  void waitMs(unsigned ms) override;
  void sleepMs(unsigned ms) override;
  void waitUntilNs(std::uint64_t instantNs) override;
  std::uint64_t nowNs() const override { return nowNs_; }

  // Moves the time on without counting it as a wait.
  void advanceNs(std::uint64_t ns) { nowNs_ += ns; }
  // Runs `action` once, at the first wait that reaches the instant: something that happens at
  // a chosen point of a command.
  void at(std::uint64_t instantNs, std::function<void()> action) {
    alarmNs_ = instantNs;
    alarm_ = std::move(action);
  }

  std::uint64_t totalWaitedNs() const { return waitedNs_; }
  const std::vector<unsigned>& sleeps() const { return sleeps_; }    // sleepMs calls
  const std::vector<unsigned>& busyWaits() const { return waits_; }  // waitMs calls
  std::uint64_t shortWaitCount() const { return shortWaits_; }       // waitUs and waitUntilNs

 private:
  void pass(std::uint64_t ns);

  std::uint64_t nowNs_ = 0;
  std::uint64_t waitedNs_ = 0;
  std::uint64_t shortWaits_ = 0;
  std::uint64_t alarmNs_ = 0;
  std::function<void()> alarm_;
  std::vector<unsigned> sleeps_;
  std::vector<unsigned> waits_;
};

}  // namespace ccp::testkit
