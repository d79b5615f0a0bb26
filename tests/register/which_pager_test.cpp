// Which pager is in the Programmer, on both engines: the ways a capcode reached two pagers in a
// pager shop, each closed. The rules themselves are tables in holding_rules_test.cpp.
#include <gtest/gtest.h>

#include "register/hold_fixture.h"

namespace ccp {
namespace {

using test::at;
using test::individual;
using test::pagerCommand;
using test::pagerWith;

using WhichPagerTest = test::HoldTest;

// Another pager with another serial number and the same rows: its read is a conflict, its
// rewrite lets go only what it had itself, and a third pager is refused the capcode.
TEST_P(WhichPagerTest, APagerWithAnotherSerialNumberIsAnotherPager) {
  const PagerRows rows = pagerWith({1200000});
  write("station-1", 0, rows, {}, "11111111");
  EXPECT_EQ(read("station-2", 1, rows, "22222222").conflicts.size(), 1u);
  write("station-2", 2, pagerWith({1200008}), SeenPager(rows, "22222222"), "22222222");
  EXPECT_EQ(states(1200000), std::vector<std::string>{"held row 1 by 11111111"});
  EXPECT_FALSE(
      reg().claimWrite({individual(1, 1200000)}, newWriter("station-3"), at(3), {}).granted);
}

// A journal's write that does not know the serial number of the pager it found is not sure it
// found the pager on record: that pager keeps its capcode, with a conflict to look at.
TEST_P(WhichPagerTest, AnImportNotSureOfItsPagerLetsNothingGo) {
  write("station-1", 0, pagerWith({1200000}), {}, "11111111");
  Record line = pagerCommand("write", "station-9", 5, pagerWith({1300000}), "ZZ000001");
  line.pagerBefore = pagerWith({1200000});
  const auto imported = reg().importRecords({line}, {"station-9", at(99), {}});
  EXPECT_EQ(states(1200000), std::vector<std::string>{"held row 1 by 11111111"});
  ASSERT_EQ(imported.holds.conflicts.size(), 1u);
  EXPECT_EQ(imported.holds.conflicts[0].capcode, 1200000);
}

// Two pagers given one capcode from one file, the conflict resolved: a rewrite of one of them
// lets go of one pager's hold, and the other pager's stays.
TEST_P(WhichPagerTest, ARewriteLetsGoOfAtMostOnePagersHolds) {
  const PagerRows rows = pagerWith({1400003});
  for (int second : {0, 1}) {
    reg().apply(reg().addRecord(pagerCommand("write", "station-1", second, rows)),
                {"station-1", at(second), {}});
  }
  ASSERT_EQ(reg().resolve(std::nullopt, 1400003, {"station-1", at(2), "both in use"}).size(), 1u);
  write("station-1", 3, pagerWith({1400011}), SeenPager(rows, "SN1"));
  EXPECT_EQ(states(1400003).size(), 1u);
  EXPECT_FALSE(
      reg().claimWrite({individual(1, 1400003)}, newWriter("station-2"), at(4), {}).granted);
}

// A capcode released by hand, then a station's outage journal holding an earlier write of it to
// another pager: the release did not know that write, so the capcode is held again.
TEST_P(WhichPagerTest, AReleaseLetsGoOnlyWhatTheRegisterKnewWhenItWasMade) {
  write("station-1", 0, pagerWith({1970000}), {}, "SCRAPPED");
  reg().release(1970000, {"station-1", at(3600), "pager scrapped"}, false);
  const Record outage = pagerCommand("write", "station-2", 1800, pagerWith({1970000}), "SN-NEW");
  reg().importRecords({outage}, {"station-2", at(4000), {}});
  EXPECT_EQ(states(1970000), std::vector<std::string>{"held row 1 by SN-NEW"});
}

// The same pager read again and again while its conflict is open adds neither a conflict nor a
// holder; resolving the capcode closes its conflict and leaves another capcode's open.
TEST_P(WhichPagerTest, AReadAgainAddsNothingAndResolveClosesOnlyItsCapcode) {
  write("station-1", 0, pagerWith({1200000, 8}), {}, "SN-A");
  write("station-1", 1, pagerWith({1300000}), {}, "SN-C");
  for (int second = 2; second < 6; ++second)
    read("station-2", second, pagerWith({1200000, 16}), "SN-B");
  read("station-2", 6, pagerWith({1300000, 24}), "SN-D");
  EXPECT_EQ(states(1200000).size(), 2u);
  EXPECT_EQ(reg().conflicts().size(), 2u);
  reg().resolve(std::nullopt, 1200000, {"station-1", at(7), "checked"});
  const auto open = reg().conflicts();
  ASSERT_EQ(open.size(), 1u);
  EXPECT_EQ(open[0].capcode, 1300000);
}

INSTANTIATE_TEST_SUITE_P(Engines, WhichPagerTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

// A register file on a folder that stations of several machines share: a claim of another host's
// writer is never judged by this host's processes, however its process id reads here.
using SharedFileTest = test::HoldTest;

TEST_P(SharedFileTest, AClaimOfAnotherHostIsNotJudgedByThisHostsProcesses) {
  Writer elsewhere = newWriter("station-9");
  elsewhere.host = "another-host";
  elsewhere.pid = 999999999;  // no process of this host
  ASSERT_TRUE(reg().claimWrite({individual(1, 1500000)}, elsewhere, at(0), {}).granted);
  EXPECT_EQ(reg().holder(1500000)->writer, Liveness::Alive);
  EXPECT_TRUE(reg().release(1500000, {"station-1", at(1), {}}, false).liveClaim);
}

INSTANTIATE_TEST_SUITE_P(Engines, SharedFileTest, ::testing::Values(Engine::SQLite),
                         test::engineName);

}  // namespace
}  // namespace ccp
