#include "ports/steady_clock.h"

#include <gtest/gtest.h>

namespace ccp {
namespace {

// Only behaviour here; how long the waits take is measured by the benchmark.
TEST(SteadyClock, CallsTheIdleHookOnlyWhereASliceOfSleepIsLeft) {
  SteadyClock clock;
  int calls = 0;
  clock.setIdleHook([&] { ++calls; });
  clock.waitUs(30);
  clock.waitMs(4);
  EXPECT_EQ(calls, 0);
  clock.sleepMs(25);
  EXPECT_GE(calls, 1);
  const int afterSleep = calls;
  clock.waitMs(40);
  EXPECT_GT(calls, afterSleep);
}

}  // namespace
}  // namespace ccp
