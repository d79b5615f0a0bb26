#pragma once

// The pager keeps its messages in numbered slots; each active folder owns a contiguous run, the
// runs following one another in folder order. The table stores start and end slot per folder.

#include <array>
#include <cstdint>

#include "image/layout.h"

namespace ccp {

struct FolderSlot {
  bool active = false;
  int length = 0;  // slots; not read for an inactive folder, 0 when read back inactive
};

using FolderSlots = std::array<FolderSlot, kFolderCount>;
using FolderSlotTable = std::array<std::uint8_t, eep::kFolderSlotsSize>;

inline constexpr std::uint8_t kInactiveStart = 0xFF;
inline constexpr std::uint8_t kInactiveEnd = 0x00;

// All slot arithmetic is modulo 256, as the pager counts in bytes.
FolderSlotTable encodeFolderSlots(const FolderSlots& folders);

// Length is end - start + 1 on the unsigned bytes, so a damaged pair can read 0 or below, and
// an active folder of length 0 at slot 0 (end 0xFF) reads back as 256.
FolderSlots decodeFolderSlots(const FolderSlotTable& table);

void writeFolderSlots(EepBlock& eep, const FolderSlots& folders);
FolderSlots readFolderSlots(const EepBlock& eep);

}  // namespace ccp
