#include "link/bus.h"

namespace ccp {

void Bus::StartA() {
  lines_.SdaHigh();
  lines_.SclHigh();
  lines_.SdaLow();
  lines_.SclLow();
}

void Bus::StopA() {
  lines_.SclLow();
  lines_.SdaLow();
  lines_.SclHigh();
  lines_.SdaHigh();
}

void Bus::StartB() {
  lines_.SclHigh();
  lines_.SdaHigh();
  lines_.SdaLow();
  lines_.SclLow();
}

void Bus::StopB() {
  lines_.SdaLow();
  lines_.SclHigh();
  lines_.SdaHigh();
}

void Bus::SendByte(std::uint8_t value) {
  for (int bit = 7; bit >= 0; --bit) {
    if ((value >> bit) & 1) {
      lines_.SdaHigh();
    } else {
      lines_.SdaLow();
    }
    lines_.SclHigh();
    lines_.SclLow();
  }
}

std::uint8_t Bus::ReceiveByte() {
  unsigned value = 0;
  for (int i = 0; i < 8; ++i) {
    lines_.SdaHigh();
    lines_.SclHigh();
    value = (value << 1) | (lines_.ReadSda() ? 1u : 0u);
    lines_.SclLow();
  }
  return static_cast<std::uint8_t>(value);
}

bool Bus::GetAck() {
  lines_.SclHigh();
  const bool high = lines_.ReadSda();
  lines_.SclLow();
  return !high;
}

void Bus::MasterAck() {
  lines_.SdaLow();
  lines_.SclHigh();
  lines_.SclLow();
  lines_.SdaHigh();
}

void Bus::BusUp() {
  lines_.enable3(true);
  lines_.clock().sleepMs(kBusUpSettleMs);
  StopA();
}

void Bus::BusDown() {
  StopA();
  lines_.enable3(false);
}

}  // namespace ccp
