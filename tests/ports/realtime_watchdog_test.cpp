#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>

#include "ports/realtime_kit.h"
#include "ports/realtime_text.h"
#include "realtime_read.h"

namespace ccp {
namespace {

// RealtimeKit's default bound: a thread at real-time priority that runs this long without
// blocking gets SIGKILL, here at the hard limit as at the soft one, so the test process dies.
constexpr rlim_t kDaemonsRunLimitUs = 200'000;

TEST(RealtimeWatchdog, ATransferAtRealtimePriorityUnderTheDaemonsRunLimitRunsToItsEnd) {
  rlimit limit{};
  getrlimit(RLIMIT_RTTIME, &limit);
  // Lower only: raising the hard limit again takes a privilege root may lack.
  limit.rlim_max = limit.rlim_cur = std::min(limit.rlim_max, kDaemonsRunLimitUs);
  ASSERT_EQ(setrlimit(RLIMIT_RTTIME, &limit), 0);
  SteadyClock clock(systemSchedulingCalls(), &systemRealtimeKit());
  const test::RealtimeRead read = test::readOnRealClock(clock);
  const RealtimePriority& priority = clock.realtimePriority();
  // No real-time priority, no watchdog: said in the output (ctest counts it as skipped).
  if (priority.lastOutcome() != RealtimePriority::Outcome::Raised &&
      priority.lastOutcome() != RealtimePriority::Outcome::ThroughRealtimeKit) {
    GTEST_SKIP() << "no real-time priority here (needs root with CAP_SYS_NICE, a real-time "
                    "limit, or RealtimeKit in a desktop session): "
                 << transfersRunText(priority);
  }
  EXPECT_EQ(read.lastLine, "Read completed");
  EXPECT_EQ(read.violations, 0u);
  EXPECT_EQ(sched_getscheduler(0) & ~SCHED_RESET_ON_FORK, SCHED_OTHER);
}

}  // namespace
}  // namespace ccp
