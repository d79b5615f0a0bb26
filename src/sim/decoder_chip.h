#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "sim/sim_chip.h"

namespace ccp::sim {

// The pager's decoder as its programming transactions see it. A write transaction names a
// register, then writes data to it; a read transaction sends from the register last named.
// Register 0 is the mode, 7 the slot address of a record (8k for record k), 10 the data.
// Data written to register 10 while the mode is 2 is gathered, and the record is stored in
// its slot when the mode goes back from 2 to 0 (only the bytes that arrived; a slot that is
// not a multiple of 8 below 64 stores nothing). Reading register 10 sends the record of the
// current slot byte by byte; naming a register or setting the slot starts the record over.
//
// Its numbers (device address, registers, mode, sizes, pauses) are its own copy of those the link
// sends by (link/decoder_protocol.h), kept apart on purpose: a simulator that took them from the
// code it checks would agree with that code's mistakes.
class DecoderChip : public SimChip {
 public:
  static constexpr std::size_t kBlockSize = 48;
  static constexpr std::size_t kRecordSize = 6;
  static constexpr std::uint8_t kModeRegister = 0;
  static constexpr std::uint8_t kSlotRegister = 7;
  static constexpr std::uint8_t kDataRegister = 10;
  static constexpr std::uint8_t kModeStore = 2;

  bool addressedBy(std::uint8_t deviceByte) const override;
  bool select(std::uint8_t deviceByte, std::uint64_t nowNs) override;
  bool write(std::uint8_t byte) override;
  std::uint8_t read() override;
  Pause end(bool stopped, std::uint64_t nowNs) override;
  std::uint64_t gapBeforeByteNs(std::size_t byteIndex) const override;
  // A transfer to the decoder takes enable lines 1 and 2 away before it closes its bus.
  const char* closingRule(PowerOff how) const override;
  void powerUp() override;

  std::span<const std::uint8_t, kBlockSize> block() const { return block_; }
  std::span<std::uint8_t, kBlockSize> block() { return block_; }

 private:
  void writeRegister(std::uint8_t value);
  void storeRecord();
  int recordOfSlot() const;

  std::array<std::uint8_t, kBlockSize> block_{};
  std::uint8_t mode_ = 0;
  std::uint8_t slot_ = 0;
  std::uint8_t pointer_ = 0;
  std::array<std::uint8_t, kRecordSize> staged_{};
  std::size_t stagedCount_ = 0;
  std::size_t readIndex_ = 0;

  // The transaction in progress, to tell which pause it needs.
  bool reading_ = false;
  bool expectRegister_ = false;
  bool refused_ = false;
  std::size_t dataBytes_ = 0;
  std::uint8_t lastValue_ = 0;
};

}  // namespace ccp::sim
