#pragma once

#include <cstdint>

#include "ports/clock.h"

namespace ccp {

// A monotonic time in nanoseconds; the simulator checks the bus timing against it.
class TimeSource {
 public:
  virtual ~TimeSource() = default;
  virtual std::uint64_t nowNs() const = 0;
};

// A clock that can also wait until an instant of its own time. The line operations use it to
// count each 30 microsecond step from the port write itself, so the time the port access took
// is not added on top of the step.
class DeadlineClock : public Clock, public TimeSource {
 public:
  virtual void waitUntilNs(std::uint64_t instantNs) = 0;
};

}  // namespace ccp
