#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "sim/sim_chip.h"

namespace ccp::sim {

// A 24C04: 512 bytes in two blocks of 256, the block chosen by bit 1 of the device byte
// (0xA0/0xA1 the lower, 0xA2/0xA3 the upper). Writes gather in a 16-byte page buffer that
// wraps inside its page and is stored at the stop condition; while storing, the chip
// acknowledges nothing. A read continues from the address counter through the whole memory,
// block bit of the read device byte ignored, wrapping from 511 to 0; each acknowledge by the
// master makes the chip drive the next byte, so only a byte left unacknowledged lets a stop
// through.
class Eeprom24C04 : public SimChip {
 public:
  static constexpr std::size_t kSize = 512;
  static constexpr unsigned kPageSize = 16;
  static constexpr std::uint64_t kInternalWriteNs = 5'000'000;
  // What the transfer promises after each page: more than the chip needs.
  static constexpr std::uint64_t kPagePauseNs = 30'000'000;
  // After the top page, the last one a whole-memory write stores, 10 ms more before the
  // read-back.
  static constexpr std::uint64_t kLastPagePauseNs = kPagePauseNs + 10'000'000;
  static constexpr std::uint64_t kReadPauseNs = 30'000'000;
  static constexpr std::uint64_t kLinesOnSettleNs = 200'000'000;

  bool addressedBy(std::uint8_t deviceByte) const override;
  bool select(std::uint8_t deviceByte, std::uint64_t nowNs) override;
  bool write(std::uint8_t byte) override;
  std::uint8_t read() override;
  Pause end(bool stopped, std::uint64_t nowNs) override;
  std::uint64_t linesOnSettleNs() const override { return kLinesOnSettleNs; }
  // A transfer to the EEPROM closes its bus (enable line 3) before enable lines 1 and 2.
  const char* closingRule(PowerOff how) const override;
  void powerUp() override;

  std::span<const std::uint8_t, kSize> memory() const { return memory_; }
  std::span<std::uint8_t, kSize> memory() { return memory_; }

  // Faults: a bit flipped in every sending of one address; one address that stores nothing.
  void flipOnRead(unsigned address, std::uint8_t mask) { flip_ = {address, mask}; }
  void failStoreAt(std::optional<unsigned> address) { stuck_ = address; }

 private:
  struct Flip {
    unsigned address = 0;
    std::uint8_t mask = 0;
  };

  std::array<std::uint8_t, kSize> memory_{};
  unsigned counter_ = 0;  // address of the next byte read or written
  unsigned block_ = 0;
  bool expectWordAddress_ = false;
  bool reading_ = false;
  bool refusedByte_ = false;
  std::vector<std::pair<unsigned, std::uint8_t>> pageBuffer_;
  std::uint64_t busyUntilNs_ = 0;
  Flip flip_;
  std::optional<unsigned> stuck_;
};

}  // namespace ccp::sim
