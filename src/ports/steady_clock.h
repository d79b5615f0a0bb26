#pragma once

#include <cstdint>
#include <functional>

#include "ports/realtime_priority.h"
#include "ports/time_source.h"

namespace ccp {

// The real clock, on std::chrono::steady_clock. Every wait lasts at least the time asked.
// Short waits spin; a wait of a millisecond or more sleeps the thread through most of its
// length and spins only the last stretch, so a transfer of several seconds does not hold a
// core busy. The stretch adapts to how late the thread has been waking up. Each transfer runs
// at real-time priority where the system or RealtimeKit allows it, so other busy programs do
// not make the thread wake late or lose the processor mid-step. At real-time priority under
// RLIMIT_RTTIME the waits sleep a moment whenever the thread has run a quarter of the limit
// without blocking, so the kernel never ends it for running too long.
class SteadyClock : public DeadlineClock {
 public:
  explicit SteadyClock(SchedulingCalls& scheduling = systemSchedulingCalls(),
                       RealtimeKit* kit = nullptr)
      : priority_(scheduling, kit) {}

  // Called now and then during long waits (a window repaints itself there). It only adds time:
  // a wait still ends no earlier than asked.
  using IdleHook = std::function<void()>;

  void waitUs(unsigned us) override;
  void waitMs(unsigned ms) override;
  void sleepMs(unsigned ms) override;
  void waitUntilNs(std::uint64_t instantNs) override;
  std::uint64_t nowNs() const override;
  void transferBegins() override;
  void transferEnds() override;
  void commandBegins() override { priority_.holdBegins(); }
  void commandEnds() override;

  void setIdleHook(IdleHook hook) { idleHook_ = std::move(hook); }
  const RealtimePriority& realtimePriority() const { return priority_; }

 private:
  void sleepThenSpin(std::uint64_t deadlineNs);
  void spinUntil(std::uint64_t deadlineNs) const;
  void learnLateness(std::uint64_t latenessNs);
  void sleepNs(std::uint64_t ns);
  void restIfDue();
  void learnRunBudget();

  IdleHook idleHook_;
  RealtimePriority priority_;
  std::uint64_t spinMarginNs_ = 1'000'000;
  std::uint64_t runBudgetNs_ = 0;  // 0: the thread may run as long as it likes
  std::uint64_t lastBlockNs_ = 0;  // when the thread last woke from a real sleep
};

}  // namespace ccp
