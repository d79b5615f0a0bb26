#pragma once

// What is done to the register by hand, beside the pager commands: a capcode released, the
// claims of writes whose records went to the journal settled once the journal is taken in.

#include <optional>
#include <vector>

#include "register/pager_register.h"

namespace ccp {

// The claims that this station's writes made while the register could not keep their records:
// a claim of `by.station` on a capcode that one of `records` (a journal's lines, taken in since)
// gave a pager by a verified write begun shortly before the claim is held by that record now.
// The capcodes so held.
std::vector<int> holdClaimsOfJournalledWrites(PagerRegister& reg,
                                              const std::vector<Record>& records, const Stamp& by);

// Releases a capcode by hand, whatever its state, with who did it, when and why in its history.
// Who had it; nothing when it was free, and nothing changes then.
std::optional<Holder> releaseCapcode(PagerRegister& reg, int capcode, const Stamp& by);

}  // namespace ccp
