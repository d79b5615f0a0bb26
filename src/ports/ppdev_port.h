#pragma once

#include <chrono>

#include "ports/mapped_port.h"
#include "ports/sys_port_calls.h"
#include "ports/system_ports.h"

namespace ccp {

// The parallel ports through Linux ppdev (/dev/parportN): no root needed, only membership of
// the group owning the devices (usually "lp").
//
// How LPT1 and LPT2 are found: the ports are those /proc/sys/dev/parport lists (parportN, in N
// order, each with its base-addr). LPT1 is the port at 0x378, or else the first listed port;
// LPT2 the port at 0x278, or else the next listed port that is not LPT1. A name the user
// chose is /dev/parportN itself, or the listed port at the chosen base address. Both devices
// are opened at obtainAccess(), which grants access when at least one opens.
//
// A port is claimed (PPCLAIM) only inside claim()/release(), so printing can share it. The
// kernel's PPCLAIM sleeps until the port is free, whatever O_NONBLOCK says, and meanwhile holds
// ppdev's one lock for every ioctl of every program: a waiting claim would even keep the
// holder from releasing. So a claim first asks /proc whether some driver holds the port
// (parportN/devices/active is not "none") and gives up at once if so; the PPCLAIM itself runs
// under a CallDeadline that interrupts it (EINTR) should the port be taken in between.
class PpdevPort : public MappedPort {
 public:
  static constexpr std::chrono::milliseconds kClaimLimit{20};

  explicit PpdevPort(PortChoice choice = {}, SysPortCalls& sys = realSysPortCalls(),
                     ParportPaths paths = {});
  ~PpdevPort() override;
  PpdevPort(const PpdevPort&) = delete;
  PpdevPort& operator=(const PpdevPort&) = delete;

 private:
  LptMap mapPorts(const PortChoice& choice) override;
  std::optional<int> openPort(const SystemPort& port) override;
  std::string nameOf(const SystemPort& port) const override;
  std::uint8_t readRegister(int fd, PortRegister reg) override;
  void writeRegister(int fd, PortRegister reg, std::uint8_t value) override;
  bool claimPort(const OpenedPort& port) override;
  void releasePort(const OpenedPort& port) override;

  bool heldByAnother(int number);

  SysPortCalls& sys_;
  ParportPaths paths_;
};

// The ports LPT1 and LPT2 mean to the ppdev backend, by the user's choice and the ports listed.
LptMap ppdevLptMap(const PortChoice& choice, const std::vector<SystemPort>& listed);

}  // namespace ccp
