#include "commands/holder_lines.h"

#include <algorithm>
#include <set>

#include "files/outcome_lines.h"

namespace ccp {

namespace {

std::string minuteText(WallTime at) {
  return shownTimeStamp(localTime(at), false);
}

// A claim's time: "18:20" on the day it is said, else with its date.
std::string clockText(WallTime at, WallTime now) {
  const std::string then = minuteText(at);
  const std::string today = minuteText(now);
  return then.substr(0, then.find(' ')) == today.substr(0, today.find(' '))
             ? then.substr(then.find(' ') + 1)
             : then;
}

std::string head(int capcode) {
  return "Capcode " + std::to_string(capcode);
}

// "written on 2026-12-07 11:25 at station-2", from the record that gave it when there is one.
std::string givenText(const Holder& hold) {
  const bool recorded = hold.record.has_value();
  const WallTime at = recorded ? hold.record->at : hold.at;
  const std::string& station = recorded ? hold.record->station : hold.station;
  const std::string when = "on " + minuteText(at) + " at " + station;
  if (hold.state == HolderState::Failed) return "in a write that failed " + when;
  if (recorded && hold.record->command == kReadCommand) return "read from a pager " + when;
  return "written " + when;
}

std::string serialText(const Holder& hold) {
  const std::string serial = hold.record ? hold.record->serial : "";
  return serial.empty() ? "" : " (serial " + serial + ")";
}

bool isClaim(const Holder& hold) {
  return hold.state == HolderState::Claimed;
}

std::string claimLine(const Holder& claim, WallTime now) {
  if (claim.writer == Liveness::Alive) {
    return head(claim.capcode) + " is being written since " + minuteText(claim.at) + " at " +
           claim.station;
  }
  return head(claim.capcode) + " was left by a write at " + claim.station + " that ended at " +
         clockText(claim.at, now) + ": the pager may hold it";
}

std::string groupLine(int capcode, int pagers, const Holder& newest) {
  return head(capcode) + " is a group capcode of " + std::to_string(pagers) +
         (pagers == 1 ? " pager (" : " pagers (") + givenText(newest) + ")";
}

std::string releaseIt(int) {
  return "Register > Release capcode...";
}

}  // namespace

bool isCarried(const Holder& hold) {
  return !hold.individual && hold.state == HolderState::Held;
}

const FaceWords& windowWords() {
  static const FaceWords words{"turn on \"Read pagers before writing\"", releaseIt,
                               "Register > Pager register"};
  return words;
}

std::string takenLine(const Refusal& refusal, WallTime now) {
  const Holder& hold = refusal.inTheWay;
  const int capcode = refusal.use.capcode;
  if (isClaim(hold)) return claimLine(hold, now);
  if (isCarried(hold)) return groupLine(capcode, std::max(refusal.groupHolds, 1), hold);
  return head(capcode) + " was " + givenText(hold);
}

std::string howToGoOn(const Refusal& refusal, const FaceWords& words, bool pagerReadFirst) {
  const Holder& hold = refusal.inTheWay;
  const int capcode = refusal.use.capcode;
  if (isClaim(hold) && hold.writer == Liveness::Alive) {
    return "nothing written: capcode " + std::to_string(capcode) + " is being written at " +
           hold.station;
  }
  if (isCarried(hold)) {
    return "nothing written: capcode " + std::to_string(capcode) +
           " is a group capcode of other pagers: an individual row needs a capcode of its own";
  }
  const bool certain = hold.state == HolderState::Held;
  const std::string giveAnew = "; to give it anew: " + words.release(capcode);
  if (pagerReadFirst) {
    return std::string("nothing written: the pager read first is not known as the one that ") +
           (certain ? "holds it" : "may hold it") + giveAnew;
  }
  return std::string("nothing written: to reprogram the pager that ") +
         (certain ? "holds it, " : "may hold it, ") + words.reprogram + giveAnew;
}

std::string twoRowsLine(int capcode, int row, int otherRow) {
  return head(capcode) + " is in row " + std::to_string(std::min(row, otherRow)) + " and row " +
         std::to_string(std::max(row, otherRow)) + ": an individual capcode goes in one row only";
}

std::string holdLine(const Holder& hold, WallTime now) {
  if (isClaim(hold)) return claimLine(hold, now);
  if (isCarried(hold)) {
    const bool read = hold.record && hold.record->command == kReadCommand;
    const WallTime at = hold.record ? hold.record->at : hold.at;
    return head(hold.capcode) + " is a group capcode in row " + std::to_string(hold.row) +
           " of a pager " + (read ? "read" : "written") + " on " + minuteText(at) + " at " +
           (hold.record ? hold.record->station : hold.station) + serialText(hold);
  }
  return head(hold.capcode) + " was " + givenText(hold) + serialText(hold);
}

std::vector<std::string> holderLines(int capcode, const std::vector<Holder>& holders,
                                     WallTime now) {
  if (holders.empty()) return {head(capcode) + " is free"};
  std::vector<std::string> lines;
  const Holder* newestCarried = nullptr;
  int carried = 0;
  for (const Holder& hold : holders) {
    if (!isCarried(hold)) {
      lines.push_back(holdLine(hold, now));
      continue;
    }
    ++carried;
    const auto at = [](const Holder& h) { return h.record ? h.record->at : h.at; };
    if (newestCarried == nullptr || at(hold) > at(*newestCarried)) newestCarried = &hold;
  }
  if (newestCarried != nullptr) lines.push_back(groupLine(capcode, carried, *newestCarried));
  return lines;
}

std::string liveClaimLine(const Holder& claim, WallTime now) {
  std::string where = claim.station;
  if (!claim.writerHost.empty() && claim.writerHost != claim.station) {
    where += " on " + claim.writerHost;
  }
  return "capcode " + std::to_string(claim.capcode) + " is being written at " + where + " since " +
         clockText(claim.at, now);
}

std::vector<std::string> holdOutcomeLines(const HoldOutcome& outcome, const FaceWords& words) {
  std::vector<std::string> lines;
  for (int capcode : outcome.heldClaims) {
    lines.push_back(head(capcode) + " is held now by the write that claimed it");
  }
  std::set<int> said;
  for (const Conflict& conflict : outcome.conflicts) {
    if (!said.insert(conflict.capcode).second) continue;
    lines.push_back(head(conflict.capcode) + " is on another pager too: see " + words.conflicts);
  }
  return lines;
}

}  // namespace ccp
