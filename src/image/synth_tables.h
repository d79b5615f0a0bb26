#pragma once

// Constants of the synthesizer codec, shared by the encoder and the decoder.

#include <algorithm>
#include <array>
#include <cstdint>

namespace ccp::synth {

inline constexpr double kIntermediateMHz = 21.4;
inline constexpr std::int64_t kIntermediateHz = 21'400'000;
inline constexpr int kReferenceBaseKHz = 12800;

// Frequency step by spacing code (the `channelspace` item index). Every value is exact in
// binary, so the kHz step used by the encoder is stepHz / 1000.0 without loss.
inline constexpr std::array<int, 5> kStepHz = {12500, 10000, 6250, 5000, 3125};

struct Band {
  double fromMHz;  // lowest frequency of the band
  std::uint8_t code;
  int multiplier;
};
// Highest band first, so the first band whose start is reached wins.
inline constexpr std::array<Band, 3> kBands = {{{599.0, 2, 4}, {310.0, 1, 2}, {0.0, 0, 1}}};

// Each chip takes the divider and the reference as 24-bit words spread over three bytes, high
// byte first: divider word = N << dividerShift; reference word =
// (12800 div trunc(stepFactor * step kHz)) << referenceShift | referenceTail.
struct ChipLayout {
  int dividerShift;
  int stepFactor;
  int referenceShift;
  std::uint32_t referenceTail;
};
inline constexpr std::array<ChipLayout, 3> kChips = {{
    {7, 4, 8, 0x11},  // SM5170
    {1, 8, 4, 0x01},  // KS8809
    {2, 8, 5, 0x03},  // FS8308
}};

constexpr std::int64_t dividerLimit(const ChipLayout& chip) {
  return std::int64_t{1} << (24 - chip.dividerShift);
}
// Bound for a divider when no chip is selected: beyond it no chip could be tuned.
inline constexpr std::int64_t kWidestDividerLimit = [] {
  std::int64_t widest = 0;
  for (const ChipLayout& chip : kChips) widest = std::max(widest, dividerLimit(chip));
  return widest;
}();

// The frequency divider n tunes to, at the spacing's step in the band.
constexpr std::int64_t tunedHz(int spacingIndex, const Band& band, std::int64_t n) {
  return n * kStepHz[spacingIndex] * band.multiplier + kIntermediateHz;
}

// The channel field holds three digits before the point: a frequency of 1000 MHz or more cannot
// be shown, and cut to nine digits it would read as a different, impossible frequency.
inline constexpr std::int64_t kShownHzLimit = 1'000'000'000;

inline constexpr std::uint8_t kSpacingMask = 0xF0;
inline constexpr std::uint8_t kBandMask = 0x0F;

}  // namespace ccp::synth
