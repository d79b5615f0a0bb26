#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "link/port_io.h"

namespace ccp {

// The parallel ports through Linux ppdev (/dev/parportN): no root needed, only membership of
// the group owning the device (usually "lp"). Each legacy base (LPT1 0x378, LPT2 0x278) is
// matched to its device by /proc/sys/dev/parport/parportN/base-addr. Access is granted when
// the LPT1 device can be opened and claimed; LPT2 is used as well when present. Addresses of
// a port that is not open read 0xFF and ignore writes.
class PpdevPort : public PortIo {
 public:
  PpdevPort() = default;
  // Another device and proc directory, for a system laid out differently.
  PpdevPort(std::string devicePrefix, std::string procDirectory);
  ~PpdevPort() override;
  PpdevPort(const PpdevPort&) = delete;
  PpdevPort& operator=(const PpdevPort&) = delete;

  bool obtainAccess() override;
  std::uint8_t in(std::uint16_t address) override;
  void out(std::uint16_t address, std::uint8_t value) override;

 private:
  struct Opened {
    std::uint16_t base;
    int fd = -1;
  };
  static constexpr int kMaxDevices = 8;
  const Opened* portOf(std::uint16_t address) const;
  int openAndClaim(int index) const;

  std::string devicePrefix_ = "/dev/parport";
  std::string procDirectory_ = "/proc/sys/dev/parport/parport";
  std::array<Opened, 2> ports_{};
};

// The first value of a parport base-addr text ("888\t1920\n" gives 888); 0 when unreadable.
unsigned firstBaseAddress(const std::string& text);

}  // namespace ccp
