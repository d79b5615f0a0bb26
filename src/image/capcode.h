#pragma once

// A capcode: the 21-bit pager address, as the decoder stores it, as an address field shows it,
// and which values a pager may be given.
//
// A capcode is spread over three decoder bytes per address: bits 20-13, bits 12-5, and bits 4-0
// in the top of a flag byte that also carries the enable bit.

#include <cstdint>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "image/layout.h"

namespace ccp {

inline constexpr int kCapcodeMax = 2097151;  // 2^21 - 1, all the decoder bytes hold

// The capcodes a pager may be given: 8 on, without the two blocks of eight whose address
// codewords can look like the idle and the synchronisation codewords.
struct CapcodeRange {
  int first;
  int last;
};
inline constexpr CapcodeRange kCapcodeRanges[] = {
    {8, 2007663}, {2007672, 2045055}, {2045064, 2097143}};
inline constexpr int kHighestCapcode = 2097143;
static_assert(kHighestCapcode == std::end(kCapcodeRanges)[-1].last);

bool validCapcode(long long capcode);

// Digits of a capcode as an address field shows it.
inline constexpr int kCapcodeDigits = 7;
// At least kCapcodeDigits digits, leading zeros added.
std::string capcodeText(int capcode);
// A capcode's text as a number: one to nine digits and nothing else; nothing for an empty or
// garbled text.
std::optional<int> capcodeNumber(std::string_view text);

struct CapcodeBytes {
  std::uint8_t high;    // bits 20-13
  std::uint8_t middle;  // bits 12-5
  std::uint8_t low;     // bits 4-0 shifted into bits 7-3; bits 2-0 clear
};

// Keeps only bits 20-0 of the capcode; bits above are dropped, as the pager cannot hold them.
CapcodeBytes splitCapcode(int capcode);
int joinCapcode(std::uint8_t high, std::uint8_t middle, std::uint8_t flags);

struct DecoderAddress {
  int capcode = 0;
  bool enabled = false;
};

// Writes address n (1..6). The flag byte keeps its default bits 2 and 0, gets the enable bit
// and the low capcode bits; disabled addresses still store their capcode.
void writeAddress(DecoderBlock& decoder, int n, int capcode, bool enabled);
DecoderAddress readAddress(const DecoderBlock& decoder, int n);

}  // namespace ccp
