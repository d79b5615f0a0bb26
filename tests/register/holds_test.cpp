// Claims of whole writes, their settling, whether their writers still run, and releases by hand,
// on both engines. That no capcode ends on two pagers through any order of them is proved in
// tests/commands/guard_model_test.cpp; these pin what each call says and keeps.
#include <gtest/gtest.h>

#include "register/hold_fixture.h"

namespace ccp {
namespace {

using test::at;
using test::group;
using test::individual;
using test::pagerWith;

using HoldTest = test::HoldTest;

// A refused claim names the first hold in its way, and how many other pagers have the capcode
// in a group row: an individual row is refused by any hold, a group row by an individual one.
TEST_P(HoldTest, AClaimIsRefusedByTheHoldInItsWayAndNamesIt) {
  write("station-1", 0, pagerWith({1100000}), {}, "SN-A");
  write("station-1", 1, pagerWith({1100008, 1200000}), {}, "SN-B");    // 1200000 a group row
  claim("station-1", 2, {individual(1, 1300000), group(2, 1400000)});  // a write under way
  write("station-1", 3, pagerWith({1500000}), {}, "SN-C", WriteEnd::Failed);
  const struct {
    int capcode;
    const char* inTheWay;
    bool groupRefused;
  } cases[] = {
      {1100000, "held row 1 by SN-A", true},
      {1200000, "group held row 2 by SN-B", false},
      {1300000, "claimed row 1 by station-1 (running)", true},
      {1400000, "group claimed row 2 by station-1 (running)", false},
      {1500000, "failed row 1 by SN-C", true},
  };
  for (const auto& c : cases) {
    for (const RowUse use : {individual(1, c.capcode), group(2, c.capcode)}) {
      const Writer other = newWriter("station-2");
      const ClaimResult result = reg().claimWrite({use}, other, at(9), std::nullopt);
      reg().settle(other, WriteEnd::Abandoned, std::nullopt, {"station-2", at(9), {}});
      ASSERT_EQ(result.granted, !use.individual && !c.groupRefused) << c.capcode;
      if (result.granted) continue;
      ASSERT_TRUE(result.refusal) << c.capcode;
      EXPECT_EQ(result.refusal->use, use);
      EXPECT_EQ(test::holdText(result.refusal->inTheWay), c.inTheWay);
      EXPECT_EQ(result.refusal->groupHolds, c.groupRefused ? 0 : 1) << c.capcode;
    }
  }
  // What the refusal says of a write: when it was made.
  EXPECT_EQ(reg().holder(1100000)->record->at, at(0));
}

TEST_P(HoldTest, AWriteClaimsAllItsRowsOrNone) {
  write("station-1", 0, pagerWith({1100000}));
  const ClaimResult result =
      reg().claimWrite({individual(1, 1100016), group(2, 8), individual(3, 1100000)},
                       newWriter("station-2"), at(5), std::nullopt);
  ASSERT_FALSE(result.granted);
  EXPECT_EQ(result.refusal->use, individual(3, 1100000));  // the first row refused
  EXPECT_TRUE(reg().holders(1100016).empty());
  EXPECT_TRUE(reg().holders(8).empty());
  EXPECT_EQ(reg().history(1100016).size(), 0u);
}

// A pager read first, in the Programmer, may be written its own capcodes again: those that a
// verified write gave it, that a failed write may have given it, or that a write that died
// claimed for it; never those of a write still under way, nor another pager's (one carried in
// a group row: tests/commands/guard_holds_test.cpp).
TEST_P(HoldTest, TakeoverOnlyOfHeldOrFailedCapcodes) {
  write("station-1", 0, pagerWith({1100000}), {}, "SN-A");
  write("station-1", 1, pagerWith({1600000}), {}, "SN-B", WriteEnd::Failed);
  leaveClaims("station-1", 2, {individual(1, 1800000)});
  claim("station-1", 3, {individual(1, 1500000)});
  const struct {
    const char* what;
    std::optional<PagerRows> inProgrammer;
    RowUse use;
    bool granted;
  } cases[] = {
      {"its own capcode", pagerWith({1100000}), individual(1, 1100000), true},
      {"its own capcode, moved to another row", pagerWith({1100000}), individual(3, 1100000), true},
      {"its own capcode, not read first", std::nullopt, individual(1, 1100000), false},
      {"a failed write's capcode", pagerWith({1600000}), individual(1, 1600000), true},
      {"an ended write's capcode", pagerWith({1800000}), individual(1, 1800000), true},
      {"an ended write's capcode in another row", pagerWith({0, 1800000}), individual(2, 1800000),
       false},
      {"the capcode of a write under way", pagerWith({1500000}), individual(1, 1500000), false},
  };
  for (const auto& c : cases) {
    const Writer writer = newWriter("station-2");
    EXPECT_EQ(reg().claimWrite({c.use}, writer, at(9), c.inProgrammer).granted, c.granted)
        << c.what;
    reg().settle(writer, WriteEnd::Abandoned, std::nullopt, {"station-2", at(9), {}});
  }
  write("station-2", 10, pagerWith({1800000}), pagerWith({1800000}), "SN-C");
  EXPECT_EQ(states(1800000), std::vector<std::string>{"held row 1 by SN-C"});
  EXPECT_EQ(reg().history(1800000)[1].event, "taken over");
  EXPECT_EQ(reg().history(1800000)[1].note, "from claimed at station-1");
}

// A write that failed once it sent leaves its capcodes failed: neither its end nor a read of the
// pager frees them; a release by hand does, and the history keeps who did it and why.
TEST_P(HoldTest, FailedClaimStaysUntilReleasedByHand) {
  const PagerRows rows = pagerWith({2004017});
  const Writer writer = claim("station-1", 0, rowUses(rows, {1}));
  const long long id = reg().addRecord(test::pagerCommand("write", "station-1", 8, rows));
  reg().settle(writer, WriteEnd::Failed, id, {"station-1", at(8), {}});
  reg().settle(writer, WriteEnd::Abandoned, std::nullopt, {"station-1", at(9), {}});
  read("station-2", 10, rows);
  EXPECT_EQ(states(2004017), std::vector<std::string>{"failed row 1 by SN1"});

  reg().release(2004017, {"station-2", at(60), "pager returned"}, false);
  EXPECT_TRUE(states(2004017).empty());
  const auto history = reg().history(2004017);
  std::vector<std::string> events;
  for (const HolderEvent& event : history) events.push_back(event.event);
  EXPECT_EQ(events, (std::vector<std::string>{"released", "failed", "claimed"}));  // newest first
  EXPECT_EQ(history[0].station, "station-2");
  EXPECT_EQ(history[0].at, at(60));
  EXPECT_EQ(history[0].note, "pager returned");
  EXPECT_EQ(history[1].recordId, id);
}

// A pager written again after a whole read, guarded or not, lets go what it no longer gets,
// and only that.
TEST_P(HoldTest, ReprogrammedPagerGivesUpWhatItNoLongerGets) {
  claim("station-2", 0, {individual(1, 1900000)});
  for (const int own : {1100000, 1200000}) {
    const PagerRows before = pagerWith({own, 8});
    const long long first = write("station-1", 1, before);
    const PagerRows after = pagerWith({own + 8, 8});
    if (own == 1100000) {
      write("station-1", 5, after, before);
    } else {  // unguarded: the record alone tells
      Record unguarded = test::pagerCommand("write", "station-1", 5, after);
      unguarded.pagerBefore = before;
      EXPECT_TRUE(
          reg().apply(reg().addRecord(unguarded), {"station-1", at(5), {}}).conflicts.empty());
    }
    EXPECT_TRUE(states(own).empty()) << own;
    EXPECT_EQ(reg().history(own).front().event, "dropped");
    EXPECT_EQ(reg().history(own).front().recordId, first);
    EXPECT_EQ(states(own + 8), std::vector<std::string>{"held row 1 by SN1"});
  }
  EXPECT_EQ(states(8).size(), 2u);  // each pager's group capcode
  EXPECT_EQ(states(1900000), std::vector<std::string>{"claimed row 1 by station-2 (running)"});
}

// A claim knows whether its write may still be under way, as any station sees it: its writer
// runs, ended with the claim made, or ended with its record in the journal. The status counts them
// with the failed holds and the open conflicts.
TEST_P(HoldTest, AClaimKnowsWhetherItsWriterStillRunsAndTheStatusCountsThem) {
  claim("station-1", 0, {individual(1, 1100000)});
  leaveClaims("station-2", 1, {individual(1, 1200000)});
  const Writer journalled = claim("station-1", 2, {individual(1, 1300000)});
  reg().settle(journalled, WriteEnd::Verified, std::nullopt, {"station-1", at(2), {}});
  write("station-1", 3, pagerWith({1400000}), {}, "SN-A", WriteEnd::Failed);
  write("station-1", 4, pagerWith({1500000}), {}, "SN-B");
  read("station-1", 5, pagerWith({0, 1500000}), "SN-C");  // on a second pager
  ASSERT_TRUE(test::writersEnded(reg(), 1200000));

  auto other = openRegister(location_);
  std::vector<std::string> claims;
  for (const Holder& h : other->claims()) {
    claims.push_back(std::to_string(h.capcode) + " " + test::holdText(h));
  }
  EXPECT_EQ(claims, (std::vector<std::string>{"1400000 failed row 1 by SN-A",
                                              "1300000 claimed row 1 by station-1 (ended)",
                                              "1200000 claimed row 1 by station-2 (ended)",
                                              "1100000 claimed row 1 by station-1 (running)"}));
  const RegisterStatus status = other->status();
  EXPECT_EQ(status.claimsAlive, 1);
  EXPECT_EQ(status.claimsEnded, 2);
  EXPECT_EQ(status.failed, 1);
  EXPECT_EQ(status.openConflicts, 1);
}

INSTANTIATE_TEST_SUITE_P(Engines, HoldTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         test::engineName);

}  // namespace
}  // namespace ccp
