#pragma once

// The configuration image: the pager's EEPROM and decoder contents plus the two buffers that
// receive a read or a file load before it is checked.

#include <array>
#include <cstdint>
#include <optional>

#include "image/layout.h"

namespace ccp {

// The synthesizer control byte (EEP 0x47) and words (decoder 0x06-0x0B) of an image.
struct SynthesizerBytes {
  std::uint8_t control = 0;
  std::array<std::uint8_t, 6> words{};
};

struct Image {
  EepBlock eep{};
  EepBlock eepRead{};
  DecoderBlock decoder{};
  DecoderBlock decoderRead{};
  // The synthesizer bytes of the last image loaded, while they define no frequency that the
  // channel field can show and nothing has been encoded over them since: a save stores them back
  // as they were.
  std::optional<SynthesizerBytes> unshownSynthesizer;

  Image() : Image(BuildConfig{}) {}
  explicit Image(const BuildConfig& config) : decoder(defaultDecoderBlock(config)) {}
};

// Copies the default decoder block of the build over the decoder block.
inline void resetDecoderBlock(Image& image, const BuildConfig& config = {}) {
  image.decoder = defaultDecoderBlock(config);
}

}  // namespace ccp
