#pragma once

#include "ports/mapped_port.h"
#include "ports/sys_port_calls.h"
#include "ports/system_ports.h"

namespace ccp {

// Port instructions straight on the x86 registers, after ioperm() on base..base + 2 of each
// port (a privileged process). On other systems ioperm() fails and access is refused.
//
// How LPT1 and LPT2 are found: as for ppdev, from the ports /proc/sys/dev/parport lists
// (parportN in N order; those with no I/O base are skipped). LPT1 is the port at 0x378, or
// else the first listed port; LPT2 the port at 0x278, or else the next listed port that is not
// LPT1. When the parport driver is not loaded, nothing is listed, and the legacy addresses
// 0x378 and 0x278 are taken. A name the user chose is the hexadecimal base itself, or the
// base /proc lists for /dev/parportN. Claims always succeed: nothing else arbitrates.
class DirectPort : public MappedPort {
 public:
  explicit DirectPort(PortChoice choice = {}, SysPortCalls& sys = realSysPortCalls(),
                      ParportPaths paths = {});

 private:
  LptMap mapPorts(const PortChoice& choice) override;
  std::optional<int> openPort(const SystemPort& port) override;
  std::string nameOf(const SystemPort& port) const override;
  std::uint8_t readRegister(int base, PortRegister reg) override;
  void writeRegister(int base, PortRegister reg, std::uint8_t value) override;

  std::vector<SystemPort> addressablePorts();

  SysPortCalls& sys_;
  ParportPaths paths_;
};

}  // namespace ccp
