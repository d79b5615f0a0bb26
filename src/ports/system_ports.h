#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ports/port_choice.h"
#include "ports/sys_port_calls.h"

namespace ccp {

// Where Linux lists its parallel ports, and where their ppdev devices are.
struct ParportPaths {
  std::string proc = "/proc/sys/dev/parport";  // parportN/base-addr, parportN/devices/active
  std::string devices = "/dev/parport";        // followed by N
};

// The ppdev device of parportN: "/dev/parportN".
std::string ppdevDevice(const ParportPaths& paths, int number);

inline constexpr std::uint16_t kLegacyLpt1Address = 0x378;
inline constexpr std::uint16_t kLegacyLpt2Address = 0x278;

// One parallel port of the system: parportN, its registers at base.
struct SystemPort {
  int number = -1;  // N of parportN; -1 for an address the system does not list
  std::uint16_t base = 0;

  bool operator==(const SystemPort&) const = default;
};

// The ports /proc lists, in N order; nothing when the parport driver is not loaded.
std::optional<std::vector<SystemPort>> listSystemPorts(SysPortCalls& sys,
                                                       const ParportPaths& paths);

// The driver that holds parportN now, from its devices/active ("lp", "ppdev0"); empty when
// none does; nothing when the system does not list the port.
std::optional<std::string> portHolder(SysPortCalls& sys, const ParportPaths& paths, int number);

// The first value of a parport base-addr text ("888\t1920\n" gives 888); 0 when unreadable.
unsigned firstBaseAddress(const std::string& text);

// The listed port a device names: parportN for /dev/parportN, the port at an address.
std::optional<SystemPort> listedPort(const NamedDevice& device,
                                     const std::vector<SystemPort>& listed);

// What one logical name means: a port, or none.
struct NamedPort {
  bool chosen = false;  // named by the user: kept as it is, even when it means no port
  std::optional<SystemPort> port;
};

struct LptMap {
  NamedPort lpt1;
  NamedPort lpt2;
};

// The port each name means. A name the user chose keeps its port; otherwise LPT1 is the port at
// 0x378, or else the first listed port, and LPT2 is the port at 0x278, or else the next listed
// port; neither takes the port the other name means.
LptMap mapLptPorts(const std::vector<SystemPort>& listed, LptMap chosen);

}  // namespace ccp
