#pragma once

#include <array>
#include <cstdint>

namespace ccp {

struct Image {
  std::array<std::uint8_t, 512> eep{};
  std::array<std::uint8_t, 512> eepRead{};
  std::array<std::uint8_t, 48> decoder{};
  std::array<std::uint8_t, 48> decoderRead{};
};

}  // namespace ccp
