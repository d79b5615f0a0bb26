#include "image/folder_slots.h"

#include <algorithm>

namespace ccp {

FolderSlotTable encodeFolderSlots(const FolderSlots& folders) {
  FolderSlotTable table{};
  std::uint8_t counter = 0;
  for (int k = 0; k < kFolderCount; ++k) {
    std::uint8_t& start = table[2 * k];
    std::uint8_t& end = table[2 * k + 1];
    if (!folders[k].active) {
      start = kInactiveStart;
      end = kInactiveEnd;
      continue;
    }
    start = counter;
    end = static_cast<std::uint8_t>(start + folders[k].length - 1);
    counter = static_cast<std::uint8_t>(end + 1);
  }
  return table;
}

FolderSlots decodeFolderSlots(const FolderSlotTable& table) {
  FolderSlots folders{};
  for (int k = 0; k < kFolderCount; ++k) {
    int start = table[2 * k];
    int end = table[2 * k + 1];
    if (start == kInactiveStart) continue;
    folders[k] = {true, end - start + 1};
  }
  return folders;
}

void writeFolderSlots(EepBlock& eep, const FolderSlots& folders) {
  FolderSlotTable table = encodeFolderSlots(folders);
  std::copy(table.begin(), table.end(), eep.begin() + eep::kFolderSlots);
}

FolderSlots readFolderSlots(const EepBlock& eep) {
  FolderSlotTable table;
  std::copy_n(eep.begin() + eep::kFolderSlots, table.size(), table.begin());
  return decodeFolderSlots(table);
}

}  // namespace ccp
