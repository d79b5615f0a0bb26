#include "sim/eeprom_24c04.h"

namespace ccp::sim {

namespace {
constexpr std::uint8_t kDeviceMask = 0xFC;  // 1010, pins A2 A1 tied low, block, read/write
constexpr std::uint8_t kDevice = 0xA0;
constexpr unsigned kTopPage = Eeprom24C04::kSize - Eeprom24C04::kPageSize;
}  // namespace

bool Eeprom24C04::addressedBy(std::uint8_t deviceByte) const {
  return (deviceByte & kDeviceMask) == kDevice;
}

bool Eeprom24C04::select(std::uint8_t deviceByte, std::uint64_t nowNs) {
  if (nowNs < busyUntilNs_) return false;  // still storing the last page
  if (!acknowledge()) return false;
  pageBuffer_.clear();
  refusedByte_ = false;
  reading_ = (deviceByte & 1) != 0;
  expectWordAddress_ = !reading_;
  if (expectWordAddress_) block_ = (deviceByte >> 1) & 1;
  return true;
}

bool Eeprom24C04::write(std::uint8_t byte) {
  if (!acknowledge()) {
    refusedByte_ = true;
    return false;
  }
  if (expectWordAddress_) {
    counter_ = block_ << 8 | byte;
    expectWordAddress_ = false;
    return true;
  }
  pageBuffer_.emplace_back(counter_, byte);
  const unsigned page = counter_ & ~(kPageSize - 1);
  counter_ = page | ((counter_ + 1) & (kPageSize - 1));
  return true;
}

std::uint8_t Eeprom24C04::read() {
  std::uint8_t value = memory_[counter_];
  if (counter_ == flip_.address) value ^= flip_.mask;
  counter_ = (counter_ + 1) % kSize;
  return value;
}

Pause Eeprom24C04::end(bool stopped, std::uint64_t nowNs) {
  const bool read = reading_;
  reading_ = false;
  if (stopped && read) return {kReadPauseNs, "pause after an EEPROM read"};
  // A repeated start aborts a page write; only a stop stores it.
  if (!stopped || pageBuffer_.empty()) {
    pageBuffer_.clear();
    return {};
  }
  const bool topPage = (pageBuffer_.front().first & ~(kPageSize - 1)) == kTopPage;
  for (const auto& [address, value] : pageBuffer_)
    if (address != stuck_) memory_[address] = value;
  pageBuffer_.clear();
  busyUntilNs_ = nowNs + kInternalWriteNs;
  // A page that ended on a refused byte fails the transfer, which then closes at once.
  if (refusedByte_) return {};
  if (topPage) return {kLastPagePauseNs, "pause after the last EEPROM page"};
  return {kPagePauseNs, "pause after an EEPROM page"};
}

const char* Eeprom24C04::closingRule(PowerOff how) const {
  return how == PowerOff::Lines12First ? "EEPROM: line 3 off before enable lines 1/2" : nullptr;
}

void Eeprom24C04::powerUp() {
  SimChip::powerUp();
  pageBuffer_.clear();
  expectWordAddress_ = false;
  reading_ = false;
  busyUntilNs_ = 0;
}

}  // namespace ccp::sim
