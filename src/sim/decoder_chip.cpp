#include "sim/decoder_chip.h"

namespace ccp::sim {

namespace {

constexpr std::uint8_t kDeviceWrite = 0x4E;
constexpr std::uint64_t kMs = 1'000'000;
constexpr std::uint8_t kSlotStep = 8;

// The pauses the programming transactions promise after each kind of transaction.
constexpr Pause kAfterRegister{4 * kMs, "pause after a decoder register"};
constexpr Pause kAfterRecordData{30 * kMs, "pause after a decoder record's data"};
constexpr Pause kAfterRecordStore{100 * kMs, "pause after a decoder record store"};
constexpr Pause kAfterRecordRead{10 * kMs, "pause after a decoder record read"};
constexpr std::uint64_t kBeforeDataByteNs = 40 * kMs;

}  // namespace

bool DecoderChip::addressedBy(std::uint8_t deviceByte) const {
  return (deviceByte & 0xFE) == kDeviceWrite;
}

bool DecoderChip::select(std::uint8_t deviceByte, std::uint64_t) {
  if (!acknowledge()) return false;
  reading_ = (deviceByte & 1) != 0;
  expectRegister_ = !reading_;
  refused_ = false;
  dataBytes_ = 0;
  return true;
}

bool DecoderChip::write(std::uint8_t byte) {
  if (!acknowledge()) {
    refused_ = true;
    return false;
  }
  if (expectRegister_) {
    pointer_ = byte;
    expectRegister_ = false;
    readIndex_ = 0;
  } else {
    ++dataBytes_;
    lastValue_ = byte;
    writeRegister(byte);
  }
  return true;
}

void DecoderChip::writeRegister(std::uint8_t value) {
  switch (pointer_) {
    case kModeRegister:
      if (mode_ == kModeStore && value == 0) storeRecord();
      if (value == kModeStore) stagedCount_ = 0;
      mode_ = value;
      break;
    case kSlotRegister:
      slot_ = value;
      readIndex_ = 0;
      break;
    case kDataRegister:
      if (mode_ == kModeStore && stagedCount_ < kRecordSize) staged_[stagedCount_++] = value;
      break;
    default:
      break;
  }
}

int DecoderChip::recordOfSlot() const {
  if (slot_ % kSlotStep != 0 || slot_ / kSlotStep >= kBlockSize / kRecordSize) return -1;
  return slot_ / kSlotStep;
}

void DecoderChip::storeRecord() {
  const int record = recordOfSlot();
  if (record < 0) return;
  for (std::size_t i = 0; i < stagedCount_; ++i) block_[record * kRecordSize + i] = staged_[i];
}

std::uint8_t DecoderChip::read() {
  switch (pointer_) {
    case kModeRegister:
      return mode_;
    case kSlotRegister:
      return slot_;
    case kDataRegister: {
      const int record = recordOfSlot();
      if (record < 0 || readIndex_ >= kRecordSize) return 0xFF;
      return block_[record * kRecordSize + readIndex_++];
    }
    default:
      return 0xFF;
  }
}

Pause DecoderChip::end(bool, std::uint64_t) {
  // A refused byte fails the transfer, which then closes without its pauses.
  if (refused_) return {};
  if (reading_) return kAfterRecordRead;
  if (pointer_ == kDataRegister && dataBytes_ > 0) return kAfterRecordData;
  if (pointer_ == kModeRegister && dataBytes_ > 0 && lastValue_ == 0) return kAfterRecordStore;
  return kAfterRegister;
}

std::uint64_t DecoderChip::gapBeforeByteNs(std::size_t byteIndex) const {
  return pointer_ == kDataRegister && byteIndex >= 2 ? kBeforeDataByteNs : 0;
}

const char* DecoderChip::closingRule(PowerOff how) const {
  return how == PowerOff::Line3First ? "decoder: enable lines 1/2 off before line 3" : nullptr;
}

void DecoderChip::powerUp() {
  SimChip::powerUp();
  mode_ = 0;
  stagedCount_ = 0;
  readIndex_ = 0;
}

}  // namespace ccp::sim
