// Records that show what a pager has, applied to the holds: a read, a write made unguarded, a
// journal imported, on both engines.
#include <gtest/gtest.h>

#include "register/hold_fixture.h"

namespace ccp {
namespace {

using test::at;
using test::pagerCommand;
using test::pagerWith;

using ApplyTest = test::HoldTest;

// A record that finds another pager's individual capcode says so once, as a conflict, and the
// other pager keeps its hold. The pager itself, a group capcode, or a record that shows no
// pager finds none.
TEST_P(ApplyTest, ARecordFindingAnotherPagersCapcodeIsAConflictAndMovesNothing) {
  const PagerRows a = pagerWith({1100000, 8, 1100016});
  const long long written = write("station-1", 0, a, {}, "SN-A");
  const struct {
    const char* command;
    const char* outcome;  // none: the command's own
    PagerRows rows;
    const char* conflict;  // none: no conflict
  } cases[] = {
      {"read", nullptr, a, nullptr},
      {"read", nullptr, pagerWith({1200000, 1100000}), "a read found it on a second pager"},
      // Its capcode in its row, but not the rest that the write gave: another pager.
      {"read", nullptr, pagerWith({1100000, 0, 1100017}), "a read found it on a second pager"},
      {"write", nullptr, pagerWith({1100000}), "written unguarded on a second pager"},
      {"read", nullptr, pagerWith({1300000, 8}), nullptr},
      {"read", "Interrupted: the pager may be partly written", pagerWith({1100000}), nullptr},
      {"write", "write error!", pagerWith({1100000}), nullptr},
  };
  int second = 1;
  for (const auto& c : cases) {
    Record record = pagerCommand(c.command, "station-2", second, c.rows, "SN-A");
    if (c.outcome) record.outcome = c.outcome;
    const long long id = reg().addRecord(record);
    const HoldOutcome outcome = reg().apply(id, {"station-2", at(second++), {}});
    EXPECT_TRUE(reg().apply(id, {"station-2", at(9), {}}).conflicts.empty()) << "applied twice";
    ASSERT_EQ(outcome.conflicts.size(), c.conflict ? 1u : 0u) << pagerRowsText(c.rows);
    if (!c.conflict) continue;
    EXPECT_EQ(outcome.conflicts[0].what, c.conflict);
    EXPECT_EQ(outcome.conflicts[0].capcode, 1100000);
    EXPECT_EQ(outcome.conflicts[0].recordId, id);
    EXPECT_EQ(outcome.conflicts[0].otherRecordId, written);
  }
  EXPECT_EQ(states(1100000)[0], "held row 1 by SN-A");  // still the written pager's
  EXPECT_EQ(reg().history(1100016).size(), 2u);  // claimed and held: the reads changed nothing
}

// A journal's writes are applied in time order: nothing tells that a later write of a capcode
// was of the same pager, so it may be on a second one. Taken in again, by the station under
// another name, nothing is there twice.
TEST_P(ApplyTest, ImportedWritesHoldTheirCapcodesInTimeOrderAndTheirTwinsAreConflicts) {
  std::vector<Record> journal = {
      pagerCommand("write", "station-1", 20, pagerWith({1100000}), "SN-B"),
      pagerCommand("write", "station-1", 0, pagerWith({1100000, 8}), "SN-A"),
  };
  const PagerRegister::Imported imported = reg().importRecords(journal, {"station-1", at(99), {}});
  EXPECT_EQ(imported.added, 2u);
  ASSERT_EQ(imported.holds.conflicts.size(), 1u);
  EXPECT_EQ(imported.holds.conflicts[0].what, "imported: on a second pager");
  EXPECT_EQ(imported.holds.conflicts[0].recordId, reg().records({})[0].id);  // the later one
  EXPECT_EQ(states(1100000),
            (std::vector<std::string>{"held row 1 by SN-A", "held row 1 by SN-B"}));

  for (Record& r : journal) r.station = "station-1b";
  EXPECT_EQ(reg().importRecords(journal, {"station-1b", at(100), {}}).added, 0u);
  EXPECT_EQ(reg().countRecords({}), 2);
}

// The write claimed, then its record went to the journal as the server was away: imported, it
// holds its claim; a claim made too long after it began is another write's.
TEST_P(ApplyTest, AClaimOfAJournalledWriteIsHeldByIt) {
  leaveClaims("station-1", 5, {test::individual(1, 1100000)});
  leaveClaims("station-1", 200, {test::individual(1, 1100008)});
  const PagerRegister::Imported imported =
      reg().importRecords({pagerCommand("write", "station-1", 0, pagerWith({1100000})),
                           pagerCommand("write", "station-1", 1, pagerWith({1100008}), "SN-B")},
                          {"station-1", at(300), {}});
  EXPECT_EQ(imported.holds.heldClaims, std::vector<int>{1100000});
  EXPECT_EQ(states(1100000), std::vector<std::string>{"held row 1 by SN1"});
  EXPECT_EQ(states(1100008)[0], "claimed row 1 by station-1 (ended)");
  // A station whose name the register keeps otherwise than it reads ("\x41" as "\x5cx41").
  leaveClaims("st\\x41", 5, {test::individual(1, 1100016)});
  EXPECT_EQ(reg()
                .importRecords({pagerCommand("write", "st\\x41", 0, pagerWith({1100016}))},
                               {"st\\x41", at(300), {}})
                .holds.heldClaims,
            std::vector<int>{1100016});
}

INSTANTIATE_TEST_SUITE_P(Engines, ApplyTest, ::testing::Values(Engine::SQLite, Engine::PostgreSQL),
                         test::engineName);

}  // namespace
}  // namespace ccp
