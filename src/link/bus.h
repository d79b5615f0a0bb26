#pragma once

#include <cstdint>

#include "link/lines.h"

namespace ccp {

// The I2C bit layer both pager chips are spoken to with. Every step is a line step of Lines,
// so each takes at least its 30 microseconds. Form A conditions serve the EEPROM and the bus
// opening and closing, form B the decoder.
class Bus {
 public:
  static constexpr unsigned kBusUpSettleMs = 500;  // enable line 3 on before any bus activity

  // Line steps each operation takes; they time whole transfers (link/transfer_time.h).
  static constexpr unsigned kStartSteps = 4;  // StartA and StartB alike
  static constexpr unsigned kStopASteps = 4;
  static constexpr unsigned kStopBSteps = 3;
  static constexpr unsigned kSendByteSteps = 8 * 3;     // data, clock high, clock low
  static constexpr unsigned kReceiveByteSteps = 8 * 4;  // release, clock high, sample, clock low
  static constexpr unsigned kGetAckSteps = 3;
  static constexpr unsigned kMasterAckSteps = 4;

  explicit Bus(Lines& lines) : lines_(lines) {}

  void StartA();
  void StopA();
  void StartB();
  void StopB();
  // Bit 7 first; leaves SDA at the level of the last bit and SCL low.
  void SendByte(std::uint8_t value);
  std::uint8_t ReceiveByte();
  // Clocks the acknowledge bit: true when the slave held SDA low.
  bool GetAck();
  void MasterAck();

  // Enable line 3 on, the settling pause, then a stop condition to put the bus in a known
  // state; and the reverse.
  void BusUp();
  void BusDown();

  Lines& lines() { return lines_; }

 private:
  Lines& lines_;
};

}  // namespace ccp
