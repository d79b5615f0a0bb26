#include "sim/simulated_programmer.h"

#include <algorithm>

namespace ccp::sim {

namespace {

constexpr std::uint8_t kStepBits =
    wiringOf(Line::Scl).mask | wiringOf(Line::SdaOut).mask;  // bus lines of the data register

bool atLevel(std::uint8_t reg, Line line, Level level) {
  return ((reg & wiringOf(line).mask) != 0) == (level == Level::Set);
}

}  // namespace

SimulatedProgrammer::SimulatedProgrammer(const TimeSource& time, std::uint16_t base)
    : time_(time), base_(base) {
  attachChips();
}

void SimulatedProgrammer::attachChips() {
  engine_.attach(eeprom_);
  engine_.attach(decoder_);
}

void SimulatedProgrammer::setNoPager(bool noPager) {
  noPager_ = noPager;
  eeprom_.setPresent(!noPager);
  decoder_.setPresent(!noPager);
}

void SimulatedProgrammer::setNoPower(bool noPower) {
  noPower_ = noPower;
  updatePower(time_.nowNs());
}

void SimulatedProgrammer::setEeprom(std::span<const std::uint8_t, Eeprom24C04::kSize> bytes) {
  std::copy(bytes.begin(), bytes.end(), eeprom_.memory().begin());
}

void SimulatedProgrammer::setDecoder(std::span<const std::uint8_t, DecoderChip::kBlockSize> bytes) {
  std::copy(bytes.begin(), bytes.end(), decoder_.block().begin());
}

void SimulatedProgrammer::clearRecords() {
  log_.clear();
  checker_.clear();
  steps_ = 0;
  used_.clear();
  foreign_.clear();
}

bool SimulatedProgrammer::bit(std::uint8_t reg, Line line) const {
  return (reg & wiringOf(line).mask) != 0;
}

std::uint8_t SimulatedProgrammer::status() const {
  std::uint8_t value = 0;
  if (!noPower_) value |= wiringOf(Line::Presence).mask;
  const bool sda = powered_ ? engine_.sda() : bit(data_, Line::SdaOut);
  if (sda && !sdaStuckLow_) value |= wiringOf(Line::SdaIn).mask;
  return value;
}

std::uint8_t SimulatedProgrammer::in(std::uint16_t address) {
  used_.insert(address);
  const auto reg = static_cast<int>(address) - base_;
  switch (reg) {
    case static_cast<int>(PortRegister::Data):
      return data_;
    case static_cast<int>(PortRegister::Status):
      // Sampling SDA is a bus step too: the line must have settled for a step's time.
      if (powered_ && lastStepNs_)
        checker_.check("SDA sampled after a line step", *lastStepNs_, time_.nowNs(), kStepNs);
      return status();
    case static_cast<int>(PortRegister::Control):
      return control_;
    default:
      foreign_.insert(address);
      return 0xFF;
  }
}

void SimulatedProgrammer::out(std::uint16_t address, std::uint8_t value) {
  used_.insert(address);
  const std::uint64_t now = time_.nowNs();
  const auto reg = static_cast<int>(address) - base_;
  if (reg == static_cast<int>(PortRegister::Data)) {
    const std::uint8_t changed = data_ ^ value;
    checkEnableOrder(value, control_, now);
    data_ = value;
    if ((changed & ~kStepBits) == 0) {
      masterStep(now);
    } else {
      updatePower(now);
    }
  } else if (reg == static_cast<int>(PortRegister::Control)) {
    checkEnableOrder(data_, value, now);
    control_ = value;
    updatePower(now);
  } else if (reg != static_cast<int>(PortRegister::Status)) {
    foreign_.insert(address);
  }
}

// Enable line 2 goes to its transfer level before enable line 1 does, and leaves it after
// enable line 1 is back at rest: line 1 never holds its transfer level alone.
void SimulatedProgrammer::checkEnableOrder(std::uint8_t data, std::uint8_t control,
                                           std::uint64_t nowNs) {
  const Level on1 = wiringOf(Line::Enable1).inTransfer;
  const Level on2 = wiringOf(Line::Enable2).inTransfer;
  const bool line1On = atLevel(data, Line::Enable1, on1);
  const bool line2On = atLevel(control, Line::Enable2, on2);
  if (!line1On || line2On) return;
  if (!atLevel(data_, Line::Enable1, on1)) {
    checker_.outOfOrder("enable line 2 on before enable line 1", nowNs);
  } else if (atLevel(control_, Line::Enable2, on2)) {
    checker_.outOfOrder("enable line 1 off before enable line 2", nowNs);
  }
}

// A write of the data register that leaves the enable lines alone is one SCL or SDA step.
void SimulatedProgrammer::masterStep(std::uint64_t nowNs) {
  ++steps_;
  if (lastStepNs_) checker_.check("line step after line step", *lastStepNs_, nowNs, kStepNs);
  lastStepNs_ = nowNs;
  if (!powered_) return;
  if (!firstStepChecked_) {
    checker_.check("enable line 3 before bus activity", enable3Ns_, nowNs, kBusUpSettleNs);
    firstStepChecked_ = true;
  }
  engine_.masterStep(nowNs);
  engine_.masterLines(bit(data_, Line::Scl), bit(data_, Line::SdaOut), nowNs);
}

void SimulatedProgrammer::updatePower(std::uint64_t nowNs) {
  const bool linesOn = atLevel(data_, Line::Enable1, wiringOf(Line::Enable1).inTransfer) &&
                       atLevel(control_, Line::Enable2, wiringOf(Line::Enable2).inTransfer);
  const bool enable3 = atLevel(data_, Line::Enable3, wiringOf(Line::Enable3).inTransfer);
  if (linesOn && !linesOn_) linesOnNs_ = nowNs;
  if (enable3 && !enable3_) enable3Ns_ = nowNs;
  linesOn_ = linesOn;
  enable3_ = enable3;

  const bool powered = linesOn && enable3 && !noPower_;
  if (powered == powered_) return;
  powered_ = powered;
  if (powered) {
    firstStepChecked_ = false;
    engine_.powerUp(bit(data_, Line::Scl), bit(data_, Line::SdaOut), linesOnNs_, enable3Ns_, nowNs);
  } else {
    PowerOff how = PowerOff::Other;
    if (linesOn && !enable3) how = PowerOff::Line3First;
    if (!linesOn && enable3) how = PowerOff::Lines12First;
    engine_.powerDown(nowNs, how);
  }
}

}  // namespace ccp::sim
