#pragma once

#include <sched.h>

#include <set>
#include <string>
#include <utility>

#include "app/default_pager.h"
#include "ports/steady_clock.h"
#include "shell/form.h"
#include "sim/simulated_programmer.h"
#include "testkit/fake_platform.h"

namespace ccp::test {

// What Read from pager did on the real clock.
struct RealtimeRead {
  std::string lastLine;
  // The thread's policy and priority in the transfers' long waits.
  std::set<std::pair<int, int>> schedulingSeen;
  std::size_t violations = 0;  // minimum waits the simulated chips saw cut
};

// Reads a pager of the simulated Programmer with the window's Read from pager on the real
// clock, as the programs do: a decoder transfer, then an EEPROM transfer that spins through
// line steps for about two seconds.
inline RealtimeRead readOnRealClock(SteadyClock& clock) {
  RealtimeRead read;
  clock.setIdleHook([&read] {
    sched_param param{};
    sched_getparam(0, &param);
    read.schedulingSeen.emplace(sched_getscheduler(0), param.sched_priority);
  });
  sim::SimulatedProgrammer programmer(clock);
  const PagerContents pager = defaultPagerContents(BuildConfig{});
  programmer.setEeprom(pager.eeprom);
  programmer.setDecoder(pager.decoder);
  testkit::FakePlatform platform;
  TForm1 form(BuildConfig{}, platform, programmer, clock);
  form.menuItem("ReadFromPager").trigger();
  clock.setIdleHook(nullptr);
  read.lastLine = form.log().lines().back();
  read.violations = programmer.violations().size();
  return read;
}

}  // namespace ccp::test
