// One capcode, one pager: what the guard and the records of the pager commands keep of it
// through reprogrammed pagers, group rows, reads, unguarded writes and writes that were killed.
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

Rows withRows(Rows rows, const Rows& over) {
  for (const auto& [row, capcode] : over) rows[row] = capcode;
  return rows;
}

// A fresh pager written unguarded by station-1 with these rows, then left in the Programmer,
// the window's writes guarded from then on, each beginning with a whole read.
void writtenUnguardedThenReadFirst(RecordsFixture& rx, const std::string& location,
                                   const Rows& rows) {
  unguarded(rx, "station-1", location);
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
  RecordsFixture third;
  guard(third, "station-3", location);
  third.f().textField("address1").setText("2004006");
  EXPECT_EQ(writeNewPager(third), "Capcode 2004006 was written on 2026-12-07 11:30 at station-2");
}

// The pager in the Programmer has another pager's individual capcode in a group row: a write
// that gives it as its individual capcode is refused, whatever the write read first.
TEST_P(GuardHoldsTest, AnotherPagersCapcodeInAGroupRowIsNotTakenOver) {
  const std::string location = heldAtStation2(newRegister(), 1600000);
  RecordsFixture rx;
  writtenUnguardedThenReadFirst(rx, location, {{1, 2004100}, {6, 1600000}});
  setRows(rx, {{1, 1600000}, {6, 2004040}});
  const DecoderBlock pagerB = rx.fx.pagerDecoder();
  rx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(rx.fx.lines().back(), "Capcode 1600000 was written on 2026-12-07 11:30 at station-2");
  EXPECT_EQ(rx.fx.pagerDecoder(), pagerB);
  EXPECT_EQ(holdersOf(rx, 1600000), (Lines{"station-2 held individual", "station-1 held group"}));
}

// Another station wrote a pager with 2004002 as its individual capcode and the fleet's group
// capcodes 2004008 to 2004040 in rows 2-6. What each of this station's writes does.
TEST_P(GuardHoldsTest, AGroupCapcodeIsNeverAnIndividualOneAndTheOtherWayRound) {
  const struct {
    const char* what;
    Rows rows;
    WhenTaken whenTaken;
    Lines lines;  // since the write was asked for, "Verify OK !" last when it was written
  } cases[] = {
      {"an individual row on the fleet's group capcode",
       withRows(kOwnGroups, {{1, 2004016}}),
       WhenTaken::Stop,
       {"Capcode 2004016 is a group capcode of 1 pager (written on 2026-12-07 11:30 at "
        "station-2)"}},
      {"a group row on another pager's individual capcode",
       withRows(kOwnGroups, {{1, 2006000}, {2, 2004002}}),
       WhenTaken::Stop,
       {"Capcode 2004002 was written on 2026-12-07 11:30 at station-2"}},
      {"a group row moves on to nothing",
       withRows(kOwnGroups, {{1, 2006000}, {2, 2004002}}),
       WhenTaken::TakeNextFree,
       {"Capcode 2004002 was written on 2026-12-07 11:30 at station-2"}},
      {"a group row on the fleet's group capcode",
       withRows(kOwnGroups, {{1, 2006000}, {2, 2004008}}),
       WhenTaken::Stop,
       {"Read data from pager", "Write to Pager...", "Verify OK !"}},
      {"one individual capcode in two rows",
       withRows(kOwnGroups, {{1, 2006000}, {3, 2006000}}),
       WhenTaken::Stop,
       {"Capcode 2006000 is in row 1 and row 3: an individual capcode goes in one row only"}},
      {"next-free steps over another row's capcode",
       withRows(kOwnGroups, {{1, 2006000}, {2, 2006000}, {3, 2006008}}),
       WhenTaken::TakeNextFree,
       {"Capcode 2006000 is taken: 2006016 used", "Read data from pager", "Write to Pager...",
        "Verify OK !"}},
      {"next-free moves off the fleet's group capcodes",
       withRows(kOwnGroups, {{1, 2004016}}),
       WhenTaken::TakeNextFree,
       {"Capcode 2004016 is taken: 2004048 used", "Read data from pager", "Write to Pager...",
        "Verify OK !"}},
  };
  for (const auto& c : cases) {
    const std::string location = heldAtStation2(newRegister(), 2004002);
    RecordsFixture rx;
    RegisterSettings settings;
    settings.whenTaken = c.whenTaken;
    guard(rx, "station-1", location, settings);
    plugIn(rx);
    setRows(rx, c.rows);
    const DecoderBlock before = rx.fx.pagerDecoder();
    const std::size_t logged = rx.fx.lines().size();
    rx.f().menuItem("WriteToPager").trigger();
    EXPECT_EQ(rx.fx.linesSince(logged), c.lines) << c.what;
    if (c.lines.back() != "Verify OK !") {
      EXPECT_EQ(rx.fx.pagerDecoder(), before) << c.what;
    }
  }
}

