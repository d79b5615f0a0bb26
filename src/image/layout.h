#pragma once

// Where every field of the configuration image lives, and the fixed bytes that go with a build.

#include <array>
#include <cstddef>
#include <cstdint>

#include "image/build_config.h"

namespace ccp {

inline constexpr std::size_t kEepSize = 512;
inline constexpr std::size_t kDecoderSize = 48;
inline constexpr std::size_t kFileSize = kEepSize + kDecoderSize;
// Bytes 0x00-0xFF of the EEP block form the settings record; the checksum covers only these.
inline constexpr std::size_t kSettingsRecordSize = 256;

using EepBlock = std::array<std::uint8_t, kEepSize>;
using DecoderBlock = std::array<std::uint8_t, kDecoderSize>;

inline constexpr int kAddressCount = 6;  // address rows n = 1..6
inline constexpr int kFolderCount = 16;  // message folders k = 0..15

inline constexpr std::uint8_t kModelMarkerQpx730E = 0x00;
inline constexpr std::uint8_t kModelMarkerQpx730H = 0x55;
constexpr std::uint8_t modelMarker(Model m) {
  return m == Model::QPX730H ? kModelMarkerQpx730H : kModelMarkerQpx730E;
}

// Offsets into the EEP block.
namespace eep {
inline constexpr std::size_t kModelMarker = 0x00;
inline constexpr std::size_t kSerial = 0x01;
inline constexpr std::size_t kSerialWidth = 8;
inline constexpr std::size_t kRangeTime = 0x09;
inline constexpr std::size_t kSpecialFlags = 0x0A;  // out-of-range, low battery, long times
inline constexpr std::size_t kTonePatternA = 0x0E;
inline constexpr std::size_t kTonePatternB = 0x10;
inline constexpr std::size_t kTonePatternC = 0x12;
inline constexpr std::size_t kTonePatternD = 0x14;
inline constexpr std::size_t kTonePatternPon = 0x16;
inline constexpr std::size_t kTonePatternLcell = 0x18;
inline constexpr std::size_t kTonePatternUcall = 0x1A;
inline constexpr std::size_t kTonePatternBytes = 2;  // four hex digits
inline constexpr std::size_t kUrgentCall = 0x1C;     // urgent call, type, display and alert times
inline constexpr std::size_t kLcdHoldTime = 0x1D;
inline constexpr std::size_t kMessageTypes = 0x1E;  // bit n-1: address n is public
inline constexpr std::size_t kLanguages = 0x1F;     // menu language high nibble, language low
inline constexpr std::size_t kContrast = 0x21;
inline constexpr std::size_t kDisplayFlags = 0x22;
inline constexpr std::size_t kPassword = 0x23;
inline constexpr std::size_t kPasswordWidth = 4;
inline constexpr std::size_t kCallFlags = 0x27;
inline constexpr std::size_t kAddrCheck = 0x28;
inline constexpr std::size_t kDataCheck = 0x29;
inline constexpr std::size_t kHelloMessage = 0x30;
inline constexpr std::size_t kHelloMessageWidth = 14;
inline constexpr std::size_t kChineseHeader = 0x44;
inline constexpr std::size_t kEngHeader = 0x45;
inline constexpr std::size_t kClearHeader = 0x46;
inline constexpr std::size_t kSynthControl = 0x47;  // spacing code high nibble, band code low
inline constexpr std::size_t kFolderTitles = 0x48;
inline constexpr std::size_t kFolderTitleWidth = 9;
inline constexpr std::size_t kFolderSlots = 0xD8;  // start and end slot per folder
inline constexpr std::size_t kFolderSlotsSize = 2 * kFolderCount;
inline constexpr std::size_t kFirmwareVersion = 0xF8;
inline constexpr std::size_t kSubversion = 0xF9;
inline constexpr std::size_t kChipFlags = 0xFA;  // urgent call mode, q-sound, PLL chip code
inline constexpr std::size_t kRepeatCallReject = 0xFB;
inline constexpr std::size_t kBuildId = 0xFC;
inline constexpr std::size_t kBuildIdSize = 3;
inline constexpr std::size_t kChecksum = 0xFF;

inline constexpr std::array<std::size_t, 7> kTonePatterns = {
    kTonePatternA,   kTonePatternB,     kTonePatternC,    kTonePatternD,
    kTonePatternPon, kTonePatternLcell, kTonePatternUcall};
// The control each tone pattern comes from, in the order of kTonePatterns.
inline constexpr std::array<const char*, 7> kTonePatternControls = {
    "tonepatternA",   "tonepatternB",     "tonepatternC",    "tonepatternD",
    "tonepatternPon", "tonepatternLcell", "tonepatternUcall"};

// Bytes the encoding never writes: they keep what the pager (or a cleared block) held.
inline constexpr std::array<std::size_t, 10> kPreserved = {0x0B, 0x0C, 0x0D, 0x20, 0x2A,
                                                           0x2B, 0x2C, 0x2D, 0x2E, 0x2F};

constexpr std::size_t addressFormat(int n) {
  return 0x3D + n;
}  // n = 1..6
constexpr std::size_t folderTitle(int k) {
  return kFolderTitles + kFolderTitleWidth * k;
}
constexpr std::size_t folderStart(int k) {
  return kFolderSlots + 2 * k;
}
constexpr std::size_t folderEnd(int k) {
  return kFolderSlots + 2 * k + 1;
}
}  // namespace eep

// Offsets into the decoder block.
namespace dec {
inline constexpr std::size_t kPolarity = 0x00;  // bit 7
inline constexpr std::size_t kBaudRate = 0x01;  // bits 5-4
inline constexpr std::uint8_t kBaudRateMask = 0x30;
inline constexpr std::size_t kDividerWord = 0x06;    // b6 b7 b8
inline constexpr std::size_t kReferenceWord = 0x09;  // b9 b10 b11
inline constexpr std::size_t kSynthWordsSize = 6;
inline constexpr std::uint8_t kAddressEnableBit = 0x02;
inline constexpr std::uint8_t kAddressDefaultBits = 0x05;  // kept when a flag byte is rebuilt

constexpr std::size_t capcodeHigh(int n) {
  return 0x0B + n;
}  // capcode bits 20-13
constexpr std::size_t capcodeMiddle(int n) {
  return 0x11 + n;
}  // capcode bits 12-5
constexpr std::size_t capcodeFlags(int n) {
  return 0x17 + n;
}  // bits 4-0, enable, defaults
}  // namespace dec

// Fixed bytes of a build. Both models share these values today; they stay functions of the
// build so that a model with its own constants changes nothing at the call sites.
const DecoderBlock& defaultDecoderBlock(const BuildConfig& config);
std::array<std::uint8_t, eep::kBuildIdSize> buildIdentification(const BuildConfig& config);

// PLL chip code of EEP 0xFA for a `pll` item index. The table is its own inverse. An index
// outside the table (no chip selected) gives code 3, which reads back as no known chip, so an
// unknown chip survives a decode-encode round trip.
std::uint8_t pllChipCode(const BuildConfig& config, int pllIndex);
int pllItemIndex(const BuildConfig& config, std::uint8_t chipCode);  // code taken modulo 4

}  // namespace ccp
