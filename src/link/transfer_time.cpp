#include "link/transfer_time.h"

#include "link/bus.h"
#include "link/decoder_protocol.h"
#include "link/eeprom_protocol.h"
#include "link/lines.h"

namespace ccp {

namespace {

constexpr std::uint64_t steps(unsigned count) {
  return std::uint64_t{count} * Lines::kStepUs;
}
constexpr std::uint64_t ms(unsigned count) {
  return std::uint64_t{count} * 1000;
}

// A byte sent and its acknowledge clocked.
constexpr unsigned kByteOutSteps = Bus::kSendByteSteps + Bus::kGetAckSteps;
// The master's answer to each byte the decoder sends: SDA, clock high, clock low.
constexpr unsigned kDecoderByteAckSteps = 3;
// The last byte of an EEPROM read has no acknowledge, only a clock pulse.
constexpr unsigned kLastByteSteps = 2;

// Both chips' transfers bring the bus up and take it down again.
constexpr std::uint64_t kBusUpUs = ms(Bus::kBusUpSettleMs) + steps(Bus::kStopASteps);
constexpr std::uint64_t kBusDownUs = steps(Bus::kStopASteps);

// DecoderSetRegister: address, register and value.
constexpr std::uint64_t setRegisterUs() {
  return steps(Bus::kStartSteps + 3 * kByteOutSteps + Bus::kStopBSteps);
}

// DecoderWriteRegisters: address and register, then each data byte after its pause.
constexpr std::uint64_t writeRegistersUs(unsigned bytes) {
  return steps(Bus::kStartSteps + (2 + bytes) * kByteOutSteps + Bus::kStopBSteps) +
         bytes * ms(DecoderProtocol::kDataByteMs);
}

constexpr std::uint64_t readBytesUs(unsigned bytes) {
  return steps(Bus::kStartSteps + kByteOutSteps +
               bytes * (Bus::kReceiveByteSteps + kDecoderByteAckSteps) + Bus::kStopBSteps);
}

constexpr std::uint64_t writeRecordUs() {
  using D = DecoderProtocol;
  return 3 * setRegisterUs() + writeRegistersUs(kDecoderRecordSize) +
         ms(2 * D::kRegisterMs + D::kRecordDataMs + D::kRecordStoreMs);
}

constexpr std::uint64_t readRecordUs() {
  using D = DecoderProtocol;
  return setRegisterUs() + writeRegistersUs(0) + readBytesUs(kDecoderRecordSize) +
         ms(2 * D::kRegisterMs + D::kRecordReadMs);
}

// The start of an EEPROM transfer: enable lines 1 and 2, their settling pause, the bus up.
constexpr std::uint64_t kEepromOpenUs = ms(EepromProtocol::kLinesOnSettleMs) + kBusUpUs;

unsigned addressBytes(const EepChipType& chip) {
  return chip.addressing == EepAddressing::TwoBytes ? 3 : 2;
}

// EepReadAll: the address phase and the read command lead; each report follows a run of
// acknowledged bytes; the last byte goes unacknowledged before the stop and the pause.
StepTiming readAllTiming(const EepChipType& chip) {
  constexpr unsigned kRun = EepromProtocol::kReadReportBytes;
  StepTiming t;
  t.leadUs = steps(Bus::kStartSteps + addressBytes(chip) * kByteOutSteps + Bus::kStartSteps +
                   kByteOutSteps);
  t.unitUs = steps(kRun * (Bus::kReceiveByteSteps + Bus::kMasterAckSteps));
  t.units = static_cast<int>(chip.size / kRun);
  t.tailUs = steps(Bus::kStopASteps) + ms(EepromProtocol::kAfterReadMs) -
             steps(Bus::kMasterAckSteps - kLastByteSteps);
  return t;
}

// EepWriteAll: page by page, each with its address phase, a stop and the chip's write time.
StepTiming writeAllTiming(const EepChipType& chip) {
  StepTiming t;
  t.unitUs = steps(Bus::kStartSteps + (addressBytes(chip) + chip.pageSize) * kByteOutSteps +
                   Bus::kStopASteps) +
             ms(EepromProtocol::kPageWriteMs);
  t.units = static_cast<int>(chip.size / chip.pageSize);
  t.tailUs = ms(EepromProtocol::kAfterLastPageMs);
  return t;
}

}  // namespace

StepTiming decoderStepTiming(LinkStep step) {
  StepTiming t;
  t.leadUs = kBusUpUs;
  t.unitUs = step == LinkStep::DecoderWrite ? writeRecordUs() : readRecordUs();
  t.units = static_cast<int>(kDecoderRecords);
  t.tailUs = kBusDownUs;
  return t;
}

StepTiming eepromStepTiming(LinkStep step, const EepChipType& chip) {
  StepTiming t;
  switch (step) {
    case LinkStep::EepromRead:
      t = readAllTiming(chip);
      t.leadUs += kEepromOpenUs;
      t.tailUs += kBusDownUs;
      break;
    case LinkStep::EepromWrite:
      t = writeAllTiming(chip);
      t.leadUs += kEepromOpenUs;
      break;
    case LinkStep::EepromVerify:
      t = readAllTiming(chip);
      t.tailUs += kBusDownUs;
      break;
    default:
      break;
  }
  return t;
}

StepTiming linkStepTiming(LinkStep step, const EepChipType& chip) {
  switch (step) {
    case LinkStep::DecoderWrite:
    case LinkStep::DecoderRead:
      return decoderStepTiming(step);
    default:
      return eepromStepTiming(step, chip);
  }
}

}  // namespace ccp
