#pragma once

// The configuration file: the EEP block followed by the decoder block, 560 bytes, no header.
// Only the first 256 bytes are covered by the image checksum.

#include <array>
#include <cstdint>
#include <span>

#include "image/layout.h"

namespace ccp {

using ConfigFileBytes = std::array<std::uint8_t, kFileSize>;

// What a read past the end of a file gives: a short file is completed with it.
inline constexpr std::uint8_t kPastEndByte = 0xFF;

ConfigFileBytes configFileBytes(const EepBlock& eep, const DecoderBlock& decoder);

// Spreads a file's bytes over the two read buffers; bytes after the first 560 are ignored.
void splitConfigFile(std::span<const std::uint8_t> file, EepBlock& eep, DecoderBlock& decoder);

}  // namespace ccp
