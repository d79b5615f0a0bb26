#include "ports/realtime_priority.h"

#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <limits>

namespace ccp {

namespace {

// The sched_ calls on thread 0 (the calling thread) ask the kernel each time: the pthread_
// ones may answer from what the library last set, which RealtimeKit changes from outside.
class SystemSchedulingCalls : public SchedulingCalls {
 public:
  int current(ThreadScheduling& out) override {
    const int policy = sched_getscheduler(0);
    sched_param param{};
    if (policy < 0 || sched_getparam(0, &param) != 0) return errno;
    out = {policy, param.sched_priority};
    return 0;
  }

  int apply(const ThreadScheduling& scheduling) override {
    sched_param param{};
    param.sched_priority = scheduling.priority;
    return sched_setscheduler(0, scheduling.policy, &param) == 0 ? 0 : errno;
  }

  int priorityLimit() override {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) return 0;
    constexpr int kLargest = std::numeric_limits<int>::max();
    if (limit.rlim_cur == RLIM_INFINITY) return kLargest;
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, kLargest));
  }

  std::optional<std::uint64_t> runLimitUs() override {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTTIME, &limit) != 0) return std::nullopt;
    const rlim_t lower = std::min(limit.rlim_cur, limit.rlim_max);
    if (lower == RLIM_INFINITY) return std::nullopt;
    return lower;
  }
};

bool isRealtime(int policy) {
  policy &= ~SCHED_RESET_ON_FORK;
  return policy == SCHED_FIFO || policy == SCHED_RR;
}

}  // namespace

SchedulingCalls& systemSchedulingCalls() {
  static SystemSchedulingCalls calls;
  return calls;
}

void RealtimePriority::raise() {
  if (depth_++ != 0) return;
  ++raises_;
  tryRaise();
}

void RealtimePriority::restore() {
  if (depth_ == 0) return;
  if (--depth_ != 0) return;
  if (kitGrant_ && holdDepth_ > 0) return;  // kept for the command's next transfers
  giveBack();
}

void RealtimePriority::holdBegins() {
  ++holdDepth_;
}

void RealtimePriority::holdEnds() {
  if (holdDepth_ == 0 || --holdDepth_ != 0) return;
  askedInHold_ = false;
  if (depth_ == 0 && kitGrant_) giveBack();
}

void RealtimePriority::tryRaise() {
  ThreadScheduling before;
  refusal_ = calls_.current(before);
  if (refusal_ != 0) {
    outcome_ = Outcome::Refused;
    return;
  }
  // What RealtimeKit granted earlier in the command goes on; a thread started at real-time
  // priority (chrt) keeps its own, which may be higher.
  if (isRealtime(before.policy)) {
    if (!kitGrant_) outcome_ = Outcome::AlreadyRealtime;
    realtime_ = true;
    return;
  }
  if (kitGrant_) {
    // The daemon's watchdog demotes every thread it raised when the system starves.
    previous_.reset();
    kitGrant_ = false;
    kitAnswer_ = RealtimeKit::Answer{0, true, "it took the real-time priority back"};
  }
  // Without privilege the limit decides; with CAP_SYS_NICE a limit of 0 does not matter.
  const int limit = calls_.priorityLimit();
  const int priority = limit > 0 ? std::min(kPriority, limit) : kPriority;
  refusal_ = calls_.apply({SCHED_FIFO, priority});
  if (refusal_ == 0) {
    taken(before, Outcome::Raised);
  } else if (askKit()) {
    taken(before, Outcome::ThroughRealtimeKit);
  } else {
    outcome_ = Outcome::Refused;
  }
}

bool RealtimePriority::askKit() {
  if (kit_ == nullptr) return false;
  if (holdDepth_ == 0 || !askedInHold_) {
    kitAnswer_ = kit_->makeThreadRealtime(kPriority);
    askedInHold_ = holdDepth_ > 0;
  }
  return kitAnswer_->priority > 0;
}

void RealtimePriority::taken(const ThreadScheduling& before, Outcome outcome) {
  previous_ = before;
  kitGrant_ = outcome == Outcome::ThroughRealtimeKit;
  outcome_ = outcome;
  realtime_ = true;
}

void RealtimePriority::giveBack() {
  realtime_ = false;
  if (!previous_) return;
  // Giving up real-time priority is always allowed, so this cannot be refused; a thread that
  // RealtimeKit raised keeps SCHED_RESET_ON_FORK, which only privilege may clear.
  ThreadScheduling back = *previous_;
  if (kitGrant_) back.policy |= SCHED_RESET_ON_FORK;
  calls_.apply(back);
  previous_.reset();
  kitGrant_ = false;
}

}  // namespace ccp
