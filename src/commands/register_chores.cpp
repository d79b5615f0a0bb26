#include "commands/register_chores.h"

#include <chrono>

#include "commands/pager_commands.h"
#include "image/capcode.h"

namespace ccp {

namespace {

// A write claims its capcodes once its backup read, if any, is done: well within this.
constexpr auto kClaimAfterStart = std::chrono::minutes(1);

}  // namespace

std::vector<int> holdClaimsOfJournalledWrites(PagerRegister& reg,
                                              const std::vector<Record>& records, const Stamp& by) {
  std::vector<int> held;
  for (const Record& record : records) {
    if (record.command != "write" || record.outcome != kVerifiedLine ||
        record.station != by.station) {
      continue;
    }
    for (const std::string& text : record.capcodes) {
      const auto capcode = capcodeNumber(text);
      const auto holder = capcode ? reg.holder(*capcode) : std::nullopt;
      if (!holder || holder->state != HolderState::Claimed || holder->station != by.station ||
          holder->at < record.at || holder->at > record.at + kClaimAfterStart) {
        continue;
      }
      if (reg.move(HolderMove::Confirm, {*capcode}, by, reg.addRecord(record)).empty()) {
        held.push_back(*capcode);
      }
    }
  }
  return held;
}

std::optional<Holder> releaseCapcode(PagerRegister& reg, int capcode, const Stamp& by) {
  auto holder = reg.holder(capcode);
  if (holder) reg.move(HolderMove::Release, {capcode}, by);
  return holder;
}

}  // namespace ccp
