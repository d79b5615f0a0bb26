#include <gtest/gtest.h>
#include <sched.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstdlib>

#include "app/default_pager.h"
#include "ports/realtime_kit.h"
#include "ports/realtime_text.h"
#include "ports/steady_clock.h"
#include "shell/form.h"
#include "sim/simulated_programmer.h"
#include "testkit/fake_platform.h"

namespace ccp {
namespace {

// RealtimeKit's default bound: a thread at real-time priority that runs this long without
// blocking gets SIGKILL, here at the hard limit as at the soft one, so the test process dies.
constexpr rlim_t kDaemonsRunLimitUs = 200'000;

// Read from pager on the real clock and the simulated Programmer, as the programs run it: a
// decoder transfer, then an EEPROM transfer that spins through line steps for two seconds.
// scripts/realtime-kit-test runs it once more as a user without privilege beside a real
// rtkit-daemon, with CCP_TEST_REALTIME_KIT set: the priority must come from the daemon then.
TEST(RealtimeWatchdog, ATransferAtRealtimePriorityUnderTheDaemonsRunLimitRunsToItsEnd) {
  rlimit limit{};
  getrlimit(RLIMIT_RTTIME, &limit);
  // Lower only: raising the hard limit again takes a privilege root may lack.
  limit.rlim_max = limit.rlim_cur = std::min(limit.rlim_max, kDaemonsRunLimitUs);
  ASSERT_EQ(setrlimit(RLIMIT_RTTIME, &limit), 0);
  const bool throughDaemon = std::getenv("CCP_TEST_REALTIME_KIT") != nullptr;
  SteadyClock clock(systemSchedulingCalls(), &systemRealtimeKit());
  int policySeen = -1, prioritySeen = -1;  // in the EEPROM transfer's first long wait
  clock.setIdleHook([&] {
    sched_param param{};
    if (policySeen >= 0 || sched_getparam(0, &param) != 0) return;
    policySeen = sched_getscheduler(0);
    prioritySeen = param.sched_priority;
  });
  sim::SimulatedProgrammer programmer(clock);
  const PagerContents pager = defaultPagerContents(BuildConfig{});
  programmer.setEeprom(pager.eeprom);
  programmer.setDecoder(pager.decoder);
  testkit::FakePlatform platform;
  TForm1 form(BuildConfig{}, platform, programmer, clock);
  form.menuItem("ReadFromPager").trigger();

  const RealtimePriority& priority = clock.realtimePriority();
  using Outcome = RealtimePriority::Outcome;
  if (throughDaemon) {
    ASSERT_EQ(priority.lastOutcome(), Outcome::ThroughRealtimeKit) << transfersRunText(priority);
    EXPECT_EQ(policySeen, SCHED_RR | SCHED_RESET_ON_FORK);
    EXPECT_EQ(prioritySeen, RealtimePriority::kPriority);
  } else if (priority.lastOutcome() != Outcome::Raised &&
             priority.lastOutcome() != Outcome::ThroughRealtimeKit) {
    // No real-time priority, no watchdog: said in the output (ctest counts it as skipped).
    GTEST_SKIP() << "no real-time priority here (needs root with CAP_SYS_NICE, a real-time "
                    "limit, or RealtimeKit in a desktop session): "
                 << transfersRunText(priority);
  }
  EXPECT_EQ(form.log().lines().back(), "Read completed");
  EXPECT_TRUE(programmer.violations().empty());
  EXPECT_EQ(sched_getscheduler(0) & ~SCHED_RESET_ON_FORK, SCHED_OTHER) << "given back";
}

}  // namespace
}  // namespace ccp
