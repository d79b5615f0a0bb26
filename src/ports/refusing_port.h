#pragma once

#include "ports/port_io.h"

namespace ccp {

// A port that is never granted: the program then runs without the pager commands.
class RefusingPort : public PortIo {
 public:
  bool obtainAccess() override { return false; }
  std::uint8_t in(std::uint16_t) override { return 0xFF; }
  void out(std::uint16_t, std::uint8_t) override {}
  bool claim(std::uint16_t) override { return false; }
  bool signalSafe() const override { return true; }  // it does nothing
};

}  // namespace ccp
