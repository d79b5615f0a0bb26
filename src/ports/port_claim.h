#pragma once

#include <cstdint>

#include "ports/port_io.h"

namespace ccp {

// Holds the claim of one port name for a scope: claimed on construction (without waiting),
// released on destruction when the claim was had.
class PortClaim {
 public:
  PortClaim(PortIo& port, std::uint16_t base) : port_(port), base_(base), held_(port.claim(base)) {}
  ~PortClaim() {
    if (held_) port_.release(base_);
  }
  PortClaim(const PortClaim&) = delete;
  PortClaim& operator=(const PortClaim&) = delete;

  bool held() const { return held_; }
  explicit operator bool() const { return held_; }

 private:
  PortIo& port_;
  std::uint16_t base_;
  bool held_;
};

}  // namespace ccp
