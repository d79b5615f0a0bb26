#include "link/eeprom_types.h"

#include <charconv>

namespace ccp {

std::optional<EepChipType> eepChipType(std::string_view typeText) {
  int code = 0;
  const char* end = typeText.data() + typeText.size();
  const auto [stop, error] = std::from_chars(typeText.data(), end, code);
  if (error != std::errc() || stop != end) return std::nullopt;  // refused like an unknown type
  for (const EepChipType& type : kEepChipTypes)
    if (type.code == code) return type;
  return std::nullopt;
}

}  // namespace ccp
