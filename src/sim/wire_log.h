#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace ccp::sim {

// What a logic analyser on the pager's bus sees, while the pager is powered.
struct WireEvent {
  enum class Kind : std::uint8_t { PowerUp, Start, Byte, Stop, PowerDown };
  Kind kind;
  std::uint8_t value = 0;  // Byte: the byte on the wire
  bool ack = false;        // Byte: acknowledged (SDA low in the ninth clock)
  std::uint64_t timeNs = 0;
};

using WireLog = std::vector<WireEvent>;

// "S 4E+ 0A+ P": start, bytes with + (acknowledged) or - (not), stop; power as "up"/"down".
std::string describe(const WireEvent& event);
std::string describe(const WireLog& log);

}  // namespace ccp::sim
