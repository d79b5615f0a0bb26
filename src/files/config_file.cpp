#include "files/config_file.h"

#include <algorithm>

namespace ccp {

ConfigFileBytes configFileBytes(const EepBlock& eep, const DecoderBlock& decoder) {
  ConfigFileBytes bytes{};
  std::copy(eep.begin(), eep.end(), bytes.begin());
  std::copy(decoder.begin(), decoder.end(), bytes.begin() + kEepSize);
  return bytes;
}

void splitConfigFile(std::span<const std::uint8_t> file, EepBlock& eep, DecoderBlock& decoder) {
  ConfigFileBytes bytes;
  bytes.fill(kPastEndByte);
  std::copy_n(file.begin(), std::min(file.size(), bytes.size()), bytes.begin());
  std::copy_n(bytes.begin(), kEepSize, eep.begin());
  std::copy_n(bytes.begin() + kEepSize, kDecoderSize, decoder.begin());
}

}  // namespace ccp
