#pragma once

#include <cstdint>
#include <functional>

#include "link/wiring.h"
#include "ports/clock.h"
#include "ports/port_io.h"
#include "ports/time_source.h"

namespace ccp {

// The port base current at the moment of each port access (the LPT1/LPT2 menu may change it
// between transfers).
using PortBase = std::function<std::uint16_t()>;

// The Programmer's lines over the port registers. Every operation reads the register, changes
// its own bit only and writes the value back: no shadow copy, no other bit touched.
class Lines {
 public:
  static constexpr unsigned kStepUs = 30;

  Lines(PortIo& port, Clock& clock, PortBase base);

  // Bus line steps: one bit change, then at least kStepUs before anything else happens.
  void SclHigh() { step(Line::Scl, true); }
  void SclLow() { step(Line::Scl, false); }
  void SdaHigh() { step(Line::SdaOut, true); }
  void SdaLow() { step(Line::SdaOut, false); }
  // Releases SDA (a step), then samples it: true when the bus data line is high.
  bool ReadSda();
  // Samples the bus data line as it is, without releasing it first.
  bool sdaSensed() { return levelOf(Line::SdaIn); }

  // Enable lines 1 and 2 to their transfer levels, and back to rest.
  void LinesOn();
  void LinesOff();
  void enable3(bool on) { drive(Line::Enable3, on ? Level::Set : Level::Clear); }

  // Status bit 5: the Programmer is connected and powered.
  bool programmerPresent();

  Clock& clock() { return clock_; }
  // Bus line steps performed so far (each worth kStepUs of waiting).
  std::uint64_t stepCount() const { return steps_; }

 private:
  void step(Line line, bool high);
  void drive(Line line, Level level);
  bool levelOf(Line line);
  std::uint16_t address(PortRegister reg) const;

  PortIo& port_;
  Clock& clock_;
  DeadlineClock* deadlineClock_;  // clock_ when it can wait until an instant, else null
  PortBase base_;
  std::uint64_t steps_ = 0;
};

}  // namespace ccp
