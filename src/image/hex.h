#pragma once

// Tone patterns are kept as hex text in the window and as packed nibbles in the image.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace ccp {

// Reads 2 * out.size() characters of text as hex pairs, high nibble first. Digits and letters
// A-F in either case count; any other character, and every position past the end of the text,
// counts as 12 (0xC), so a short or garbled pattern still gives a definite byte.
void hexToBytes(std::string_view text, std::span<std::uint8_t> out);

// The first `count` characters of text as count / 2 bytes.
std::vector<std::uint8_t> hexToBytes(std::string_view text, std::size_t count);

// Two upper-case hex digits per byte, high nibble first.
std::string bytesToHex(std::span<const std::uint8_t> bytes);

}  // namespace ccp
