#include "link/eeprom_types.h"

#include "shell/conversion.h"

namespace ccp {

std::optional<EepChipType> eepChipType(std::string_view typeText) {
  int code = 0;
  try {
    code = toInt(typeText);
  } catch (const ConversionError&) {
    return std::nullopt;  // an unreadable type is refused like an unknown one
  }
  for (const EepChipType& type : kEepChipTypes)
    if (type.code == code) return type;
  return std::nullopt;
}

}  // namespace ccp
