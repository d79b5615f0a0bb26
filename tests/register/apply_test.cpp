// Records that show what a pager has, applied to the holds: a read, a write made unguarded, a
// journal imported, on both engines.
#include <gtest/gtest.h>

#include "commands/outcome_lines.h"
#include "register/hold_book.h"
#include "register/hold_fixture.h"

namespace ccp {
namespace {

using test::pagerCommand;
using test::pagerWith;

using ApplyTest = test::HoldTest;

TEST(RecordOutcomes, AreTheLinesTheCommandsEndWith) {
  EXPECT_STREQ(kWrittenOutcome, kVerifiedLine);
  EXPECT_STREQ(kReadOutcome, kReadCompletedLine);
}

// Found on a second pager: the other keeps its hold, this one gets its own, and it is said.
TEST_P(ApplyTest, ARecordFindingAnotherPagersCapcodeIsAConflictAndMovesNothing) {
  const long long a = write("station-1", 0, pagerWith({1100000, 8}), std::nullopt, "SN-A");
  const struct {
    const char* command;
    PagerRows rows;
    std::size_t conflicts;
    const char* what;
  } cases[] = {
      {"read", pagerWith({1200000, 1100000}), 1, "a read found it on a second pager"},
      {"write", pagerWith({1100000}), 1, "written unguarded on a second pager"},
      {"read", pagerWith({1300000, 8}), 0, ""},  // a group capcode is shared
  };
  int second = 1;
  for (const auto& c : cases) {
    const long long id = reg().addRecord(
        pagerCommand(c.command, "station-2", second, c.rows, "SN-" + std::to_string(second)));
    const HoldOutcome outcome = reg().apply(id, {"station-2", test::at(second++), {}});
    ASSERT_EQ(outcome.conflicts.size(), c.conflicts) << c.command;
    if (c.conflicts == 0) continue;
    EXPECT_EQ(outcome.conflicts[0].what, c.what);
    EXPECT_EQ(outcome.conflicts[0].capcode, 1100000);
    EXPECT_EQ(outcome.conflicts[0].recordId, id);
    EXPECT_EQ(outcome.conflicts[0].otherRecordId, a);
    EXPECT_EQ(reg().apply(id, {"station-2", test::at(9), {}}).conflicts.size(), 0u)
        << "applied twice";
  }
  const auto holders = reg().holders(1100000);
  ASSERT_EQ(holders.size(), 3u);
  EXPECT_EQ(holders[0].record->id, a);  // still where it was
  EXPECT_EQ(reg().holders(8).size(), 2u);
  EXPECT_EQ(reg().conflicts().size(), 2u);
}

TEST_P(ApplyTest, ThePagersOwnHoldsGoWhenItNoLongerShowsThem) {
  const PagerRows first = pagerWith({1100000, 8, 1100001});
  const long long written = write("station-1", 0, first);
  const std::vector<std::string> before = states(1100000);
  const std::size_t events = reg().history(8).size();
  EXPECT_TRUE(read("station-1", 1, first).conflicts.empty());
  EXPECT_EQ(states(1100000), before) << "a read of what it holds changes nothing";
  EXPECT_EQ(reg().history(8).size(), events);

  // A pager that has the capcode in its row but not the rest of what the write gave may be
  // another pager: a duplicate to say, and nothing of the written one goes.
  const HoldOutcome another = read("station-1", 2, pagerWith({1100000, 0, 1100002}));
  ASSERT_EQ(another.conflicts.size(), 1u);
  EXPECT_EQ(another.conflicts[0].capcode, 1100000);
  EXPECT_EQ(states(8), std::vector<std::string>{"group held row 2 by " + std::to_string(written)});
  EXPECT_EQ(states(1100001).size(), 1u);

  // Once the duplicate is dealt with and resolved, the pager written unguarded after a whole read
  // that found it as written lets go what it no longer gives; the rest is the write's.
  reg().resolve(std::nullopt, 1100000, {"station-1", test::at(3), "the other pager is wiped"});
  Record unguarded = pagerCommand("write", "station-1", 3, pagerWith({1100016, 0, 1100001}));
  unguarded.pagerBefore = first;
  const long long id = reg().addRecord(unguarded);
  EXPECT_TRUE(reg().apply(id, {"station-1", test::at(3), {}}).conflicts.empty());
  EXPECT_TRUE(reg().holders(8).empty());
  EXPECT_EQ(reg().history(8).front().event, "dropped");
  EXPECT_EQ(states(1100016), std::vector<std::string>{"held row 1 by " + std::to_string(id)});
  EXPECT_EQ(states(1100001), std::vector<std::string>{"group held row 3 by " + std::to_string(id)});
  // The other pager's read keeps its own.
  EXPECT_EQ(states(1100000).size(), 1u);
}

TEST_P(ApplyTest, OnlyRecordsThatShowAPagerAreApplied) {
  Record failed = pagerCommand("write", "station-1", 0, pagerWith({1100000}));
  failed.outcome = "write error!";
  Record interrupted = pagerCommand("read", "station-1", 1, pagerWith({1100008}));
  interrupted.outcome = "Interrupted: the pager may be partly written";
  for (const Record& record : {failed, interrupted}) {
    EXPECT_TRUE(
        reg().apply(reg().addRecord(record), {"station-1", test::at(2), {}}).conflicts.empty());
  }
  EXPECT_TRUE(reg().holders(1100000).empty());
  EXPECT_TRUE(reg().holders(1100008).empty());
}

TEST_P(ApplyTest, ImportedWritesHoldTheirCapcodesInTimeOrderAndTheirTwinsAreConflicts) {
  const std::vector<Record> journal = {
      pagerCommand("write", "station-1", 20, pagerWith({1100000}), "SN-C"),  // a twin, later
      pagerCommand("write", "station-1", 0, pagerWith({1100000, 8}), "SN-A"),
      pagerCommand("write", "station-1", 10, pagerWith({1100008, 8}), "SN-B"),
      pagerCommand("write", "station-1", 30, pagerWith({1100008}), "SN-B"),  // B again
  };
  const Stamp by{"station-1", test::at(99), {}};
  const PagerRegister::Imported imported = reg().importRecords(journal, by);
  EXPECT_EQ(imported.added, 4u);
  // Nothing tells that a later write was of the same pager: each twin may be on a second one.
  ASSERT_EQ(imported.holds.conflicts.size(), 2u);
  EXPECT_EQ(imported.holds.conflicts[0].capcode, 1100000);
  EXPECT_EQ(imported.holds.conflicts[0].what, "imported: on a second pager");
  EXPECT_EQ(imported.holds.conflicts[1].capcode, 1100008);
  const auto idOf = [this](int second) {
    for (const Record& r : reg().records({})) {
      if (r.at == test::at(second)) return std::to_string(r.id);
    }
    return std::string("none");
  };
  EXPECT_EQ(states(1100000),
            (std::vector<std::string>{"held row 1 by " + idOf(0), "held row 1 by " + idOf(20)}));
  EXPECT_EQ(states(1100008),
            (std::vector<std::string>{"held row 1 by " + idOf(10), "held row 1 by " + idOf(30)}));
  EXPECT_EQ(states(8), (std::vector<std::string>{"group held row 2 by " + idOf(0),
                                                 "group held row 2 by " + idOf(10)}));
  // Taken in again, as another station (renamed since): nothing is there twice.
  std::vector<Record> renamed = journal;
  for (Record& r : renamed) r.station = "station-1b";
  EXPECT_EQ(reg().importRecords(renamed, {"station-1b", test::at(100), {}}).added, 0u);
  EXPECT_EQ(reg().countRecords({}), 4);
  // A later write of what the pager's whole read found first decides an older record of it.
  Record reprogrammed = pagerCommand("write", "station-1", 50, pagerWith({1100024, 8}), "SN-D");
  reprogrammed.pagerBefore = pagerWith({1100040, 8});
  reg().importRecords({reprogrammed}, by);
  const PagerRegister::Imported older = reg().importRecords(
      {pagerCommand("write", "station-1", 40, pagerWith({1100040, 8}), "SN-D")}, by);
  EXPECT_TRUE(older.holds.conflicts.empty());
  EXPECT_TRUE(states(1100040).empty());
}

TEST_P(ApplyTest, AClaimOfAJournalledWriteIsHeldByIt) {
  // The write claimed, then its record went to the journal: the server was away.
  leaveClaims("station-1", 5, {test::individual(1, 1100000)});
  leaveClaims("station-1", 200, {test::individual(1, 1100008)});  // too late to be its claim
  const Record written = pagerCommand("write", "station-1", 0, pagerWith({1100000}));
  Record other = pagerCommand("write", "station-1", 1, pagerWith({1100008}), "SN-B");
  const PagerRegister::Imported imported =
      reg().importRecords({written, other}, {"station-1", test::at(300), {}});
  EXPECT_EQ(imported.holds.heldClaims, std::vector<int>{1100000});
  const auto holders = reg().holders(1100000);
  ASSERT_EQ(holders.size(), 1u);
  EXPECT_EQ(holders[0].state, HolderState::Held);
  EXPECT_EQ(holders[0].record->at, test::at(0));
  EXPECT_EQ(states(1100008)[0], "claimed row 1 by station-1");
}

INSTANTIATE_TEST_SUITE_P(Engines, ApplyTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         test::engineName);

}  // namespace
}  // namespace ccp
