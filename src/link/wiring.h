#pragma once

#include <array>
#include <cstdint>

#include "ports/port_registers.h"

namespace ccp {

enum class Line : std::uint8_t { Scl, SdaOut, SdaIn, Enable1, Enable2, Enable3, Presence };

// The level a line has: fixed, toggled by the bus traffic, or read by the PC.
enum class Level : std::uint8_t { Clear, Set, Toggles, Input };

struct LineWiring {
  Line line;
  PortRegister reg;
  std::uint8_t mask;
  Level inTransfer;
  Level atRest;
};

// The Programmer's lines. None is inverted by the port hardware, so a set bit is a high pin.
inline constexpr std::array<LineWiring, 7> kWiring = {{
    {Line::Scl, PortRegister::Data, 0x02, Level::Toggles, Level::Set},
    {Line::SdaOut, PortRegister::Data, 0x04, Level::Toggles, Level::Set},
    {Line::SdaIn, PortRegister::Status, 0x40, Level::Input, Level::Input},
    {Line::Enable1, PortRegister::Data, 0x80, Level::Set, Level::Clear},
    {Line::Enable2, PortRegister::Control, 0x04, Level::Clear, Level::Set},
    {Line::Enable3, PortRegister::Data, 0x08, Level::Set, Level::Clear},
    {Line::Presence, PortRegister::Status, 0x20, Level::Input, Level::Input},
}};

constexpr const LineWiring& wiringOf(Line line) {
  for (const LineWiring& w : kWiring)
    if (w.line == line) return w;
  return kWiring[0];  // unreachable: every line is in the table
}

}  // namespace ccp
