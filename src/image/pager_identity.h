#pragma once

// What tells one programmed pager from another, taken from its configuration bytes: the serial
// number, the six capcodes with the rows that are on, and the channel frequency, as the window
// would show them.

#include <array>
#include <string>

#include "image/layout.h"

namespace ccp {

struct PagerIdentity {
  std::string serial;                               // trailing blanks removed
  std::array<std::string, kAddressCount> capcodes;  // seven digits each
  std::string frequency;                            // nine characters, as the channel field
  // The rows' address flags: the pager listens on the enabled rows only. Unknown: all.
  std::array<bool, kAddressCount> enabled{true, true, true, true, true, true};
};

PagerIdentity pagerIdentity(const BuildConfig& config, const EepBlock& eep,
                            const DecoderBlock& decoder);

}  // namespace ccp
