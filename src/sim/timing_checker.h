#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ccp::sim {

struct TimingViolation {
  std::string rule;  // which promised minimum or order was broken
  std::uint64_t gapNs;
  std::uint64_t minimumNs;
  std::uint64_t atNs;
  bool order = false;  // a step out of its order rather than a pause cut short
};

// Collects every minimum interval the bus traffic fell short of, and every step the master
// took out of its promised order.
class TimingChecker {
 public:
  // Records a violation when to - from < minimum.
  void check(const char* rule, std::uint64_t fromNs, std::uint64_t toNs, std::uint64_t minimumNs);
  // Records a step taken out of order at the given time.
  void outOfOrder(const char* rule, std::uint64_t atNs);

  const std::vector<TimingViolation>& violations() const { return violations_; }
  std::size_t count() const { return violations_.size(); }
  void clear() { violations_.clear(); }

 private:
  std::vector<TimingViolation> violations_;
};

std::string describe(const TimingViolation& v);

}  // namespace ccp::sim
