#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <span>
#include <vector>

#include "link/wiring.h"
#include "ports/port_io.h"
#include "ports/time_source.h"
#include "sim/bus_engine.h"
#include "sim/decoder_chip.h"
#include "sim/eeprom_24c04.h"
#include "sim/timing_checker.h"
#include "sim/wire_log.h"

namespace ccp::sim {

// The Programmer with a pager plugged in, as seen through the three port registers at its
// base. The pager is powered while the enable lines are at their transfer levels; then its
// EEPROM and decoder listen to SCL and SDA of the data register and pull SDA, which status
// bit 6 shows. Status bit 5 shows the Programmer's presence. Every promised minimum of the
// line steps and pauses is checked against the time source; shortfalls are kept as
// violations, and so are enable lines switched out of their order and transfers closed in
// the wrong order for the chip they spoke to. Addresses outside the Programmer's registers
// read 0xFF and are remembered.
class SimulatedProgrammer : public PortIo {
 public:
  static constexpr std::uint64_t kStepNs = 30'000;
  static constexpr std::uint64_t kBusUpSettleNs = 500'000'000;

  explicit SimulatedProgrammer(const TimeSource& time, std::uint16_t base = kLpt1Base);

  bool obtainAccess() override { return accessGranted_; }
  // Another program may hold the port; claims nest.
  bool claim(std::uint16_t) override {
    ++claimsAsked_;
    if (heldElsewhere_) return false;
    ++claimsHeld_;
    return true;
  }
  void release(std::uint16_t) override { --claimsHeld_; }
  std::uint8_t in(std::uint16_t address) override;
  void out(std::uint16_t address, std::uint8_t value) override;
  bool signalSafe() const override { return false; }  // it records what it sees
  std::string portName(std::uint16_t) const override { return "simulated Programmer"; }

  // Faults.
  void setAccessGranted(bool granted) { accessGranted_ = granted; }
  void setHeldElsewhere(bool held) { heldElsewhere_ = held; }
  int claimsAsked() const { return claimsAsked_; }
  int claimsHeld() const { return claimsHeld_; }
  void setNoPager(bool noPager);  // the Programmer answers, nothing on the bus does
  void setNoPower(bool noPower);  // presence bit clear, nothing on the bus answers
  void setSdaStuckLow(bool stuck) { sdaStuckLow_ = stuck; }  // a shorted data line
  Eeprom24C04& eepromChip() { return eeprom_; }
  DecoderChip& decoderChip() { return decoder_; }

  // The pager's contents.
  std::span<const std::uint8_t, Eeprom24C04::kSize> eeprom() const { return eeprom_.memory(); }
  void setEeprom(std::span<const std::uint8_t, Eeprom24C04::kSize> bytes);
  std::span<const std::uint8_t, DecoderChip::kBlockSize> decoder() const {
    return decoder_.block();
  }
  void setDecoder(std::span<const std::uint8_t, DecoderChip::kBlockSize> bytes);

  // Registers as the port hardware holds them.
  std::uint8_t dataRegister() const { return data_; }
  std::uint8_t controlRegister() const { return control_; }
  void setDataRegister(std::uint8_t value) { data_ = value; }
  void setControlRegister(std::uint8_t value) { control_ = value; }
  bool powered() const { return powered_; }

  // What was seen.
  const WireLog& wireLog() const { return log_; }
  const std::vector<TimingViolation>& violations() const { return checker_.violations(); }
  std::uint64_t lineSteps() const { return steps_; }
  const std::set<std::uint16_t>& addressesUsed() const { return used_; }
  const std::set<std::uint16_t>& foreignAddresses() const { return foreign_; }
  void clearRecords();

 private:
  bool bit(std::uint8_t reg, Line line) const;
  std::uint8_t status() const;
  // Before the registers take the new values.
  void checkEnableOrder(std::uint8_t data, std::uint8_t control, std::uint64_t nowNs);
  void masterStep(std::uint64_t nowNs);
  void updatePower(std::uint64_t nowNs);
  void attachChips();

  const TimeSource& time_;
  std::uint16_t base_;
  bool accessGranted_ = true;
  bool heldElsewhere_ = false;
  int claimsAsked_ = 0;
  int claimsHeld_ = 0;
  bool noPager_ = false;
  bool noPower_ = false;
  bool sdaStuckLow_ = false;
  std::uint8_t data_ = 0x00;
  std::uint8_t control_ = 0x0C;

  WireLog log_;
  TimingChecker checker_;
  Eeprom24C04 eeprom_;
  DecoderChip decoder_;
  BusEngine engine_{log_, checker_};

  bool powered_ = false;
  bool linesOn_ = false;
  bool enable3_ = false;
  std::uint64_t linesOnNs_ = 0;
  std::uint64_t enable3Ns_ = 0;
  std::optional<std::uint64_t> lastStepNs_;
  bool firstStepChecked_ = true;
  std::uint64_t steps_ = 0;
  std::set<std::uint16_t> used_;
  std::set<std::uint16_t> foreign_;
};

}  // namespace ccp::sim
