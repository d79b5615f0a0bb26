#pragma once

// What is done to the register by hand, beside the pager commands: a capcode released.

#include <optional>
#include <string>
#include <vector>

#include "register/pager_register.h"

namespace ccp {

// A release by hand as both faces tell it.
struct ReleaseReport {
  // A line for each hold that went: "Capcode 2004017 was written on ... (serial 1019)".
  std::vector<std::string> released;
  // A write still under way has the capcode, and nothing went: "capcode 1700000 is being
  // written at r1 since 18:20: nothing released". Only `force` releases it.
  std::optional<std::string> refused;
};

// Releases every hold of the capcode, with who did it, when and why in its history, closing
// its open conflicts. A claim whose write still runs is refused unless `force`.
ReleaseReport releaseByHand(PagerRegister& reg, int capcode, const Stamp& by, bool force);

}  // namespace ccp
