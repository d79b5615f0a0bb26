#pragma once

// Integrity checks of an EEP block: the image checksum over the settings record and the model
// marker that tells the two pager models apart.

#include <cstdint>

#include "image/layout.h"

namespace ccp {

// Sum of bytes 0x00-0xFE modulo 256.
std::uint8_t imageChecksum(const EepBlock& eep);

// Stores the one's complement of the sum in byte 0xFF, just before the block is stored.
void storeChecksum(EepBlock& eep);

// Good when bytes 0x00-0xFF add up to 0xFF modulo 256; bytes 0x100 and up are not covered.
bool checksumOk(const EepBlock& eep);

// A marker of the other model is a mismatch; unknown markers pass.
bool modelMatches(const BuildConfig& config, std::uint8_t marker);

}  // namespace ccp
