// Claims of whole writes, their settling, whether their writers still run, and releases by hand,
// on both engines.
#include <gtest/gtest.h>
#include <signal.h>

#include "register/hold_fixture.h"
#include "register/station_processes.h"

namespace ccp {
namespace {

using test::group;
using test::individual;
using test::pagerWith;

using HoldTest = test::HoldTest;

TEST_P(HoldTest, ClaimIsGrantedToOneStationAndNamesTheHolder) {
  const Writer first = newWriter("station-1");
  const PagerRows rows = pagerWith({2004017});
  ASSERT_TRUE(reg().claimWrite(rowUses(rows, {1}), first, test::at(0), std::nullopt).granted);
  const ClaimResult whileWriting =
      reg().claimWrite(rowUses(rows, {1}), newWriter("station-2"), test::at(5), std::nullopt);
  ASSERT_TRUE(!whileWriting.granted && whileWriting.holder);
  EXPECT_EQ(whileWriting.holder->state, HolderState::Claimed);
  EXPECT_EQ(whileWriting.holder->station, "station-1");
  EXPECT_EQ(whileWriting.holder->writer, Liveness::Alive);

  const long long id = reg().addRecord(test::pagerCommand("write", "station-1", 8, rows));
  reg().settle(first, WriteEnd::Verified, id, {"station-1", test::at(8), {}});
  const ClaimResult afterWrite =
      reg().claimWrite(rowUses(rows, {1}), newWriter("station-2"), test::at(9), std::nullopt);
  ASSERT_TRUE(!afterWrite.granted && afterWrite.holder && afterWrite.holder->record);
  EXPECT_EQ(afterWrite.holder->state, HolderState::Held);
  EXPECT_EQ(afterWrite.holder->record->id, id);
  EXPECT_EQ(afterWrite.holder->record->at, test::at(8));
}

TEST_P(HoldTest, AClaimIsRefusedByAnotherPagersHoldInItsWay) {
  write("station-1", 0, pagerWith({1100000}));           // held, individual
  write("station-1", 1, pagerWith({1100008, 1200000}));  // 1200000 carried, a group row
  const Writer writing = newWriter("station-1");         // a write under way
  ASSERT_TRUE(reg()
                  .claimWrite({individual(1, 1300000), group(2, 1400000)}, writing, test::at(2),
                              std::nullopt)
                  .granted);
  const Writer failing = newWriter("station-1");
  ASSERT_TRUE(
      reg().claimWrite({individual(1, 1500000)}, failing, test::at(3), std::nullopt).granted);
  const long long failed = reg().addRecord(test::pagerCommand("write", "station-1", 3, {}));
  reg().settle(failing, WriteEnd::Failed, failed, {"station-1", test::at(4), {}});

  const struct {
    int capcode;
    HolderState state;  // of the hold in the way
    bool individualRefused, groupRefused;
  } cases[] = {
      {1100000, HolderState::Held, true, true},    {1200000, HolderState::Held, true, false},
      {1300000, HolderState::Claimed, true, true}, {1400000, HolderState::Claimed, true, false},
      {1500000, HolderState::Failed, true, true},
  };
  for (const auto& c : cases) {
    for (const RowUse use : {individual(1, c.capcode), group(2, c.capcode)}) {
      const bool refused = use.individual ? c.individualRefused : c.groupRefused;
      const Writer other = newWriter("station-2");
      const ClaimResult result = reg().claimWrite({use}, other, test::at(9), std::nullopt);
      ASSERT_EQ(result.granted, !refused) << c.capcode << " row " << use.row;
      if (result.granted) {
        reg().settle(other, WriteEnd::Abandoned, std::nullopt, {"station-2", test::at(9), {}});
        continue;
      }
      ASSERT_TRUE(result.refusal && result.holder) << c.capcode;
      EXPECT_EQ(result.refusal->use, use);
      EXPECT_EQ(result.refusal->inTheWay.state, c.state) << c.capcode;
      EXPECT_EQ(result.holder->id, result.refusal->inTheWay.id);
      EXPECT_EQ(result.refusal->groupHolds, c.individualRefused && !c.groupRefused ? 1 : 0);
    }
  }
}

TEST_P(HoldTest, AWriteClaimsAllItsRowsOrNone) {
  write("station-1", 0, pagerWith({1100000}));
  const ClaimResult result =
      reg().claimWrite({individual(1, 1100016), group(2, 8), individual(3, 1100000)},
                       newWriter("station-2"), test::at(5), std::nullopt);
  ASSERT_FALSE(result.granted);
  EXPECT_EQ(result.refusal->use, individual(3, 1100000));  // the first row refused
  EXPECT_TRUE(reg().holders(1100016).empty());
  EXPECT_TRUE(reg().holders(8).empty());
  EXPECT_EQ(reg().history(1100016).size(), 0u);
}

// A pager read first, in the Programmer, may be written its own capcodes again: those that a
// verified write gave it, that a failed write may have given it, or that a write that died
// claimed for it; never those of a write still under way, nor another pager's.
TEST_P(HoldTest, TakeoverOnlyOfHeldOrFailedCapcodes) {
  write("station-1", 0, pagerWith({1700000}), std::nullopt, "SN-B");  // B: its own
  write("station-1", 1, pagerWith({1100000, 8}), std::nullopt, "SN-A");
  const PagerRows a = pagerWith({1100000, 8, 0, 0, 0, 1700000});  // A carries B's capcode
  ASSERT_EQ(read("station-1", 2, a, "SN-A").conflicts.size(), 1u);
  leaveClaims("station-1", 3, {individual(1, 1800000)});  // a write that died writing it
  const PagerRows c = pagerWith({1800000});
  const Writer failing = newWriter("station-1");
  ASSERT_TRUE(
      reg().claimWrite({individual(1, 1600000)}, failing, test::at(4), std::nullopt).granted);
  reg().settle(failing, WriteEnd::Failed,
               reg().addRecord(test::pagerCommand("write", "s", 4, pagerWith({1600000}))),
               {"station-1", test::at(5), {}});
  ASSERT_TRUE(reg()
                  .claimWrite({individual(1, 1500000)}, newWriter("station-1"), test::at(6),
                              std::nullopt)
                  .granted);  // under way

  const struct {
    const char* what;
    std::optional<PagerRows> inProgrammer;
    RowUse use;
    bool granted;
  } cases[] = {
      {"A again, its own capcode in its row", a, individual(1, 1100000), true},
      {"A, its own capcode moved to another row", a, individual(3, 1100000), true},
      {"A not read first", std::nullopt, individual(1, 1100000), false},
      {"a pager with B's capcode in another row", pagerWith({0, 1700000}), individual(1, 1700000),
       false},
      {"A, B's capcode that it carries in a group row", a, individual(1, 1700000), false},
      {"a pager with the ended claim's capcode in its row", c, individual(1, 1800000), true},
      {"the same, not read first", std::nullopt, individual(1, 1800000), false},
      {"the ended claim's capcode in another row", pagerWith({0, 1800000}), individual(2, 1800000),
       false},
      {"a pager that a failed write may have written", pagerWith({1600000}), individual(1, 1600000),
       true},
      {"a pager with the capcode of a write under way", pagerWith({1500000}),
       individual(1, 1500000), false},
  };
  for (const auto& c : cases) {
    const Writer writer = newWriter("station-2");
    EXPECT_EQ(reg().claimWrite({c.use}, writer, test::at(9), c.inProgrammer).granted, c.granted)
        << c.what;
    reg().settle(writer, WriteEnd::Abandoned, std::nullopt, {"station-2", test::at(9), {}});
  }
  // The pager that may hold the ended write's capcode, reprogrammed: its write takes it over.
  const long long id = write("station-2", 10, c, c);
  EXPECT_EQ(states(1800000), std::vector<std::string>{"held row 1 by " + std::to_string(id)});
  EXPECT_EQ(reg().history(1800000)[1].event, "taken over");
  EXPECT_EQ(reg().history(1800000)[1].note, "from claimed at station-1");
}

TEST_P(HoldTest, SettlingKeepsLetsFailOrGivesBackTheClaims) {
  const struct {
    WriteEnd end;
    bool recorded;
    std::vector<std::string> individualAfter, groupAfter;
  } cases[] = {
      {WriteEnd::Verified, true, {"held row 1"}, {"group held row 2"}},
      {WriteEnd::Failed, true, {"failed row 1"}, {"group failed row 2"}},
      {WriteEnd::Abandoned, true, {}, {}},
      {WriteEnd::Abandoned, false, {}, {}},
      {WriteEnd::Verified, false, {"claimed row 1"}, {"group claimed row 2"}},  // journalled
  };
  int capcode = 1100000;
  for (const auto& c : cases) {
    capcode += 8;
    const Writer writer = newWriter("station-1");
    const PagerRows rows = pagerWith({capcode, capcode + 1});
    ASSERT_TRUE(reg().claimWrite(rowUses(rows, {1}), writer, test::at(0), std::nullopt).granted);
    const auto id = c.recorded
                        ? std::optional(reg().addRecord(test::pagerCommand("write", "s", 0, rows)))
                        : std::nullopt;
    reg().settle(writer, c.end, id, {"station-1", test::at(1), {}});
    const auto strip = [](std::vector<std::string> found) {
      for (std::string& s : found) s = s.substr(0, s.find(" by "));
      return found;
    };
    EXPECT_EQ(strip(states(capcode)), c.individualAfter) << capcode;
    EXPECT_EQ(strip(states(capcode + 1)), c.groupAfter) << capcode;
    for (const Holder& h : reg().holders(capcode)) {
      EXPECT_EQ(h.writer, Liveness::Ended) << capcode;  // the write has ended
    }
  }
}

TEST_P(HoldTest, FailedClaimStaysUntilReleasedByHand) {
  const Writer writer = newWriter("station-1");
  const PagerRows rows = pagerWith({2004017});
  ASSERT_TRUE(reg().claimWrite(rowUses(rows, {1}), writer, test::at(0), std::nullopt).granted);
  const long long id = reg().addRecord(test::pagerCommand("write", "station-1", 8, rows));
  reg().settle(writer, WriteEnd::Failed, id, {"station-1", test::at(8), {}});
  reg().settle(writer, WriteEnd::Abandoned, std::nullopt, {"station-1", test::at(9), {}});
  read("station-2", 10, rows);  // the same pager: its capcode stays where it was
  EXPECT_EQ(reg().holder(2004017)->state, HolderState::Failed);
  EXPECT_FALSE(
      reg()
          .claimWrite(rowUses(rows, {1}), newWriter("station-2"), test::at(11), std::nullopt)
          .granted);

  const Stamp byHand{"station-2", test::at(60), "pager returned"};
  EXPECT_EQ(reg().release(2004017, byHand, false).released.size(), 1u);
  EXPECT_FALSE(reg().holder(2004017));
  const auto history = reg().history(2004017);
  std::vector<std::string> events;
  for (const HolderEvent& event : history) events.push_back(event.event);
  EXPECT_EQ(events, (std::vector<std::string>{"released", "failed", "claimed"}));  // newest first
  EXPECT_EQ(history[0].station, "station-2");
  EXPECT_EQ(history[0].at, test::at(60));
  EXPECT_EQ(history[0].note, "pager returned");
  EXPECT_EQ(history[1].recordId, id);
  EXPECT_TRUE(
      reg()
          .claimWrite(rowUses(rows, {1}), newWriter("station-2"), test::at(61), std::nullopt)
          .granted);
}

TEST_P(HoldTest, ReprogrammedPagerGivesUpWhatItNoLongerGets) {
  const PagerRows before = pagerWith({1100000, 8, 1100016});
  const long long first = write("station-1", 0, before);
  const Writer elsewhere = newWriter("station-2");
  ASSERT_TRUE(
      reg().claimWrite({individual(1, 1900000)}, elsewhere, test::at(1), std::nullopt).granted);
  const long long second = write("station-1", 5, pagerWith({1100008, 8, 1100016}), before);
  EXPECT_TRUE(reg().holders(1100000).empty());
  EXPECT_EQ(reg().history(1100000).front().event, "dropped");
  EXPECT_EQ(reg().history(1100000).front().recordId, first);
  const std::string by = " by " + std::to_string(second);
  EXPECT_EQ(states(1100008), std::vector<std::string>{"held row 1" + by});
  EXPECT_EQ(states(8), std::vector<std::string>{"group held row 2" + by});  // taken over
  EXPECT_EQ(states(1100016), std::vector<std::string>{"group held row 3" + by});
  EXPECT_EQ(states(1900000), std::vector<std::string>{"claimed row 1 by station-2"});
}

TEST_P(HoldTest, AClaimKnowsWhetherItsWriterStillRuns) {
  const Writer writing = newWriter("station-1");
  ASSERT_TRUE(
      reg().claimWrite({individual(1, 1100000)}, writing, test::at(0), std::nullopt).granted);
  const std::string location = location_;
  test::runStations(1, [&location](int, const test::Say&) {
    auto reg = openRegister(location);
    reg->claimWrite({individual(1, 1200000)}, newWriter("station-2"), test::at(1), std::nullopt);
    ::raise(SIGKILL);
  });
  EXPECT_TRUE(test::writersEnded(reg(), 1200000));
  const Holder killed = *reg().holder(1200000);
  EXPECT_EQ(killed.station, "station-2");
  EXPECT_EQ(killed.writerHost, thisHost());
  EXPECT_NE(killed.writerPid, ::getpid());
  EXPECT_EQ(reg().holder(1100000)->writer, Liveness::Alive);
  EXPECT_EQ(reg().holder(1100000)->writerPid, ::getpid());
  // As another station sees them.
  auto other = openRegister(location_);
  EXPECT_EQ(other->holder(1100000)->writer, Liveness::Alive);
  const auto claims = other->claims();
  ASSERT_EQ(claims.size(), 2u);
  EXPECT_EQ(claims[0].capcode, 1200000);  // newest first
  EXPECT_EQ(claims[0].writer, Liveness::Ended);
  const RegisterStatus status = other->status();
  EXPECT_EQ(status.claimsAlive, 1);
  EXPECT_EQ(status.claimsEnded, 1);
}

TEST_P(HoldTest, ALiveClaimIsReleasedOnlyByForceAndItsWriteLearnsOfIt) {
  const Writer writing = newWriter("station-1");
  const PagerRows rows = pagerWith({1100000});
  ASSERT_TRUE(reg().claimWrite(rowUses(rows, {1}), writing, test::at(0), std::nullopt).granted);
  auto other = openRegister(location_);
  const Stamp byHand{"station-2", test::at(5), "pager gone"};
  const ReleaseResult refused = other->release(1100000, byHand, false);
  EXPECT_TRUE(refused.released.empty());
  ASSERT_TRUE(refused.liveClaim);
  EXPECT_EQ(refused.liveClaim->station, "station-1");
  EXPECT_EQ(reg().holders(1100000).size(), 1u);

  const ReleaseResult forced = other->release(1100000, byHand, true);
  EXPECT_EQ(forced.released.size(), 1u);
  ASSERT_EQ(other->conflicts().size(), 1u);
  EXPECT_EQ(other->conflicts()[0].what, "released while being written at station-1");
  EXPECT_EQ(reg().history(1100000).front().event, "conflict");

  const long long id = reg().addRecord(test::pagerCommand("write", "station-1", 0, rows));
  const HoldOutcome settled =
      reg().settle(writing, WriteEnd::Verified, id, {"station-1", test::at(9), {}});
  EXPECT_EQ(settled.releasedWhileWritten, std::vector<int>{1100000});
  ASSERT_EQ(settled.conflicts.size(), 1u);
  EXPECT_EQ(settled.conflicts[0].what, "released while this pager was written");
  EXPECT_EQ(reg().records({})[0].note,
            "Capcode 1100000 was released while this pager was written: it may be on two pagers");
  EXPECT_EQ(states(1100000), std::vector<std::string>{"held row 1 by " + std::to_string(id)});
  EXPECT_EQ(reg().status().openConflicts, 2);
}

TEST_P(HoldTest, AReleaseTakesEveryHoldAndClosesTheConflicts) {
  write("station-1", 0, pagerWith({1100000}), std::nullopt, "SN-A");
  read("station-1", 1, pagerWith({0, 1100000}), "SN-B");  // found on a second pager
  ASSERT_EQ(reg().status().openConflicts, 1);
  const ReleaseResult released =
      reg().release(1100000, {"station-2", test::at(9), "sorted"}, false);
  EXPECT_EQ(released.released.size(), 2u);
  EXPECT_FALSE(released.liveClaim);
  EXPECT_TRUE(reg().holders(1100000).empty());
  EXPECT_EQ(reg().status().openConflicts, 0);
  const auto closed = reg().conflicts(true);
  ASSERT_EQ(closed.size(), 1u);
  EXPECT_EQ(closed[0].closedBy, "station-2");
  EXPECT_EQ(closed[0].note, "sorted");
  const auto history = reg().history(1100000);
  EXPECT_EQ(history[0].event, "released");
  EXPECT_EQ(history[0].note, "sorted");
  EXPECT_TRUE(reg().claimWrite({individual(1, 1100000)}, newWriter("s"), test::at(10), {}).granted);
}

TEST_P(HoldTest, StatusCountsClaimsFailedHoldsAndOpenConflicts) {
  ASSERT_TRUE(reg().claimWrite({individual(1, 1100000)}, newWriter("s"), test::at(0), {}).granted);
  leaveClaims("station-1", 1, {individual(1, 1200000), group(2, 8)});
  const Writer failing = newWriter("s");
  ASSERT_TRUE(reg().claimWrite({individual(1, 1300000)}, failing, test::at(2), {}).granted);
  reg().settle(failing, WriteEnd::Failed,
               reg().addRecord(test::pagerCommand("write", "s", 2, pagerWith({1300000}))),
               {"s", test::at(3), {}});
  write("station-1", 4, pagerWith({1400000}), std::nullopt, "SN-A");
  read("station-1", 5, pagerWith({0, 1400000}), "SN-B");
  read("station-1", 6, pagerWith({0, 0, 1400000}), "SN-C");
  const RegisterStatus status = reg().status();
  EXPECT_EQ(status.claimsAlive, 1);
  EXPECT_EQ(status.claimsEnded, 2);
  EXPECT_EQ(status.failed, 1);
  EXPECT_EQ(status.openConflicts, 2);
  EXPECT_EQ(reg().resolve(std::nullopt, 1400000, {"s", test::at(9), "checked"}).size(), 2u);
  EXPECT_EQ(reg().status().openConflicts, 0);
}

INSTANTIATE_TEST_SUITE_P(Engines, HoldTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         test::engineName);

}  // namespace
}  // namespace ccp
