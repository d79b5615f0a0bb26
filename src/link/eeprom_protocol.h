#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "link/bus.h"
#include "link/eeprom_types.h"
#include "link/progress.h"
#include "link/transfer_stop.h"

namespace ccp {

// Result codes of EepTransfer.
inline constexpr std::uint8_t kEepWriteFailed = 0;    // a data byte was not acknowledged
inline constexpr std::uint8_t kEepVerifyFailed = 1;   // written, read-back differs
inline constexpr std::uint8_t kEepWriteVerified = 2;  // written, read-back identical
inline constexpr std::uint8_t kEepReadDone = 3;
// Unknown type text or a buffer smaller than the chip: nothing was sent, the port untouched.
inline constexpr std::uint8_t kEepRefused = 4;
// Stopped on request after a page (a write may have been partly done) or before it began.
inline constexpr std::uint8_t kEepInterrupted = 5;

// Whole-memory transfer to and from the pager's 24C-series EEPROM.
class EepromProtocol {
 public:
  static constexpr std::uint8_t kDeviceWrite = 0xA0;
  static constexpr std::uint8_t kDeviceRead = 0xA1;
  static constexpr unsigned kLinesOnSettleMs = 200;  // enable lines 1 and 2 before line 3
  static constexpr unsigned kPageWriteMs = 30;       // the chip's internal write time
  static constexpr unsigned kAfterReadMs = 30;
  static constexpr unsigned kAfterLastPageMs = 10;
  static constexpr unsigned kReadReportBytes = 16;  // bytes between two progress reports

  explicit EepromProtocol(Bus& bus, TransferStop* stop = nullptr) : bus_(bus), stop_(stop) {}

  // Mode "R" or "r" reads the whole memory into buffer (result kEepReadDone); any other mode
  // writes buffer page by page and reads it back (kEepWriteFailed, kEepVerifyFailed or
  // kEepWriteVerified). The lines are back at rest afterwards, whatever the result. A stop
  // asked for ends the transfer after the current page (or run of read bytes): kEepInterrupted;
  // once the last page is written, the read-back runs to its end.
  std::uint8_t EepTransfer(std::string_view typeText, std::string_view modeText,
                           std::span<std::uint8_t> buffer, const Progress& progress = {});

 private:
  void EepAddress(unsigned chipSelect, unsigned address);
  bool EepReadCommand(unsigned chipSelect);
  bool stopHere() { return stop_ != nullptr && stop_->here(); }
  // Ends early, after a run of bytes, when a stop is asked for and it is `stoppable`.
  void EepReadAll(unsigned chipSelect, std::span<std::uint8_t> buffer, std::string_view step,
                  const Progress& progress, bool stoppable = true);
  bool EepWritePage(unsigned chipSelect, unsigned address, std::span<const std::uint8_t> page);
  bool EepWriteAll(unsigned chipSelect, std::span<const std::uint8_t> buffer,
                   const Progress& progress);

  Bus& bus_;
  TransferStop* stop_;
  EepChipType type_{};
};

}  // namespace ccp
