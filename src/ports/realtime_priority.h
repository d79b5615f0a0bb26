#pragma once

#include <cstdint>
#include <optional>

#include "ports/realtime_kit.h"

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
  // How long a thread at real-time priority may run without blocking before the kernel ends
  // it (RLIMIT_RTTIME, the lower of its two limits); none when unlimited.
  virtual std::optional<std::uint64_t> runLimitUs() = 0;
};

// The calling thread, through sched_getscheduler/sched_setscheduler and getrlimit.
SchedulingCalls& systemSchedulingCalls();

// Runs the calling thread first-in first-out at a modest real-time priority between raise()
// and restore(), where the system allows it (RLIMIT_RTPRIO above 0, or CAP_SYS_NICE). Where it
// does not, RealtimeKit, when given, is asked for round-robin at the same priority; failing
// that, the thread goes on as it was. Pairs may nest: the outermost pair counts. One thread at
// a time.
//
// Within a hold (a pager command) RealtimeKit is asked at most once, and what it granted is
// kept until the hold ends: the thread could not get it back between two transfers without
// another request, and the daemon allows each user only a few a second.
class RealtimePriority {
 public:
  // Below the kernel's interrupt threads (50), so spinning through a wait never holds them up.
  static constexpr int kPriority = 10;

  enum class Outcome {
    NotTried,
    Raised,              // the thread ran at real-time priority
    AlreadyRealtime,     // it already did: left as it was
    ThroughRealtimeKit,  // RealtimeKit made it round-robin (kitAnswer() tells at what)
    Refused,             // the system said no (refusal() tells why), and so did RealtimeKit
                         // where it was asked (kitAnswer()): ran as it was
  };

  explicit RealtimePriority(SchedulingCalls& calls = systemSchedulingCalls(),
                            RealtimeKit* kit = nullptr)
      : calls_(calls), kit_(kit) {}
  RealtimePriority(const RealtimePriority&) = delete;
  RealtimePriority& operator=(const RealtimePriority&) = delete;

  void raise();
  void restore();
  void holdBegins();
  void holdEnds();

  // How the last outermost raise() went, the errno of the system's refusal, and what
  // RealtimeKit answered for it (nothing when it was not asked).
  Outcome lastOutcome() const { return outcome_; }
  int refusal() const { return refusal_; }
  const std::optional<RealtimeKit::Answer>& kitAnswer() const { return kitAnswer_; }
  // How many outermost raise() calls there were: a command that made none had no transfer.
  unsigned long raises() const { return raises_; }

  // The thread runs at real-time priority through a raise() now.
  bool realtime() const { return realtime_; }
  // RLIMIT_RTTIME as it stands, for a thread at real-time priority.
  std::optional<std::uint64_t> runLimitUs() const { return calls_.runLimitUs(); }

 private:
  void tryRaise();
  bool askKit();
  void taken(const ThreadScheduling& before, Outcome outcome);
  void giveBack();

  SchedulingCalls& calls_;
  RealtimeKit* kit_;
  unsigned depth_ = 0;
  unsigned holdDepth_ = 0;
  bool askedInHold_ = false;
  bool realtime_ = false;
  bool kitGrant_ = false;                     // what previous_ gives back, RealtimeKit granted
  std::optional<ThreadScheduling> previous_;  // set while raised
  Outcome outcome_ = Outcome::NotTried;
  int refusal_ = 0;
  std::optional<RealtimeKit::Answer> kitAnswer_;
  unsigned long raises_ = 0;
};

}  // namespace ccp
