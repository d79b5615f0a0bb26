#include "ports/realtime_priority.h"

#include <gtest/gtest.h>
#include <sched.h>

#include <cerrno>
#include <string>
#include <vector>

#include "ports/steady_clock.h"

namespace ccp {
namespace {

using Outcome = RealtimePriority::Outcome;

// Stands in for the system: answers as scripted and notes every call in order.
class FakeSchedulingCalls : public SchedulingCalls {
 public:
  int current(ThreadScheduling& out) override {
    calls.push_back("current");
    out = thread;
    return currentError;
  }
  int apply(const ThreadScheduling& scheduling) override {
    calls.push_back("apply " + std::to_string(scheduling.policy) + "/" +
                    std::to_string(scheduling.priority));
    if (applyError == 0) thread = scheduling;
    return applyError;
  }
  int priorityLimit() override {
    calls.push_back("limit");
    return limit;
  }

  ThreadScheduling thread{SCHED_OTHER, 0};
  int currentError = 0;
  int applyError = 0;
  int limit = 0;
  std::vector<std::string> calls;
};

std::string applyCall(int policy, int priority) {
  return "apply " + std::to_string(policy) + "/" + std::to_string(priority);
}

TEST(RealtimePriority, RaisesForTheTransferAndRestoresTheEarlierScheduling) {
  struct Case {
    const char* name;
    ThreadScheduling before;
    int limit;
    int expectedPriority;
  };
  const Case cases[] = {
      {"privileged, no limit", {SCHED_OTHER, 0}, 0, RealtimePriority::kPriority},
      {"limit above ours", {SCHED_OTHER, 0}, 99, RealtimePriority::kPriority},
      {"limit below ours", {SCHED_OTHER, 0}, 3, 3},
      {"batch thread", {SCHED_BATCH, 0}, 0, RealtimePriority::kPriority},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeSchedulingCalls system;
    system.thread = c.before;
    system.limit = c.limit;
    RealtimePriority priority(system);

    priority.raise();
    EXPECT_EQ(system.thread, (ThreadScheduling{SCHED_FIFO, c.expectedPriority}));
    EXPECT_EQ(priority.lastOutcome(), Outcome::Raised);
    priority.restore();
    EXPECT_EQ(system.thread, c.before);
    const std::vector<std::string> expected = {"current", "limit",
                                               applyCall(SCHED_FIFO, c.expectedPriority),
                                               applyCall(c.before.policy, c.before.priority)};
    EXPECT_EQ(system.calls, expected);
  }
}

TEST(RealtimePriority, GoesOnAsBeforeWhereTheSystemRefuses) {
  FakeSchedulingCalls system;
  system.applyError = EPERM;
  RealtimePriority priority(system);
  priority.raise();
  EXPECT_EQ(priority.lastOutcome(), Outcome::Refused);
  EXPECT_EQ(priority.refusal(), EPERM);
  priority.restore();
  // Nothing to give back: no second apply.
  const std::vector<std::string> expected = {"current", "limit", applyCall(SCHED_FIFO, 10)};
  EXPECT_EQ(system.calls, expected);
  EXPECT_EQ(system.thread, (ThreadScheduling{SCHED_OTHER, 0}));

  // Each transfer asks again.
  system.applyError = 0;
  priority.raise();
  EXPECT_EQ(priority.lastOutcome(), Outcome::Raised);
  priority.restore();
  EXPECT_EQ(system.thread, (ThreadScheduling{SCHED_OTHER, 0}));
}

TEST(RealtimePriority, LeavesTheThreadAloneWhenItsSchedulingCannotBeRead) {
  FakeSchedulingCalls system;
  system.currentError = ESRCH;
  RealtimePriority priority(system);
  priority.raise();
  priority.restore();
  EXPECT_EQ(priority.lastOutcome(), Outcome::Refused);
  EXPECT_EQ(system.calls, std::vector<std::string>{"current"});
}

TEST(RealtimePriority, KeepsARealtimeThreadsOwnPriority) {
  for (const ThreadScheduling own : {ThreadScheduling{SCHED_FIFO, 80}, {SCHED_RR, 1}}) {
    FakeSchedulingCalls system;
    system.thread = own;
    RealtimePriority priority(system);
    priority.raise();
    priority.restore();
    EXPECT_EQ(priority.lastOutcome(), Outcome::AlreadyRealtime);
    EXPECT_EQ(system.calls, std::vector<std::string>{"current"});
    EXPECT_EQ(system.thread, own);
  }
}

TEST(RealtimePriority, NestedPairsRaiseOnceAndRestoreAtTheOutermostEnd) {
  FakeSchedulingCalls system;
  RealtimePriority priority(system);
  priority.restore();  // an end without a beginning changes nothing
  EXPECT_TRUE(system.calls.empty());

  priority.raise();
  priority.raise();
  priority.restore();
  EXPECT_EQ(system.thread.policy, SCHED_FIFO) << "still inside the outer transfer";
  priority.restore();
  EXPECT_EQ(system.thread, (ThreadScheduling{SCHED_OTHER, 0}));
  EXPECT_EQ(system.calls.size(), 4u);
}

TEST(SteadyClock, RaisesPriorityOnlyBetweenTheTransferHooks) {
  FakeSchedulingCalls system;
  SteadyClock clock(system);
  clock.waitUs(1);
  EXPECT_TRUE(system.calls.empty());
  {
    const TransferScope transfer(clock);
    EXPECT_EQ(system.thread.policy, SCHED_FIFO);
  }
  EXPECT_EQ(system.thread.policy, SCHED_OTHER);
  EXPECT_EQ(clock.realtimePriority().lastOutcome(), Outcome::Raised);
}

}  // namespace
}  // namespace ccp
