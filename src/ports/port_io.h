#pragma once

#include <cstdint>
#include <string>

namespace ccp {

// Byte access to the parallel-port registers (base, base + 1, base + 2) of LPT1 (base 888) and
// LPT2 (base 632).
class PortIo {
 public:
  virtual ~PortIo() = default;
  // Asked once at start-up, before any in() or out(): may this process drive the port?
  virtual bool obtainAccess() = 0;
  virtual std::uint8_t in(std::uint16_t address) = 0;
  virtual void out(std::uint16_t address, std::uint8_t value) = 0;

  // Takes the port of one name (base 888 or 632) for this program until release(), so other
  // programs (a printer spooler) can use it in between. Never waits: false at once when another
  // program holds it. Claims nest; a port that needs no claiming always succeeds.
  virtual bool claim(std::uint16_t base) {
    (void)base;
    return true;
  }
  virtual void release(std::uint16_t base) { (void)base; }

  // out() may be called from a signal handler: it makes plain system calls or port
  // instructions only, with no allocation and no lock. A port that wraps another says what the
  // wrapped one says.
  virtual bool signalSafe() const = 0;

  // The system port a name means, as the user names it ("/dev/parport0", "0xd010"); empty when
  // the name means no port or the port has no system name.
  virtual std::string portName(std::uint16_t base) const {
    (void)base;
    return {};
  }
};

}  // namespace ccp
