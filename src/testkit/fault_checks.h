#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "sim/simulated_programmer.h"
#include "sim/wire_log.h"

namespace ccp::testkit {

// What is wrong with the Programmer's lines after a command: empty when every enable line is
// at rest and SCL and SDA are released.
std::string linesNotAtRest(const sim::SimulatedProgrammer& programmer);

// A byte the PC sent in one powered transfer, as the chip's fault counter numbers it.
struct SentByte {
  enum class Role { Device, Pointer, Data };
  Role role;
  std::uint8_t value;
};

// The bytes the PC sent during the n-th power-up (1 = the first) of the log, in order. The bytes
// a chip sends after a read device byte are not among them; the byte after a device byte is the
// word address or register (Pointer).
std::vector<SentByte> bytesSentInTransfer(const sim::WireLog& log, unsigned powerUp);

// Power-ups in the log.
unsigned powerUpCount(const sim::WireLog& log);

}  // namespace ccp::testkit
