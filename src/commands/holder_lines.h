#pragma once

// What both faces say about a capcode's holder: in the log when the guard refuses a capcode, on
// standard error or in a dialog beside it, and when the register is asked who holds a capcode.

#include <optional>
#include <string>

#include "register/register_types.h"

namespace ccp {

// "Capcode 2004017 was written on 2026-12-07 11:25 at station-2": why a capcode cannot be
// given, from who has it.
std::string takenLine(int capcode, const std::optional<Holder>& holder);

// The capcode's holder now: "is free", or takenLine() with the pager's serial number when the
// holder's record names one.
std::string holderLine(int capcode, const std::optional<Holder>& holder);

// After the guard refused the capcode: "nothing written: ..." and how to go on.
std::string howToGoOn(int capcode, const std::optional<Holder>& holder);

}  // namespace ccp
