#include "ports/realtime_priority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <limits>

namespace ccp {

namespace {

class SystemSchedulingCalls : public SchedulingCalls {
 public:
  int current(ThreadScheduling& out) override {
    sched_param param{};
    const int error = pthread_getschedparam(pthread_self(), &out.policy, &param);
    out.priority = param.sched_priority;
    return error;
  }

  int apply(const ThreadScheduling& scheduling) override {
    sched_param param{};
    param.sched_priority = scheduling.priority;
    return pthread_setschedparam(pthread_self(), scheduling.policy, &param);
  }

  int priorityLimit() override {
    rlimit limit{};
    if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) return 0;
    constexpr int kLargest = std::numeric_limits<int>::max();
    if (limit.rlim_cur == RLIM_INFINITY) return kLargest;
    return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, kLargest));
  }
};

bool isRealtime(int policy) {
  return policy == SCHED_FIFO || policy == SCHED_RR;
}

}  // namespace

SchedulingCalls& systemSchedulingCalls() {
  static SystemSchedulingCalls calls;
  return calls;
}

void RealtimePriority::raise() {
  if (depth_++ == 0) tryRaise();
}

void RealtimePriority::restore() {
  if (depth_ == 0) return;
  if (--depth_ != 0 || !previous_) return;
  // Giving up real-time priority is always allowed, so this cannot be refused.
  calls_.apply(*previous_);
  previous_.reset();
}

void RealtimePriority::tryRaise() {
  ThreadScheduling before;
  refusal_ = calls_.current(before);
  if (refusal_ != 0) {
    outcome_ = Outcome::Refused;
    return;
  }
  // A thread started at real-time priority (chrt) keeps its own, which may be higher.
  if (isRealtime(before.policy)) {
    outcome_ = Outcome::AlreadyRealtime;
    return;
  }
  // Without privilege the limit decides; with CAP_SYS_NICE a limit of 0 does not matter.
  const int limit = calls_.priorityLimit();
  const int priority = limit > 0 ? std::min(kPriority, limit) : kPriority;
  refusal_ = calls_.apply({SCHED_FIFO, priority});
  if (refusal_ != 0) {
    outcome_ = Outcome::Refused;
    return;
  }
  previous_ = before;
  outcome_ = Outcome::Raised;
}

}  // namespace ccp
