#pragma once

#include <cstdint>

#include "link/port_io.h"

namespace ccp {

// Port instructions straight on the x86 registers, after ioperm() (a privileged process).
// Each of LPT1 and LPT2 is used when its range was granted; access as a whole is granted when
// LPT1's was. On other systems it always refuses.
class DirectPort : public PortIo {
 public:
  bool obtainAccess() override;
  std::uint8_t in(std::uint16_t address) override;
  void out(std::uint16_t address, std::uint8_t value) override;

 private:
  bool permitted(std::uint16_t address) const;

  bool lpt1_ = false;
  bool lpt2_ = false;
};

}  // namespace ccp
