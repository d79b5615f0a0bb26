#include "sim/timing_checker.h"

namespace ccp::sim {

void TimingChecker::check(const char* rule, std::uint64_t fromNs, std::uint64_t toNs,
                          std::uint64_t minimumNs) {
  const std::uint64_t gap = toNs > fromNs ? toNs - fromNs : 0;
  if (gap < minimumNs) violations_.push_back({rule, gap, minimumNs, toNs});
}

void TimingChecker::outOfOrder(const char* rule, std::uint64_t atNs) {
  violations_.push_back({rule, 0, 0, atNs, true});
}

std::string describe(const TimingViolation& v) {
  if (v.order) return v.rule + ": at " + std::to_string(v.atNs / 1000) + " us";
  return v.rule + ": " + std::to_string(v.gapNs / 1000) + " us, at least " +
         std::to_string(v.minimumNs / 1000) + " us";
}

}  // namespace ccp::sim
