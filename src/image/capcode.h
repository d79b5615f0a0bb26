#pragma once

// A 21-bit capcode is spread over three decoder bytes per address: bits 20-13, bits 12-5, and
// bits 4-0 in the top of a flag byte that also carries the enable bit.

#include <cstdint>

#include "image/layout.h"

namespace ccp {

inline constexpr int kCapcodeMax = 2097151;  // 2^21 - 1

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
