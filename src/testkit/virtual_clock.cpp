#include "testkit/virtual_clock.h"

#include <utility>

namespace ccp::testkit {

void VirtualClock::pass(std::uint64_t ns) {
  nowNs_ += ns;
  waitedNs_ += ns;
  if (alarm_ && nowNs_ >= alarmNs_) std::exchange(alarm_, nullptr)();
}

void VirtualClock::waitUs(unsigned us) {
  ++shortWaits_;
  pass(std::uint64_t{us} * 1'000);
}

void VirtualClock::waitMs(unsigned ms) {
  waits_.push_back(ms);
  pass(std::uint64_t{ms} * 1'000'000);
}

void VirtualClock::sleepMs(unsigned ms) {
  sleeps_.push_back(ms);
  pass(std::uint64_t{ms} * 1'000'000);
}

void VirtualClock::waitUntilNs(std::uint64_t instantNs) {
  ++shortWaits_;
  if (instantNs > nowNs_) pass(instantNs - nowNs_);
}

}  // namespace ccp::testkit
