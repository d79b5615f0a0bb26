#include "commands/register_chores.h"

#include "commands/holder_lines.h"

namespace ccp {

ReleaseReport releaseByHand(PagerRegister& reg, int capcode, const Stamp& by, bool force) {
  const ReleaseResult result = reg.release(capcode, by, force);
  ReleaseReport report;
  if (result.liveClaim && result.released.empty()) {
    report.refused = liveClaimLine(*result.liveClaim, by.at) + ": nothing released";
  }
  for (const Holder& hold : result.released) report.released.push_back(holdLine(hold, by.at));
  return report;
}

}  // namespace ccp
