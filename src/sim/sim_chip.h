#pragma once

#include <cstddef>
#include <cstdint>

namespace ccp::sim {

// The pause a chip needs after a transaction before the bus may move again (or lose power).
struct Pause {
  std::uint64_t ns = 0;
  const char* rule = "";
};

// How the pager lost its supply at the end of a transfer: enable line 3 went off while enable
// lines 1 and 2 still held, the reverse, or otherwise (both at once, or the power failed).
enum class PowerOff : std::uint8_t { Line3First, Lines12First, Other };

// A slave chip on the simulated I2C bus.
class SimChip {
 public:
  virtual ~SimChip() = default;

  // The device byte is this chip's, whatever state it is in.
  virtual bool addressedBy(std::uint8_t deviceByte) const = 0;
  // A device byte of this chip: true when the chip acknowledges it.
  virtual bool select(std::uint8_t deviceByte, std::uint64_t nowNs) = 0;
  // A byte written to the selected chip: true when acknowledged.
  virtual bool write(std::uint8_t byte) = 0;
  // The next byte the selected chip sends.
  virtual std::uint8_t read() = 0;
  // A stop condition (stopped) or a repeated start ends the transaction.
  virtual Pause end(bool stopped, std::uint64_t nowNs) = 0;
  // Least time before byte number byteIndex (0 = device byte) of a write transaction.
  virtual std::uint64_t gapBeforeByteNs(std::size_t /*byteIndex*/) const { return 0; }
  // Least time between enable lines 1/2 and line 3 for a transfer to this chip.
  virtual std::uint64_t linesOnSettleNs() const { return 0; }
  // The order rule a transfer to this chip breaks by ending so; nullptr when it breaks none.
  virtual const char* closingRule(PowerOff /*how*/) const { return nullptr; }

  // Supply on: transaction state and the fault's byte count start afresh; the memory stays.
  virtual void powerUp() {
    bytesAcknowledged_ = 0;
    ++powerUps_;
  }
  virtual void powerDown() {}

  // Fault: the chip does not acknowledge its k-th byte (1 = the first device byte) counted
  // from power-up; 0 turns the fault off. With onPowerUp n (1 = the first transfer from now),
  // only that transfer fails; with 0, every one does.
  void failAckAtByte(unsigned k, unsigned onPowerUp = 0) {
    nackAtByte_ = k;
    nackPowerUp_ = onPowerUp == 0 ? 0 : powerUps_ + onPowerUp;
  }
  void setPresent(bool present) { present_ = present; }
  bool present() const { return present_; }

 protected:
  // Counts an acknowledge the chip would give; false when the fault refuses this one.
  bool acknowledge() {
    const bool armed = nackPowerUp_ == 0 || powerUps_ == nackPowerUp_;
    return ++bytesAcknowledged_ != nackAtByte_ || !armed;
  }

 private:
  unsigned bytesAcknowledged_ = 0;
  unsigned nackAtByte_ = 0;
  unsigned nackPowerUp_ = 0;
  unsigned powerUps_ = 0;
  bool present_ = true;
};

}  // namespace ccp::sim
