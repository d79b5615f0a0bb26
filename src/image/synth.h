#pragma once

// The receiver's PLL synthesizer: channel frequency, spacing and chip to the control byte
// (EEP 0x47) and the divider and reference words (decoder 0x06-0x0B), and the stored divider
// back to the frequency text of the channel field.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "image/image.h"

namespace ccp {

inline constexpr int kSpacingCount = 5;  // "25KHz" "20KHz" "12.5KHz" "10KHz" "6.25KHz"
inline constexpr int kPllChipCount = 3;  // "SM5170" "KS8809" "FS8308"
inline constexpr std::size_t kFrequencyTextWidth = 9;

// Shown instead of a frequency when the stored words define none (unknown spacing or band
// code, no chip selected). It has the field's full width, so the exit rule does not pad it, and
// it is not a number, so leaving the field fails the conversion instead of encoding a made-up
// frequency.
inline constexpr std::string_view kNoFrequencyText = "---.-----";

enum class SynthStatus {
  Stored,       // control byte and all six words
  ControlOnly,  // no chip selected: control byte only, words unchanged
  // Refused: the image must not change.
  NoStep,                      // spacing index outside 0-4
  BelowIntermediateFrequency,  // would need a negative divider
  DividerTooLarge,             // divider does not fit the chip's layout
  BeyondField,                 // 1000 MHz or more: the channel field cannot show it
};

struct SynthEncoding {
  SynthStatus status = SynthStatus::NoStep;
  std::uint8_t control = 0;             // EEP 0x47, unless refused
  std::array<std::uint8_t, 6> words{};  // decoder 0x06-0x0B, when Stored
  std::int64_t divider = 0;             // N; 0 when refused
};

constexpr bool isRefused(SynthStatus s) {
  return s != SynthStatus::Stored && s != SynthStatus::ControlOnly;
}

// mhz: channel frequency; spacingIndex: `channelspace` item; pllIndex: `pll` item (-1 = none).
SynthEncoding encodeSynthesizer(double mhz, int spacingIndex, int pllIndex);

// Writes what the encoding produced; a refused encoding writes nothing.
void storeSynthesizer(Image& image, const SynthEncoding& encoding);

// The synthesizer bytes as the image holds them, and back.
SynthesizerBytes synthesizerBytes(const Image& image);
void putSynthesizerBytes(Image& image, const SynthesizerBytes& bytes);

// The frequency the stored divider stands for, as the channel field shows it: 9 characters,
// or kNoFrequencyText when the words define no frequency.
std::string decodeSynthesizer(std::uint8_t control, std::uint8_t b6, std::uint8_t b7,
                              std::uint8_t b8, int pllIndex);
std::string decodeSynthesizer(const Image& image, int pllIndex);

// General notation with up to 15 significant digits and at least three digits before the point
// (50.5 shows as "050.50000"), cut to the field width, then padded.
std::string formatFrequency(double mhz);

// Extends a frequency text to 9 characters: "." when it has exactly 3, "0" otherwise. Longer
// texts are returned unchanged.
std::string padFrequencyText(std::string_view text);

}  // namespace ccp
