#pragma once

#include <cstdint>
#include <functional>

#include "link/time_source.h"

namespace ccp {

// The real clock, on std::chrono::steady_clock. Every wait lasts at least the time asked.
// Short waits spin; a wait of a millisecond or more sleeps the thread through most of its
// length and spins only the last stretch, so a transfer of several seconds does not hold a
// core busy. The stretch adapts to how late the thread has been waking up.
class SteadyClock : public DeadlineClock {
 public:
  // Called now and then during long waits (a window repaints itself there). It only adds time:
  // a wait still ends no earlier than asked.
  using IdleHook = std::function<void()>;

  void waitUs(unsigned us) override;
  void waitMs(unsigned ms) override;
  void sleepMs(unsigned ms) override;
  void waitUntilNs(std::uint64_t instantNs) override;
  std::uint64_t nowNs() const override;

  void setIdleHook(IdleHook hook) { idleHook_ = std::move(hook); }

 private:
  void sleepThenSpin(std::uint64_t deadlineNs);
  void spinUntil(std::uint64_t deadlineNs) const;
  void learnLateness(std::uint64_t latenessNs);

  IdleHook idleHook_;
  std::uint64_t spinMarginNs_ = 1'000'000;
};

}  // namespace ccp
