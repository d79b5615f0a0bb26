#pragma once

#include "image/build_config.h"
#include "image/image.h"

namespace ccp {

// What a freshly programmed pager of the build's model holds: the default settings encoded,
// the model marker set and the checksum stored. The simulated pager starts with it.
struct PagerContents {
  EepBlock eeprom{};
  DecoderBlock decoder{};
};
PagerContents defaultPagerContents(const BuildConfig& config);

}  // namespace ccp
