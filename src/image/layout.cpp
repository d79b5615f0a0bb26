#include "image/layout.h"

namespace ccp {
namespace {

// Polarity normal, baud code 11, synthesizer words in the SM5170 layout (reference 256), then
// the six addresses 2004000 to 2004040, all enabled.
constexpr DecoderBlock kDefaultDecoderBlock = {
    0x00, 0x7F, 0x00, 0x00, 0x00, 0x00,              // polarity, baud rate, unused
    0x28, 0x58, 0x80, 0x01, 0x00, 0x11,              // divider and reference words
    0xF4, 0xF4, 0xF4, 0xF4, 0xF4, 0xF4,              // capcode bits 20-13
    0xA1, 0xA1, 0xA1, 0xA1, 0xA2, 0xA2,              // capcode bits 12-5
    0x06, 0x46, 0x86, 0xC6, 0x06, 0x46,              // capcode bits 4-0 and flags
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // unused
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

constexpr std::array<std::uint8_t, eep::kBuildIdSize> kBuildIdentification = {0x53, 0x04, 0x24};

// `pll` item index -> chip code: SM5170 0, KS8809 2, FS8308 1.
constexpr std::array<std::uint8_t, 4> kPllCodes = {0, 2, 1, 3};
constexpr std::uint8_t kUnknownPllCode = 3;

}  // namespace

const DecoderBlock& defaultDecoderBlock(const BuildConfig&) {
  return kDefaultDecoderBlock;
}

std::array<std::uint8_t, eep::kBuildIdSize> buildIdentification(const BuildConfig&) {
  return kBuildIdentification;
}

std::uint8_t pllChipCode(const BuildConfig&, int pllIndex) {
  if (pllIndex < 0 || pllIndex >= static_cast<int>(kPllCodes.size())) return kUnknownPllCode;
  return kPllCodes[pllIndex];
}

int pllItemIndex(const BuildConfig&, std::uint8_t chipCode) {
  return kPllCodes[chipCode & 3];
}

}  // namespace ccp
