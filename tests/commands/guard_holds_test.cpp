// One capcode, one pager: what the guard and the records of the pager commands keep of it
// through reprogrammed pagers, group rows and writes that were killed.
#include <gtest/gtest.h>
#include <signal.h>

#include "commands/capcode_guard.h"
#include "guard_fixture.h"
#include "register/engine_fixture.h"
#include "register/station_processes.h"

namespace ccp {
namespace {

using namespace test;

class GuardHoldsTest : public EngineTest {};

// Rows 2-6 of another fleet than the fresh pagers' 2004008 to 2004040.
const Rows kOwnGroups = {{2, 2005008}, {3, 2005016}, {4, 2005024}, {5, 2005032}, {6, 2005040}};

// A fresh pager written unguarded by station-1 with these rows, then left in the Programmer,
// the window's writes guarded from then on, each beginning with a whole read.
void writtenUnguardedThenReadFirst(RecordsFixture& rx, const std::string& location,
                                   const Rows& rows) {
  guard(rx, "station-1", location, {}, false);
  plugIn(rx);
  setRows(rx, rows);
  rx.f().menuItem("WriteToPager").trigger();
  ASSERT_EQ(rx.fx.lines().back(), "Verify OK !");
  RegisterSettings readFirst;
  readFirst.readBeforeWrite = true;
  guard(rx, "station-1", location, readFirst);
}

// A pager that has another pager's individual capcode in a group row keeps it only as a group
// capcode: reprogrammed so that the row is individual, it drops its own capcodes, never the
// other pager's.
TEST_P(GuardHoldsTest, AReprogrammedPagerDropsOnlyItsOwnCapcodes) {
  const std::string location = heldAtStation2(newRegister(), 2004006);
  RecordsFixture rx;
  writtenUnguardedThenReadFirst(rx, location, {{1, 2004100}, {2, 2004006}});
  setRows(rx, {{1, 2004200}, {2, 2004201}});
  for (const char* row : {"autoinc1", "autoinc2"}) rx.f().comboBox(row).choose(1);
  rx.f().menuItem("WriteToPager").trigger();
  ASSERT_EQ(rx.fx.lines().back(), "Verify OK !");

  EXPECT_EQ(holdersOf(rx, 2004006), Lines{"station-2 held individual"});
  EXPECT_EQ(holdersOf(rx, 2004100), Lines{});  // the reprogrammed pager's own
}

// The pager in the Programmer has another pager's individual capcode in a group row: a write
// that gives it as its individual capcode is refused, whatever the write read first.
TEST_P(GuardHoldsTest, AnotherPagersCapcodeInAGroupRowIsNotTakenOver) {
  const std::string location = heldAtStation2(newRegister(), 1600000);
  RecordsFixture rx;
  writtenUnguardedThenReadFirst(rx, location, {{1, 2004100}, {6, 1600000}});
  setRows(rx, {{1, 1600000}, {6, 2004040}});
  rx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(rx.fx.lines().back(), "Capcode 1600000 was written on 2026-12-07 11:30 at station-2");
  EXPECT_EQ(holdersOf(rx, 1600000), (Lines{"station-2 held individual", "station-1 held group"}));
}

// Another station wrote a pager with 2004002 as its individual capcode and the fleet's group
// capcodes 2004008 to 2004040 in rows 2-6: the first line each of this station's writes logs,
// and whether it wrote.
TEST_P(GuardHoldsTest, AGroupCapcodeIsNeverAnIndividualOneAndTheOtherWayRound) {
  constexpr WhenTaken stop = WhenTaken::Stop, next = WhenTaken::TakeNextFree;
  const std::string held = "Capcode 2004002 was written on 2026-12-07 11:30 at station-2";
  const struct {
    Rows rows;  // over kOwnGroups
    WhenTaken whenTaken;
    bool written;
    std::string said;  // first
  } cases[] = {
      {{{1, 2004016}},
       stop,
       false,
       "Capcode 2004016 is a group capcode of 1 pager (written on 2026-12-07 11:30 at station-2)"},
      {{{1, 2006000}, {2, 2004002}}, next, false, held},  // a group row never moves on
      {{{1, 2006000}, {3, 2006000}},
       stop,
       false,
       "Capcode 2006000 is in row 1 and row 3: an individual capcode goes in one row only"},
      {{{1, 2004016}}, next, true, "Capcode 2004016 is taken: 2004048 used"},
  };
  for (const auto& c : cases) {
    RecordsFixture rx;
    RegisterSettings settings;
    settings.whenTaken = c.whenTaken;
    guard(rx, "station-1", heldAtStation2(newRegister(), 2004002), settings);
    plugIn(rx);
    setRows(rx, kOwnGroups);
    setRows(rx, c.rows);
    const std::size_t logged = rx.fx.lines().size();
    rx.f().menuItem("WriteToPager").trigger();
    const Lines lines = rx.fx.linesSince(logged);
    EXPECT_EQ(lines.front(), c.said);
    EXPECT_EQ(lines.back() == "Verify OK !", c.written) << c.said;
  }
}

// A write killed while it wrote the decoder leaves its claim: it refuses the capcode as left by
// a write that ended, with how to go on, and a reprogram of the pager that write reached takes
// it over.
TEST_P(GuardHoldsTest, AClaimOfAKilledWriteIsListedAndTakenOverByAReprogram) {
  const std::string location = newRegister();
  RecordsFixture r1;
  guard(r1, "r1", location);
  setRows(r1, {{1, 1700000}});
  r1.fx.platform.onProgress = [](const testkit::FakePlatform::Progress& p) {
    if (p.phase == "Decoder write") ::raise(SIGKILL);
  };
  runStations(1, [&](int, const Say&) { r1.f().menuItem("WriteToPager").trigger(); });
  r1.fx.platform.onProgress = nullptr;
  EXPECT_TRUE(writersEnded(r1.records.registerConnection().get(), 1700000));

  plugIn(r1, {{1, 1700000}});  // the decoder that write reached
  r1.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(r1.fx.lines().back(),
            "Capcode 1700000 was left by a write at r1 that ended at 11:30: the pager may hold it");
  EXPECT_EQ(r1.notices.back(),
            "nothing written: to reprogram the pager that may hold it, turn on \"Read pagers "
            "before writing\"; to give it anew: Register > Release capcode...");

  RegisterSettings readFirst;
  readFirst.readBeforeWrite = true;
  guard(r1, "r1", location, readFirst);
  r1.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(r1.fx.lines().back(), "Verify OK !");
  EXPECT_EQ(holdersOf(r1, 1700000), Lines{"r1 held individual"});
}

INSTANTIATE_TEST_SUITE_P(Engines, GuardHoldsTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), engineName);

}  // namespace
}  // namespace ccp
