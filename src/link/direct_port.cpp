#include "link/direct_port.h"

#include "link/wiring.h"

#if defined(__linux__) && (defined(__x86_64__) || defined(__i386__))
#include <sys/io.h>
#define CCP_HAVE_IOPERM 1
#endif

namespace ccp {

namespace {
constexpr unsigned long kRegisterCount = 3;
}

bool DirectPort::permitted(std::uint16_t address) const {
  return (lpt1_ && address >= kLpt1Base && address < kLpt1Base + kRegisterCount) ||
         (lpt2_ && address >= kLpt2Base && address < kLpt2Base + kRegisterCount);
}

#ifdef CCP_HAVE_IOPERM

bool DirectPort::obtainAccess() {
  lpt1_ = lpt1_ || ioperm(kLpt1Base, kRegisterCount, 1) == 0;
  lpt2_ = lpt2_ || ioperm(kLpt2Base, kRegisterCount, 1) == 0;
  return lpt1_;
}

// An address outside the granted ranges would fault the process: it reads 0xFF instead.
std::uint8_t DirectPort::in(std::uint16_t address) {
  return permitted(address) ? inb(address) : 0xFF;
}

void DirectPort::out(std::uint16_t address, std::uint8_t value) {
  if (permitted(address)) outb(value, address);
}

#else

bool DirectPort::obtainAccess() {
  return false;
}
std::uint8_t DirectPort::in(std::uint16_t) {
  return 0xFF;
}
void DirectPort::out(std::uint16_t, std::uint8_t) {}

#endif

}  // namespace ccp
