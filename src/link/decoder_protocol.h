#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "link/bus.h"
#include "link/progress.h"
#include "link/transfer_stop.h"

namespace ccp {

inline constexpr std::size_t kDecoderBlockSize = 48;
inline constexpr std::size_t kDecoderRecordSize = 6;
inline constexpr std::size_t kDecoderRecords = kDecoderBlockSize / kDecoderRecordSize;
inline constexpr std::uint8_t kDecoderSlotStep = 8;  // record k lives at slot 8k

// A record in transit: the slot address and its six data bytes.
struct DecoderRecord {
  std::uint8_t slot = 0;
  std::array<std::uint8_t, kDecoderRecordSize> data{};
};

// The register protocol of the pager's decoder chip. Every operation reports whether the
// decoder acknowledged all it was sent; the block operations also leave the lines at rest.
class DecoderProtocol {
 public:
  static constexpr std::uint8_t kDecoderWriteAddress = 0x4E;
  static constexpr std::uint8_t kDecoderReadAddress = 0x4F;
  static constexpr std::uint8_t kModeRegister = 0;
  static constexpr std::uint8_t kSlotRegister = 7;
  static constexpr std::uint8_t kDataRegister = 10;
  static constexpr std::uint8_t kModeStore = 2;  // mode while a record's data is written
  static constexpr std::uint8_t kModeIdle = 0;
  static constexpr unsigned kDataByteMs = 40;      // before every data byte
  static constexpr unsigned kRegisterMs = 4;       // after setting a register
  static constexpr unsigned kRecordDataMs = 30;    // after a record's data
  static constexpr unsigned kRecordStoreMs = 100;  // after the mode goes back to idle
  static constexpr unsigned kRecordReadMs = 10;

  explicit DecoderProtocol(Bus& bus, TransferStop* stop = nullptr) : bus_(bus), stop_(stop) {}

  using Block = std::span<std::uint8_t, kDecoderBlockSize>;
  using ConstBlock = std::span<const std::uint8_t, kDecoderBlockSize>;

  // The block operations end after the current record when a stop is asked for, and return
  // false.
  bool DecoderWriteBlock(ConstBlock source, const Progress& progress = {});
  // Records are copied as they arrive: after a failure at record k, destination holds the
  // records before k and nothing after them.
  bool DecoderReadBlock(Block destination, const Progress& progress = {});
  // A read transfer of its own, then a comparison; false on a failed read or any difference.
  bool DecoderVerifyBlock(ConstBlock expected, const Progress& progress = {});

  bool DecoderSetRegister(std::uint8_t reg, std::uint8_t value);
  // With no bytes it only sets the register pointer.
  bool DecoderWriteRegisters(std::uint8_t reg, std::span<const std::uint8_t> bytes);
  bool DecoderReadBytes(std::span<std::uint8_t> destination);
  bool DecoderWriteRecord(const DecoderRecord& record);
  bool DecoderReadRecord(DecoderRecord& record);

 private:
  void pause(unsigned ms) { bus_.lines().clock().waitMs(ms); }
  bool stopHere() { return stop_ != nullptr && stop_->here(); }
  void open();
  void close();
  // One transfer over the records in order, `transfer` taking each one's turn: the block
  // operations' frame of opening, progress, stops and closing.
  template <class Transfer>
  bool eachRecord(LinkStep step, const Progress& progress, Transfer&& transfer);

  Bus& bus_;
  TransferStop* stop_;
};

}  // namespace ccp
