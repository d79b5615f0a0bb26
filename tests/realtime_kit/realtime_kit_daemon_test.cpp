// The RealtimeKit client against a real rtkit-daemon. scripts/realtime-kit-test runs it as a
// user without privilege, beside a private system bus with polkitd and rtkit-daemon on it and a
// polkit rule that lets that user have real-time priority.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

#include "ports/realtime_kit.h"
#include "ports/realtime_text.h"
#include "realtime_read.h"

namespace ccp {
namespace {

TEST(RealtimeKitDaemon, TheTransferThreadRunsRoundRobinThroughTheDaemonToTheEndOfTheRead) {
  ASSERT_NE(geteuid(), 0u) << "run as a user without privilege";
  SteadyClock clock(systemSchedulingCalls(), &systemRealtimeKit());
  const test::RealtimeRead read = test::readOnRealClock(clock);
  const RealtimePriority& priority = clock.realtimePriority();
  EXPECT_EQ(priority.lastOutcome(), RealtimePriority::Outcome::ThroughRealtimeKit)
      << transfersRunText(priority);
  const std::set<std::pair<int, int>> roundRobin{
      {SCHED_RR | SCHED_RESET_ON_FORK, RealtimePriority::kPriority}};
  EXPECT_EQ(read.schedulingSeen, roundRobin);
  // The read spun for seconds under the bound the client set before asking.
  EXPECT_EQ(read.lastLine, "Read completed");
  EXPECT_EQ(read.violations, 0u);
  rlimit limit{};
  getrlimit(RLIMIT_RTTIME, &limit);
  EXPECT_LE(limit.rlim_max, 200'000u);
  EXPECT_EQ(sched_getscheduler(0), SCHED_OTHER | SCHED_RESET_ON_FORK) << "given back";
}

}  // namespace
}  // namespace ccp
