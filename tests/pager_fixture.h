#pragma once

#include <memory>
#include <string>

#include "app/default_pager.h"
#include "form_fixture.h"
#include "sim/simulated_programmer.h"
#include "testkit/virtual_clock.h"

namespace ccp::test {

// A started window on the simulated Programmer with a pager of the build's model plugged in,
// on the virtual clock: a whole write takes milliseconds.
struct PagerFixture {
  explicit PagerFixture(BuildConfig config = kE, std::uint16_t base = 888)
      : config(config), programmer(clock, base) {
    const PagerContents pager = defaultPagerContents(config);
    programmer.setEeprom(pager.eeprom);
    programmer.setDecoder(pager.decoder);
    form = std::make_unique<TForm1>(config, platform, programmer, clock);
  }

  TForm1& f() { return *form; }
  const std::vector<std::string>& lines() const { return form->log().lines(); }
  // The log lines since the given count.
  std::vector<std::string> linesSince(std::size_t count) const {
    return {lines().begin() + static_cast<std::ptrdiff_t>(count), lines().end()};
  }
  EepBlock pagerEeprom() const {
    EepBlock copy{};
    std::copy(programmer.eeprom().begin(), programmer.eeprom().end(), copy.begin());
    return copy;
  }
  DecoderBlock pagerDecoder() const {
    DecoderBlock copy{};
    std::copy(programmer.decoder().begin(), programmer.decoder().end(), copy.begin());
    return copy;
  }

  BuildConfig config;
  testkit::VirtualClock clock;
  sim::SimulatedProgrammer programmer;
  testkit::FakePlatform platform;
  std::unique_ptr<TForm1> form;
};

// Which chip each transfer spoke to, from the first device byte after each power-up: "D" for
// the decoder, "E" for the EEPROM.
inline std::string transferOrder(const sim::WireLog& log) {
  std::string order;
  bool fresh = false;
  for (const auto& e : log) {
    if (e.kind == sim::WireEvent::Kind::PowerUp) fresh = true;
    if (e.kind != sim::WireEvent::Kind::Byte || !fresh) continue;
    if ((e.value & 0xFE) == 0x4E) order += "D";
    if ((e.value & 0xF0) == 0xA0) order += "E";
    fresh = false;
  }
  return order;
}

}  // namespace ccp::test