// A pager found holding, or given unguarded, what another pager holds as its own: both are
// known to have it, and the register says so, without a word in the log. (A read that finds it
// in the row the register knows is taken for that very pager.)
TEST_P(GuardHoldsTest, AReadOrAnUnguardedWriteOfAHeldCapcodeKeepsBothPagers) {
  const struct {
    const char* command;
    Rows rows;  // of the pager read, or of the write
    Lines holders;
  } cases[] = {
      {"ReadFromPager", {{2, 2004006}}, {"station-2 held individual", "station-1 held group"}},
      {"WriteToPager", {{1, 2004006}}, {"station-2 held individual", "station-1 held individual"}},
  };
  for (const auto& c : cases) {
    const std::string location = heldAtStation2(newRegister(), 2004006);
    RecordsFixture rx;
    unguarded(rx, "station-1", location);
    plugIn(rx, c.rows);
    setRows(rx, c.rows);
    rx.f().menuItem(c.command).trigger();
    EXPECT_EQ(rx.notices, Lines{"Capcode 2004006 is on another pager too: see Register > Pager "
                                "register"})
        << c.command;
    EXPECT_EQ(holdersOf(rx, 2004006), c.holders) << c.command;
    PagerRegister& reg = rx.records.registerConnection().get();
    const auto conflicts = reg.conflicts(false);
    ASSERT_EQ(conflicts.size(), 1u) << c.command;
    EXPECT_EQ(conflicts[0].capcode, 2004006) << c.command;
    RecordQuery station2;
    station2.station = "station-2";
    EXPECT_EQ(reg.records(station2).front().holds, HolderState::Held) << c.command;
  }
}

// A write killed while it wrote the decoder leaves its claim: listed as ended, it refuses the
// capcode with how to go on, and a reprogram of the pager that write reached takes it over.
TEST_P(GuardHoldsTest, AClaimOfAKilledWriteIsListedAndTakenOverByAReprogram) {
  const std::string location = newRegister();
  RecordsFixture killed;
  guard(killed, "r1", location);
  setRows(killed, {{1, 1700000}});
  killed.fx.platform.onProgress = [](const testkit::FakePlatform::Progress& p) {
    if (p.phase == "Decoder write") ::raise(SIGKILL);
  };
  runStations(1, [&](int, const Say&) { killed.f().menuItem("WriteToPager").trigger(); });

  RecordsFixture r1;
  guard(r1, "r1", location);
  setRows(r1, {{1, 1700000}});
  PagerRegister& reg = r1.records.registerConnection().get();
  untilNoLiveClaim(reg);
  const auto claimOf = [&reg](int capcode) {
    const auto claims = reg.claims();
    const auto claim = std::find_if(claims.begin(), claims.end(),
                                    [capcode](const Holder& h) { return h.capcode == capcode; });
    return claim == claims.end() ? std::nullopt : std::optional(*claim);
  };
  const auto left = claimOf(1700000);
  ASSERT_TRUE(left);
  EXPECT_EQ(left->state, HolderState::Claimed);
  EXPECT_EQ(left->writer, Liveness::Ended);
  EXPECT_EQ(left->station, "r1");

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
  EXPECT_FALSE(claimOf(1700000));
}

INSTANTIATE_TEST_SUITE_P(Engines, GuardHoldsTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), engineName);

}  // namespace
}  // namespace ccp
