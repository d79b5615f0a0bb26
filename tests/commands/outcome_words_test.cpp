// The lines the guard and a field's text stop a write with are lines an import knows a write
// ends with: the two are written apart, and must not drift.
#include <gtest/gtest.h>

#include "commands/holder_lines.h"
#include "files/outcome_lines.h"
#include "register/record_columns.h"
#include "shell/conversion.h"

namespace ccp {
namespace {

using namespace std::chrono_literals;

TEST(OutcomeWords, EveryLineAGuardOrAFieldEndsAWriteWithIsAWritesOutcome) {
  const WallTime now = wallTime(1796642700);  // 2026-12-07 11:25 UTC
  Record read;
  read.command = "read";
  read.station = "station-2";
  read.at = now - 48h;
  std::vector<std::string> lines = {twoRowsLine(2004017, 3, 1), integerErrorText("12 a"),
                                    floatErrorText("1,5")};
  for (const HolderState state : {HolderState::Claimed, HolderState::Held, HolderState::Failed}) {
    for (const Liveness writer : {Liveness::Alive, Liveness::Ended}) {
      for (const bool individual : {true, false}) {
        Refusal refusal;
        refusal.use = {1, 2004017, individual};
        Holder& hold = refusal.inTheWay;
        hold.capcode = 2004017;
        hold.row = 1;
        hold.individual = individual;
        hold.state = state;
        hold.station = "station at the door";
        hold.at = now - 25h;
        hold.writer = writer;
        if (state == HolderState::Held && !individual) hold.record = read;
        refusal.groupHolds = individual ? 0 : 2;
        lines.push_back(takenLine(refusal, now));
        hold.at = now - 1min;  // the same day: a claim says its time only
        lines.push_back(takenLine(refusal, now));
      }
    }
  }
  for (const std::string& line : lines) EXPECT_TRUE(isCommandOutcome("write", line)) << line;
}

}  // namespace
}  // namespace ccp
