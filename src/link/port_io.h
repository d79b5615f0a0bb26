#pragma once

#include <cstdint>
#include <string>

namespace ccp {

// Byte access to the parallel-port registers (base, base + 1, base + 2).
class PortIo {
 public:
  virtual ~PortIo() = default;
  // Asked once at start-up, before any in() or out(): may this process drive the port?
  virtual bool obtainAccess() = 0;
  virtual std::uint8_t in(std::uint16_t address) = 0;
  virtual void out(std::uint16_t address, std::uint8_t value) = 0;
  // The system port behind a port base, for messages ("/dev/parport0", "0xd010"); empty when
  // there is nothing to say.
  virtual std::string describe(std::uint16_t /*base*/) const { return {}; }
};

}  // namespace ccp
