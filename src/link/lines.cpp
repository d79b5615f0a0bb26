#include "link/lines.h"

#include <utility>

namespace ccp {

Lines::Lines(PortIo& port, Clock& clock, PortBase base)
    : port_(port),
      clock_(clock),
      deadlineClock_(dynamic_cast<DeadlineClock*>(&clock)),
      base_(std::move(base)) {}

std::uint16_t Lines::address(PortRegister reg) const {
  return static_cast<std::uint16_t>(base_() + static_cast<std::uint16_t>(reg));
}

void Lines::drive(Line line, Level level) {
  const LineWiring& w = wiringOf(line);
  const std::uint16_t at = address(w.reg);
  const std::uint8_t old = port_.in(at);
  const std::uint8_t value = level == Level::Set ? static_cast<std::uint8_t>(old | w.mask)
                                                 : static_cast<std::uint8_t>(old & ~w.mask);
  port_.out(at, value);
}

void Lines::step(Line line, bool high) {
  drive(line, high ? Level::Set : Level::Clear);
  ++steps_;
  if (deadlineClock_ != nullptr) {
    // The line has changed by the time out() returned: count the step from there.
    deadlineClock_->waitUntilNs(deadlineClock_->nowNs() + kStepUs * 1000ull);
  } else {
    clock_.waitUs(kStepUs);
  }
}

bool Lines::levelOf(Line line) {
  const LineWiring& w = wiringOf(line);
  return (port_.in(address(w.reg)) & w.mask) != 0;
}

bool Lines::ReadSda() {
  SdaHigh();
  return sdaSensed();
}

void Lines::LinesOn() {
  drive(Line::Enable2, wiringOf(Line::Enable2).inTransfer);
  drive(Line::Enable1, wiringOf(Line::Enable1).inTransfer);
}

void Lines::LinesOff() {
  drive(Line::Enable1, wiringOf(Line::Enable1).atRest);
  drive(Line::Enable2, wiringOf(Line::Enable2).atRest);
}

bool Lines::programmerPresent() {
  return levelOf(Line::Presence);
}

}  // namespace ccp
