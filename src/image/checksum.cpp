#include "image/checksum.h"

#include <numeric>

namespace ccp {

std::uint8_t imageChecksum(const EepBlock& eep) {
  unsigned sum = std::accumulate(eep.begin(), eep.begin() + eep::kChecksum, 0u);
  return static_cast<std::uint8_t>(sum);
}

void storeChecksum(EepBlock& eep) {
  eep[eep::kChecksum] = static_cast<std::uint8_t>(0xFF - imageChecksum(eep));
}

bool checksumOk(const EepBlock& eep) {
  return static_cast<std::uint8_t>(imageChecksum(eep) + eep[eep::kChecksum]) == 0xFF;
}

bool modelMatches(const BuildConfig& config, std::uint8_t marker) {
  Model other = isHebrewModel(config) ? Model::QPX730E : Model::QPX730H;
  return marker != modelMarker(other);
}

}  // namespace ccp
