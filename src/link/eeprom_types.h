#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace ccp {

// How a 24C-series chip takes a memory address after its device byte.
enum class EepAddressing : std::uint8_t {
  OneByte,        // chip select in the device byte, one address byte
  BlockInDevice,  // address bits 8 and up in the device byte, one address byte
  TwoBytes,       // chip select in the device byte, high and low address bytes
};

struct EepChipType {
  int code;
  unsigned size;
  unsigned pageSize;
  EepAddressing addressing;
  std::uint8_t highAddressMask;  // bits of the high address byte used (TwoBytes only)
};

inline constexpr std::size_t kEepLargestSize = 8192;

inline constexpr std::array<EepChipType, 6> kEepChipTypes = {{
    {2, 256, 1, EepAddressing::OneByte, 0x00},
    {4, 512, 16, EepAddressing::BlockInDevice, 0x00},
    {8, 1024, 16, EepAddressing::BlockInDevice, 0x00},
    {16, 2048, 16, EepAddressing::BlockInDevice, 0x00},
    {32, 4096, 32, EepAddressing::TwoBytes, 0x0F},
    {64, 8192, 32, EepAddressing::TwoBytes, 0x1F},
}};

// The chip of a type code given as decimal text ("04" and "4" alike); none for a text that is
// not a number or a code outside the table.
std::optional<EepChipType> eepChipType(std::string_view typeText);

// The pager's EEPROM, a 24C04, by its type code.
inline constexpr std::string_view kPagerEepromType = "04";

}  // namespace ccp
