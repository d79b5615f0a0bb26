#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ccp::sim {

struct TimingViolation {
  std::string rule;  // which promised minimum was broken
  std::uint64_t gapNs;
  std::uint64_t minimumNs;
  std::uint64_t atNs;
};

// Collects every minimum interval the bus traffic fell short of.
class TimingChecker {
 public:
  // Records a violation when to - from < minimum.
  void check(const char* rule, std::uint64_t fromNs, std::uint64_t toNs, std::uint64_t minimumNs);

  const std::vector<TimingViolation>& violations() const { return violations_; }
  std::size_t count() const { return violations_.size(); }
  void clear() { violations_.clear(); }

 private:
  std::vector<TimingViolation> violations_;
};

std::string describe(const TimingViolation& v);

}  // namespace ccp::sim
