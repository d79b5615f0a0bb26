#include "link/eeprom_protocol.h"

#include <algorithm>
#include <array>

namespace ccp {

namespace {

bool isReadMode(std::string_view mode) {
  return mode == "R" || mode == "r";
}

void report(const Progress& progress, std::string_view step, int done, int total) {
  if (progress) progress(step, done, total);
}

}  // namespace

std::uint8_t EepromProtocol::EepTransfer(std::string_view typeText, std::string_view modeText,
                                         std::span<std::uint8_t> buffer, const Progress& progress) {
  const std::optional<EepChipType> type = eepChipType(typeText);
  if (!type || buffer.size() < type->size) return kEepRefused;
  type_ = *type;
  const bool writing = !isReadMode(modeText);
  const auto memory = buffer.first(type_.size);
  if (stopHere()) return kEepInterrupted;

  Lines& lines = bus_.lines();
  const TransferScope transfer(lines.clock());
  lines.LinesOn();
  lines.clock().sleepMs(kLinesOnSettleMs);
  bus_.BusUp();

  std::uint8_t result = kEepReadDone;
  if (writing) {
    if (!EepWriteAll(0, memory, progress)) {
      result = kEepWriteFailed;
    } else {
      std::array<std::uint8_t, kEepLargestSize> readBack{};
      const auto back = std::span(readBack).first(type_.size);
      // Every page is written: the read-back runs to its end and tells how the write went.
      EepReadAll(0, back, linkStepName(LinkStep::EepromVerify), progress, false);
      result = std::equal(memory.begin(), memory.end(), back.begin()) ? kEepWriteVerified
                                                                      : kEepVerifyFailed;
    }
  } else {
    EepReadAll(0, memory, linkStepName(LinkStep::EepromRead), progress);
  }
  if (stop_ != nullptr && stop_->stopped()) result = kEepInterrupted;

  bus_.BusDown();
  lines.LinesOff();
  return result;
}

void EepromProtocol::EepAddress(unsigned chipSelect, unsigned address) {
  const auto low = static_cast<std::uint8_t>(address & 0xFF);
  const auto high = static_cast<std::uint8_t>(address >> 8);
  const auto select = static_cast<std::uint8_t>((chipSelect * 2) & 0x0E);
  bus_.StartA();
  // The chip's acknowledges of the address phase are clocked but not judged: a silent chip
  // shows up at the data bytes of a write and in the caller's checks of a read.
  switch (type_.addressing) {
    case EepAddressing::OneByte:
      bus_.SendByte(kDeviceWrite | select);
      bus_.GetAck();
      break;
    case EepAddressing::BlockInDevice:
      bus_.SendByte(static_cast<std::uint8_t>(kDeviceWrite | ((high << 1) & 0xFF)));
      bus_.GetAck();
      break;
    case EepAddressing::TwoBytes:
      bus_.SendByte(kDeviceWrite | select);
      bus_.GetAck();
      bus_.SendByte(high & type_.highAddressMask);
      bus_.GetAck();
      break;
  }
  bus_.SendByte(low);
  bus_.GetAck();
}

bool EepromProtocol::EepReadCommand(unsigned chipSelect) {
  bus_.StartA();  // SCL is low after the address phase: a repeated start
  bus_.SendByte(static_cast<std::uint8_t>(kDeviceRead | ((chipSelect * 2) & 0x0E)));
  return bus_.GetAck();
}

void EepromProtocol::EepReadAll(unsigned chipSelect, std::span<std::uint8_t> buffer,
                                std::string_view step, const Progress& progress, bool stoppable) {
  EepAddress(chipSelect, 0);
  EepReadCommand(chipSelect);
  const std::size_t last = buffer.size() - 1;
  const int chunks = static_cast<int>(buffer.size() / kReadReportBytes);
  bool stopped = false;
  for (std::size_t i = 0; i <= last && !stopped; ++i) {
    buffer[i] = bus_.ReceiveByte();
    const bool runEnds = (i + 1) % kReadReportBytes == 0;
    stopped = i != last && runEnds && stoppable && stopHere();
    if (i != last && !stopped) {
      bus_.MasterAck();
    } else {
      // No acknowledge after the last byte ends the sequential read.
      bus_.lines().SclHigh();
      bus_.lines().SclLow();
    }
    if (runEnds) report(progress, step, static_cast<int>((i + 1) / kReadReportBytes), chunks);
  }
  bus_.StopA();
  bus_.lines().clock().sleepMs(kAfterReadMs);
}

bool EepromProtocol::EepWritePage(unsigned chipSelect, unsigned address,
                                  std::span<const std::uint8_t> page) {
  EepAddress(chipSelect, address);
  for (std::uint8_t byte : page) {
    bus_.SendByte(byte);
    if (!bus_.GetAck()) return false;  // the closing BusDown sends the stop condition
  }
  bus_.StopA();
  bus_.lines().clock().sleepMs(kPageWriteMs);
  return true;
}

bool EepromProtocol::EepWriteAll(unsigned chipSelect, std::span<const std::uint8_t> buffer,
                                 const Progress& progress) {
  const unsigned pages = type_.size / type_.pageSize;
  for (unsigned i = 0; i < pages; ++i) {
    const unsigned at = i * type_.pageSize;
    if (!EepWritePage(chipSelect, at, buffer.subspan(at, type_.pageSize))) return false;
    report(progress, linkStepName(LinkStep::EepromWrite), static_cast<int>(i + 1),
           static_cast<int>(pages));
    if (i + 1 < pages && stopHere()) return false;
  }
  bus_.lines().clock().sleepMs(kAfterLastPageMs);
  return true;
}

}  // namespace ccp
