#include "ports/steady_clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace ccp {

namespace {

constexpr std::uint64_t kNsPerUs = 1'000;
constexpr std::uint64_t kNsPerMs = 1'000'000;
constexpr std::uint64_t kSleepAtLeastNs = 1 * kNsPerMs;  // shorter waits only spin
constexpr std::uint64_t kMinSpinMarginNs = 150 * kNsPerUs;
constexpr std::uint64_t kMaxSpinMarginNs = 2 * kNsPerMs;
constexpr std::uint64_t kIdleSliceNs = 10 * kNsPerMs;  // idle hook at most this far apart
// Long enough that the thread surely leaves the processor, which resets the kernel's count of
// its real-time run; short beside the quarter of RLIMIT_RTTIME it comes after.
constexpr std::uint64_t kRestNs = 100 * kNsPerUs;

}  // namespace

std::uint64_t SteadyClock::nowNs() const {
  return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                        std::chrono::steady_clock::now().time_since_epoch())
                                        .count());
}

void SteadyClock::waitUs(unsigned us) {
  waitUntilNs(nowNs() + us * kNsPerUs);
}

void SteadyClock::waitMs(unsigned ms) {
  waitUntilNs(nowNs() + ms * kNsPerMs);
}

void SteadyClock::sleepMs(unsigned ms) {
  waitUntilNs(nowNs() + ms * kNsPerMs);
}

void SteadyClock::transferBegins() {
  priority_.raise();
  learnRunBudget();
  // The kernel may have counted some run before the raise: the first wait rests.
  lastBlockNs_ = 0;
}

void SteadyClock::transferEnds() {
  priority_.restore();
  learnRunBudget();
}

void SteadyClock::commandEnds() {
  priority_.holdEnds();
  learnRunBudget();
}

void SteadyClock::learnRunBudget() {
  const auto limitUs = priority_.realtime() ? priority_.runLimitUs() : std::nullopt;
  runBudgetNs_ = limitUs ? std::max<std::uint64_t>(*limitUs * kNsPerUs / 4, 1) : 0;
}

void SteadyClock::waitUntilNs(std::uint64_t instantNs) {
  restIfDue();
  const std::uint64_t now = nowNs();
  if (instantNs > now && instantNs - now >= kSleepAtLeastNs) sleepThenSpin(instantNs);
  spinUntil(instantNs);
}

void SteadyClock::spinUntil(std::uint64_t deadlineNs) const {
  while (nowNs() < deadlineNs) {
  }
}

void SteadyClock::sleepThenSpin(std::uint64_t deadlineNs) {
  for (;;) {
    std::uint64_t now = nowNs();
    if (now + spinMarginNs_ >= deadlineNs) return;
    // The hook runs only where a whole slice of sleep is left, so short waits stay short.
    if (idleHook_ && deadlineNs - spinMarginNs_ - now >= kIdleSliceNs) {
      idleHook_();
      now = nowNs();
      if (now + spinMarginNs_ >= deadlineNs) return;
    }
    std::uint64_t wakeNs = deadlineNs - spinMarginNs_;
    if (idleHook_) wakeNs = std::min(wakeNs, now + kIdleSliceNs);
    sleepNs(wakeNs - now);
    const std::uint64_t woke = nowNs();
    learnLateness(woke > wakeNs ? woke - wakeNs : 0);
    if (!idleHook_) return;
  }
}

void SteadyClock::sleepNs(std::uint64_t ns) {
  std::this_thread::sleep_for(std::chrono::nanoseconds(ns));
  if (ns >= kRestNs) lastBlockNs_ = nowNs();
}

// A real-time thread that spins through line steps for seconds (an EEPROM read) would outrun
// RLIMIT_RTTIME: it gets SIGXCPU at the soft limit and SIGKILL at the hard one.
void SteadyClock::restIfDue() {
  if (runBudgetNs_ != 0 && nowNs() - lastBlockNs_ >= runBudgetNs_) sleepNs(kRestNs);
}

// Keeps the spun stretch a little above the recent wake-up lateness: short enough to spare
// the processor, long enough that the sleep rarely overruns the deadline.
void SteadyClock::learnLateness(std::uint64_t latenessNs) {
  const std::uint64_t wanted = latenessNs + latenessNs / 2 + 50 * kNsPerUs;
  const std::uint64_t decayed = spinMarginNs_ - spinMarginNs_ / 8;
  spinMarginNs_ = std::clamp(std::max(wanted, decayed), kMinSpinMarginNs, kMaxSpinMarginNs);
}

}  // namespace ccp
