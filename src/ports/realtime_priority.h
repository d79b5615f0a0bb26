#pragma once

#include <optional>

namespace ccp {

// A thread's scheduling policy (SCHED_OTHER, SCHED_FIFO, ...) and its static priority.
struct ThreadScheduling {
  int policy = 0;
  int priority = 0;
  bool operator==(const ThreadScheduling&) const = default;
};

// The few system calls that change the calling thread's scheduling. Tests stand in for them,
// so they never change the scheduling of the test process.
class SchedulingCalls {
 public:
  virtual ~SchedulingCalls() = default;
  // Each returns 0 or an errno value.
  virtual int current(ThreadScheduling& out) = 0;
  virtual int apply(const ThreadScheduling& scheduling) = 0;
  // The highest real-time priority the process may take without privilege (RLIMIT_RTPRIO).
  virtual int priorityLimit() = 0;
};

// The calling thread, through pthread_getschedparam/pthread_setschedparam and getrlimit.
SchedulingCalls& systemSchedulingCalls();

// Runs the calling thread first-in first-out at a modest real-time priority between raise()
// and restore(), where the system allows it (RLIMIT_RTPRIO above 0, or CAP_SYS_NICE); where it
// does not, the thread goes on as it was. Pairs may nest: the outermost pair counts. One thread
// at a time.
class RealtimePriority {
 public:
  // Below the kernel's interrupt threads (50), so spinning through a wait never holds them up.
  static constexpr int kPriority = 10;

  enum class Outcome {
    NotTried,
    Raised,           // the thread ran at real-time priority
    AlreadyRealtime,  // it already did: left as it was
    Refused,          // the system said no (refusal() tells why): ran as it was
  };

  explicit RealtimePriority(SchedulingCalls& calls = systemSchedulingCalls()) : calls_(calls) {}
  RealtimePriority(const RealtimePriority&) = delete;
  RealtimePriority& operator=(const RealtimePriority&) = delete;

  void raise();
  void restore();

  // How the last outermost raise() went, and the errno of a refusal.
  Outcome lastOutcome() const { return outcome_; }
  int refusal() const { return refusal_; }

 private:
  void tryRaise();

  SchedulingCalls& calls_;
  unsigned depth_ = 0;
  std::optional<ThreadScheduling> previous_;  // set while raised
  Outcome outcome_ = Outcome::NotTried;
  int refusal_ = 0;
};

}  // namespace ccp
