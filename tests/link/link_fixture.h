#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

#include "link/programmer_link.h"
#include "sim/simulated_programmer.h"
#include "testkit/virtual_clock.h"

namespace ccp::testing {

using Eep = std::array<std::uint8_t, 512>;
using DecoderBytes = std::array<std::uint8_t, 48>;

inline Eep patternEep(std::uint8_t seed) {
  Eep bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 7 + seed + (i >> 8));
  return bytes;
}

inline DecoderBytes patternDecoder(std::uint8_t seed) {
  DecoderBytes bytes{};
  for (std::size_t i = 0; i < bytes.size(); ++i)
    bytes[i] = static_cast<std::uint8_t>(i * 13 + seed);
  return bytes;
}

// A link over the simulated Programmer on the virtual clock.
class LinkTest : public ::testing::Test {
 protected:
  testkit::VirtualClock clock;
  std::uint16_t base = kLpt1Base;
  sim::SimulatedProgrammer programmer{clock, kLpt1Base};
  ProgrammerLink link{programmer, clock, [this] { return base; }};

  EepromProtocol& eeprom() { return link.eeprom(); }
  DecoderProtocol& decoder() { return link.decoder(); }
  std::string wire() const { return sim::describe(programmer.wireLog()); }

  void expectLinesAtRest() const {
    const std::uint8_t data = programmer.dataRegister();
    EXPECT_EQ(data & 0x80, 0) << "enable line 1";
    EXPECT_EQ(data & 0x08, 0) << "enable line 3";
    EXPECT_NE(programmer.controlRegister() & 0x04, 0) << "enable line 2";
    EXPECT_NE(data & 0x02, 0) << "SCL";
    EXPECT_NE(data & 0x04, 0) << "SDA";
    EXPECT_FALSE(programmer.powered());
  }

  void expectNoViolations() const {
    for (const auto& v : programmer.violations()) ADD_FAILURE() << sim::describe(v);
  }
};

}  // namespace ccp::testing
