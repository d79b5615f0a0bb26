#pragma once

// The configuration image: the pager's EEPROM and decoder contents plus the two buffers that
// receive a read or a file load before it is checked.

#include "image/layout.h"

namespace ccp {

struct Image {
  EepBlock eep{};
  EepBlock eepRead{};
  DecoderBlock decoder{};
  DecoderBlock decoderRead{};

  Image() : Image(BuildConfig{}) {}
  explicit Image(const BuildConfig& config) : decoder(defaultDecoderBlock(config)) {}
};

// Copies the default decoder block of the build over the decoder block.
inline void resetDecoderBlock(Image& image, const BuildConfig& config = {}) {
  image.decoder = defaultDecoderBlock(config);
}

}  // namespace ccp
