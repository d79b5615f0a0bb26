#include "link/decoder_protocol.h"

#include <algorithm>

namespace ccp {

namespace {

std::uint8_t slotOf(std::size_t record) {
  return static_cast<std::uint8_t>(record * kDecoderSlotStep);
}

void report(const Progress& progress, std::string_view step, std::size_t done) {
  if (progress) progress(step, static_cast<int>(done), static_cast<int>(kDecoderRecords));
}

}  // namespace

bool DecoderProtocol::DecoderSetRegister(std::uint8_t reg, std::uint8_t value) {
  bus_.StartB();
  bool ok = false;
  bus_.SendByte(kDecoderWriteAddress);
  if (bus_.GetAck()) {
    bus_.SendByte(reg);
    if (bus_.GetAck()) {
      bus_.SendByte(value);
      ok = bus_.GetAck();
    }
  }
  bus_.StopB();
  return ok;
}

bool DecoderProtocol::DecoderWriteRegisters(std::uint8_t reg, std::span<const std::uint8_t> bytes) {
  bus_.StartB();
  bool ok = false;
  bus_.SendByte(kDecoderWriteAddress);
  if (bus_.GetAck()) {
    bus_.SendByte(reg);
    ok = bus_.GetAck();
    for (std::size_t i = 0; ok && i < bytes.size(); ++i) {
      pause(kDataByteMs);
      bus_.SendByte(bytes[i]);
      ok = bus_.GetAck();
    }
  }
  bus_.StopB();
  return ok;
}

bool DecoderProtocol::DecoderReadBytes(std::span<std::uint8_t> destination) {
  Lines& lines = bus_.lines();
  bus_.StartB();
  bus_.SendByte(kDecoderReadAddress);
  const bool ok = bus_.GetAck();
  if (ok) {
    for (std::size_t i = 0; i < destination.size(); ++i) {
      destination[i] = bus_.ReceiveByte();
      // Acknowledge every byte but the last; the next ReceiveByte releases SDA again.
      const bool last = i + 1 == destination.size();
      if (last) {
        lines.SdaHigh();
      } else {
        lines.SdaLow();
      }
      lines.SclHigh();
      lines.SclLow();
    }
  }
  bus_.StopB();
  return ok;
}

bool DecoderProtocol::DecoderWriteRecord(const DecoderRecord& record) {
  if (!DecoderSetRegister(kModeRegister, kModeStore)) return false;
  pause(kRegisterMs);
  if (!DecoderSetRegister(kSlotRegister, record.slot)) return false;
  pause(kRegisterMs);
  if (!DecoderWriteRegisters(kDataRegister, record.data)) return false;
  pause(kRecordDataMs);
  if (!DecoderSetRegister(kModeRegister, kModeIdle)) return false;
  pause(kRecordStoreMs);
  return true;
}

bool DecoderProtocol::DecoderReadRecord(DecoderRecord& record) {
  if (!DecoderSetRegister(kSlotRegister, record.slot)) return false;
  pause(kRegisterMs);
  if (!DecoderWriteRegisters(kDataRegister, {})) return false;
  pause(kRegisterMs);
  if (!DecoderReadBytes(record.data)) return false;
  pause(kRecordReadMs);
  return true;
}

// A decoder transfer has no 200 ms pause before BusUp, and closes in the reverse order of an
// EEPROM transfer: enable lines 1 and 2 first, then the bus.
void DecoderProtocol::open() {
  bus_.lines().LinesOn();
  bus_.BusUp();
}

void DecoderProtocol::close() {
  bus_.lines().LinesOff();
  bus_.BusDown();
}

template <class Transfer>
bool DecoderProtocol::eachRecord(LinkStep step, const Progress& progress, Transfer&& transfer) {
  if (stopHere()) return false;
  const TransferScope scope(bus_.lines().clock());
  open();
  bool ok = true;
  for (std::size_t k = 0; ok && k < kDecoderRecords; ++k) {
    DecoderRecord record{slotOf(k), {}};
    ok = transfer(k, record);
    if (ok) report(progress, linkStepName(step), k + 1);
    if (ok && k + 1 < kDecoderRecords) ok = !stopHere();
  }
  close();
  return ok;
}

bool DecoderProtocol::DecoderWriteBlock(ConstBlock source, const Progress& progress) {
  return eachRecord(LinkStep::DecoderWrite, progress, [&](std::size_t k, DecoderRecord& record) {
    std::copy_n(source.begin() + k * kDecoderRecordSize, kDecoderRecordSize, record.data.begin());
    return DecoderWriteRecord(record);
  });
}

bool DecoderProtocol::DecoderReadBlock(Block destination, const Progress& progress) {
  return eachRecord(LinkStep::DecoderRead, progress, [&](std::size_t k, DecoderRecord& record) {
    if (!DecoderReadRecord(record)) return false;
    std::copy(record.data.begin(), record.data.end(), destination.begin() + k * kDecoderRecordSize);
    return true;
  });
}

bool DecoderProtocol::DecoderVerifyBlock(ConstBlock expected, const Progress& progress) {
  std::array<std::uint8_t, kDecoderBlockSize> actual{};
  if (!DecoderReadBlock(actual, progress)) return false;
  return std::equal(expected.begin(), expected.end(), actual.begin());
}

}  // namespace ccp
