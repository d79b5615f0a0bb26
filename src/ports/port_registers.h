#pragma once

#include <cstdint>

namespace ccp {

// The legacy base addresses the menu's LPT1 and LPT2 stand for.
inline constexpr std::uint16_t kLpt1Base = 888;  // 0x378
inline constexpr std::uint16_t kLpt2Base = 632;  // 0x278

// Register offsets from the port base.
enum class PortRegister : std::uint8_t { Data = 0, Status = 1, Control = 2 };

}  // namespace ccp
