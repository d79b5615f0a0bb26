#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "sim/sim_chip.h"
#include "sim/timing_checker.h"
#include "sim/wire_log.h"

namespace ccp::sim {

// Decodes the master's SCL and SDA changes into I2C conditions, bytes and acknowledges, runs
// the chips on them, drives SDA for the chips (open drain: the line is low when anyone pulls
// it low), logs the traffic and checks the pauses the chips need between transactions, and
// the closing order of each chip's transfer.
class BusEngine {
 public:
  BusEngine(WireLog& log, TimingChecker& checker) : log_(log), checker_(checker) {}

  void attach(SimChip& chip) { chips_.push_back(&chip); }

  // Power on with the master's lines as they are; the times of enable lines 1/2 and line 3.
  void powerUp(bool scl, bool sda, std::uint64_t linesOnNs, std::uint64_t enable3Ns,
               std::uint64_t nowNs);
  void powerDown(std::uint64_t nowNs, PowerOff how);
  // A master step (a write of SCL or SDA), before its change is applied.
  void masterStep(std::uint64_t nowNs);
  void masterLines(bool scl, bool sda, std::uint64_t nowNs);
  bool sda() const { return masterSda_ && chipSda_; }

 private:
  enum class Phase { Idle, Bits, Ack };

  void start(std::uint64_t nowNs);
  void stop(std::uint64_t nowNs);
  void endTransaction(bool stopped, std::uint64_t nowNs);
  void clockRise();
  void clockFall(std::uint64_t nowNs);
  void byteComplete(std::uint64_t nowNs);
  void logByte(std::uint64_t nowNs);
  void deviceByte(std::uint8_t value, std::uint64_t nowNs);
  void checkQuiet(std::uint64_t nowNs);
  void checkClosing(PowerOff how, std::uint64_t nowNs);

  WireLog& log_;
  TimingChecker& checker_;
  std::vector<SimChip*> chips_;
  std::vector<SimChip*> addressed_;  // chips spoken to since power-up
  bool powered_ = false;
  bool scl_ = true;
  bool masterSda_ = true;
  bool chipSda_ = true;

  Phase phase_ = Phase::Idle;
  int bitIndex_ = 0;
  std::uint8_t shift_ = 0;
  std::size_t byteIndex_ = 0;
  bool readMode_ = false;
  bool sending_ = false;  // the selected chip sends the bits of txByte_
  std::uint8_t txByte_ = 0;
  SimChip* active_ = nullptr;

  std::uint64_t linesOnNs_ = 0;
  std::uint64_t enable3Ns_ = 0;
  bool settleChecked_ = false;
  std::optional<std::uint64_t> ackEndNs_;  // ninth clock of the last byte fell
  std::optional<std::uint64_t> firstStepAfterAckNs_;
  std::optional<std::uint64_t> quietFromNs_;
  Pause quiet_;
};

}  // namespace ccp::sim
