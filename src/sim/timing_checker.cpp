#include "sim/timing_checker.h"

namespace ccp::sim {

void TimingChecker::check(const char* rule, std::uint64_t fromNs, std::uint64_t toNs,
                          std::uint64_t minimumNs) {
  const std::uint64_t gap = toNs > fromNs ? toNs - fromNs : 0;
  if (gap < minimumNs) violations_.push_back({rule, gap, minimumNs, toNs});
}

std::string describe(const TimingViolation& v) {
  return v.rule + ": " + std::to_string(v.gapNs / 1000) + " us, at least " +
         std::to_string(v.minimumNs / 1000) + " us";
}

}  // namespace ccp::sim
