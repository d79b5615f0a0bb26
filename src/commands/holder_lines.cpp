#include "commands/holder_lines.h"

namespace ccp {

namespace {

std::string minuteText(WallTime at) {
  return shownTimeStamp(localTime(at), false);
}

}  // namespace

std::string takenLine(int capcode, const std::optional<Holder>& holder) {
  const std::string head = "Capcode " + std::to_string(capcode);
  if (!holder) return head + " is taken";
  if (holder->state == HolderState::Claimed) {
    return head + " is being written since " + minuteText(holder->at) + " at " + holder->station;
  }
  const bool recorded = holder->record.has_value();
  const WallTime at = recorded ? holder->record->at : holder->at;
  const std::string& station = recorded ? holder->record->station : holder->station;
  const std::string when = " on " + minuteText(at) + " at " + station;
  if (holder->state == HolderState::Failed) return head + " was in a write that failed" + when;
  if (recorded && holder->record->command == "read") return head + " was read from a pager" + when;
  return head + " was written" + when;
}

std::string holderLine(int capcode, const std::optional<Holder>& holder) {
  if (!holder) return "Capcode " + std::to_string(capcode) + " is free";
  const std::string serial = holder->record ? holder->record->serial : "";
  return takenLine(capcode, holder) + (serial.empty() ? "" : " (serial " + serial + ")");
}

std::string howToGoOn(int capcode, const std::optional<Holder>& holder) {
  const std::string number = std::to_string(capcode);
  if (holder && holder->state == HolderState::Claimed) {
    return "nothing written: capcode " + number + " is being written at " + holder->station +
           "; a claim left by a write that never ended is released by hand";
  }
  return "nothing written: release capcode " + number +
         ", or turn on \"Read pagers before writing\" to reprogram the same pager";
}

}  // namespace ccp
