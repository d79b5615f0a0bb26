#pragma once

#include <cstdint>

#include "link/eeprom_types.h"
#include "link/progress.h"

namespace ccp {

// How long one reported stretch of a transfer lasts at the least: the pauses it asks for plus
// Lines::kStepUs for every line step. The stretch is cut as its progress reports see it: a
// lead before the first unit (a record, a page or a run of read bytes), equal units each ended
// by a report, and a tail after the last report.
struct StepTiming {
  std::uint64_t leadUs = 0;
  std::uint64_t unitUs = 0;
  int units = 0;
  std::uint64_t tailUs = 0;

  constexpr std::uint64_t totalUs() const {
    return leadUs + unitUs * static_cast<std::uint64_t>(units) + tailUs;
  }
  // Where the stretch stands once `done` units are reported.
  constexpr std::uint64_t atUnitUs(int done) const {
    return leadUs + unitUs * static_cast<std::uint64_t>(done);
  }
};

// The timing of a decoder step (the whole block of eight records).
StepTiming decoderStepTiming(LinkStep step);
// The timing of an EEPROM step of the given chip. A read transfer is one step; a write
// transfer is its write step followed by its verify step.
StepTiming eepromStepTiming(LinkStep step, const EepChipType& chip);
// Either of the above.
StepTiming linkStepTiming(LinkStep step, const EepChipType& chip);

}  // namespace ccp
