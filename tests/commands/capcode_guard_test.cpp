// The pager register behind Read from pager and Write to pager: the guard of individual
// capcodes, the fallback to journal.csv, the journal taken in on first use.
#include "commands/capcode_guard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "commands/pager_journal.h"
#include "files/journal_append.h"
#include "files/journal_columns.h"
#include "guard_fixture.h"
#include "register/engine_fixture.h"

namespace ccp {
namespace {

using test::guard;
using test::heldAtStation2;
using test::holdersOf;
using test::Lines;
using test::RecordsFixture;
using test::writeNewPager;

// The guard's tests run on both engines, the windows of each test sharing a register.
class CapcodeGuardTest : public test::EngineTest {};

TEST_P(CapcodeGuardTest, AHeldCapcodeStopsTheWriteBeforeAnythingIsSent) {
  RecordsFixture rx;
  const std::string location = heldAtStation2(newRegister(), 2004000);
  guard(rx, "station-1", location);
  const EepBlock eeprom = rx.fx.pagerEeprom();
  const DecoderBlock decoder = rx.fx.pagerDecoder();
  const std::size_t logged = rx.fx.lines().size(), wire = rx.fx.programmer.wireLog().size();
  const int beeps = rx.fx.platform.beeps;
  rx.f().comboBox("autoinc1").choose(1);
  rx.f().menuItem("WriteToPager").trigger();

  EXPECT_EQ(rx.fx.linesSince(logged),
            Lines{"Capcode 2004000 was written on 2026-12-07 11:30 at station-2"});
  EXPECT_EQ(rx.fx.platform.beeps, beeps + 1);
  EXPECT_EQ(rx.fx.programmer.wireLog().size(), wire);
  EXPECT_EQ(rx.fx.pagerEeprom(), eeprom);
  EXPECT_EQ(rx.fx.pagerDecoder(), decoder);
  EXPECT_EQ(rx.f().textField("address1").text(), "2004000");
  EXPECT_EQ(rx.notices, Lines{"nothing written: to reprogram the pager that holds it, turn on "
                              "\"Read pagers before writing\"; to give it anew: Register > "
                              "Release capcode..."});
  EXPECT_EQ(holdersOf(rx, 2004000), Lines{"station-2 held individual"});

  // A write that read the pager first found another pager: reading first again is no way on.
  RegisterSettings readFirst;
  readFirst.readBeforeWrite = true;
  guard(rx, "station-1", location, readFirst);
  test::plugIn(rx, {{1, 1000000}});
  rx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(rx.notices.back(),
            "nothing written: the pager read first is not known as the one that holds it; to "
            "give it anew: Register > Release capcode...");
}

// Ctrl-C during the last run of the read before the write, after which the read asks no more:
// the claim is given back, since the pager never saw a byte of the write.
TEST_P(CapcodeGuardTest, AStopBeforeTheWriteBeginsGivesTheClaimBack) {
  const auto readReports = [](const RecordsFixture& rx) {
    return std::count_if(rx.fx.platform.progress.begin(), rx.fx.platform.progress.end(),
                         [](const auto& p) { return p.phase == "EEPROM read"; });
  };
  RecordsFixture whole;
  whole.f().menuItem("WriteToPager").trigger();
  RecordsFixture rx;
  guard(rx, "station-1", newRegister());
  rx.fx.platform.onProgress = [&](const testkit::FakePlatform::Progress&) {
    if (readReports(rx) == readReports(whole)) rx.fx.platform.stopAsked = true;
  };
  const DecoderBlock decoder = rx.fx.pagerDecoder();
  rx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(rx.fx.lines().back(), kInterruptedLine);
  EXPECT_EQ(rx.fx.pagerDecoder(), decoder);
  EXPECT_EQ(holdersOf(rx, 2004000), Lines{});
}

TEST_P(CapcodeGuardTest, ThePagerInTheProgrammerIsReprogrammedAfterAWholeRead) {
  RecordsFixture rx;
  const std::string location = newRegister();
  guard(rx, "station-1", location);
  ASSERT_EQ(writeNewPager(rx), "Verify OK !");
  rx.f().menuItem("WriteToPager").trigger();  // the same file again, unknown pager
  EXPECT_EQ(rx.fx.lines().back(), "Capcode 2004000 was written on 2026-12-07 11:30 at station-1");

  RegisterSettings readFirst;
  readFirst.readBeforeWrite = true;
  guard(rx, "station-1", location, readFirst);
  rx.f().menuItem("WriteToPager").trigger();
  EXPECT_EQ(rx.fx.lines().back(), "Verify OK !");
  rx.f().textField("address1").setText("2004005");  // it gets another capcode now
  rx.f().menuItem("WriteToPager").trigger();
  ASSERT_EQ(rx.fx.lines().back(), "Verify OK !");
  EXPECT_EQ(holdersOf(rx, 2004000), Lines{});  // dropped by the write that took it away
  EXPECT_EQ(holdersOf(rx, 2004005), Lines{"station-1 held individual"});
}

TEST_P(CapcodeGuardTest, TwoWindowsFromOneFileNeverGiveACapcodeTwice) {
  RecordsFixture a, b;
  const std::string location = newRegister();
  guard(a, "station-1", location);
  guard(b, "station-2", location);
  for (RecordsFixture* window : {&a, &b}) window->f().comboBox("autoinc1").choose(1);
  for (int pager = 0; pager < 3; ++pager) {
    EXPECT_EQ(writeNewPager(a), "Verify OK !");
    EXPECT_EQ(writeNewPager(b), "Capcode 2004000 was written on 2026-12-07 11:30 at station-1");
  }
  EXPECT_EQ(b.f().textField("address1").text(), "2004000");  // never advanced
  std::multiset<std::string> given;
  for (const auto& row : a.journal()) {
    if (row[5] == "Verify OK !") given.insert(row[7]);
  }
  EXPECT_EQ(given, (std::multiset<std::string>{"2004000", "2004001", "2004002"}));
}

// Guard off, or none of the write's capcodes held: the write is the plain menu command's,
// byte for byte and microsecond for microsecond.
TEST_P(CapcodeGuardTest, OffOrWithNothingHeldTheWriteIsUnchanged) {
  test::PagerFixture plain;
  plain.f().menuItem("WriteToPager").trigger();
  for (const bool guarded : {false, true}) {
    RecordsFixture rx;
    const std::string location = heldAtStation2(newRegister(), guarded ? 2004100 : 2004000);
    rx.records.setRegister({}, {location, "station-1", false, guarded});
    rx.f().menuItem("WriteToPager").trigger();
    EXPECT_EQ(rx.fx.lines(), plain.lines()) << guarded;
    const sim::WireLog& wire = rx.fx.programmer.wireLog();
    ASSERT_EQ(sim::describe(wire), sim::describe(plain.programmer.wireLog())) << guarded;
    for (std::size_t i = 0; i < wire.size(); ++i) {
      ASSERT_EQ(wire[i].timeNs, plain.programmer.wireLog()[i].timeNs) << guarded << i;
    }
  }
}

TEST_P(CapcodeGuardTest, TakeTheNextFreeMovesTheRowOnByItsStepOrAFrame) {
  const struct {
    int step;
    const char* taken;
    const char* shown;  // after the write advanced it
  } cases[] = {{2, "2004002", "2004004"},
               {0, "2004048", "2004048"}};  // over rows 2-6: 2004008 to 2004040
  for (const auto& c : cases) {
    RecordsFixture rx;
    RegisterSettings nextFree;
    nextFree.whenTaken = WhenTaken::TakeNextFree;
    guard(rx, "station-1", heldAtStation2(newRegister(), 2004000), nextFree);
    rx.f().comboBox("autoinc1").choose(c.step);
    const std::size_t logged = rx.fx.lines().size();
    rx.f().menuItem("WriteToPager").trigger();
    const Lines lines = rx.fx.linesSince(logged);
    ASSERT_EQ(lines.back(), "Verify OK !") << c.step;
    EXPECT_EQ(lines.front(), std::string("Capcode 2004000 is taken: ") + c.taken + " used");
    EXPECT_EQ(holdersOf(rx, std::stoi(c.taken)), Lines{"station-1 held individual"});
    EXPECT_EQ(rx.f().textField("address1").text(), c.shown);
  }
}

// A register that cannot be opened or written changes nothing of the command: its record goes
// to journal.csv, and a guarded write stops unless the settings allow writing unguarded.
TEST(PagerRecordsRegister, ARegisterThatFailsFallsBackToTheJournal) {
  const struct {
    const char* what;
    std::function<void(RecordsFixture&)> breakIt;
    std::string why;
  } cases[] = {
      {"disk full",
       [](RecordsFixture& rx) {
         rx.records.registerConnection().opener =
             [](const RegisterLocation&) -> std::unique_ptr<PagerRegister> {
           throw RegisterError(RegisterFault::DiskFull, "The register's disk is full");
         };
       },
       "The register's disk is full"},
      {"not a register",
       [](RecordsFixture& rx) {
         std::filesystem::create_directories(rx.records.dataFolder());
         test::writeBytes(rx.records.registerUse().location, std::vector<std::uint8_t>(4096, 'x'));
       },
       "The register is damaged or is not a register"},
  };
  for (const auto& c : cases) {
    RecordsFixture rx;
    c.breakIt(rx);
    rx.f().comboBox("autoinc1").choose(1);
    const std::size_t logged = rx.fx.lines().size();
    rx.f().menuItem("WriteToPager").trigger();
    EXPECT_EQ(rx.fx.linesSince(logged),
              (Lines{"Read data from pager", "Write to Pager...", "Verify OK !"}))
        << c.what;
    EXPECT_EQ(rx.f().textField("address1").text(), "2004001") << c.what;
    const auto journal = test::readCsv(rx.records.journalPath());
    ASSERT_EQ(journal.size(), 2u) << c.what;
    EXPECT_EQ(journal[1][5], "Verify OK !") << c.what;
    ASSERT_EQ(rx.notices.size(), 1u);
    EXPECT_TRUE(rx.notices[0].starts_with(
        "record could not be kept in the register, it is in journal.csv: " + c.why))
        << rx.notices[0];

    RegisterSettings unguarded;
    for (const bool allowed : {false, true}) {
      unguarded.allowUnguarded = allowed;
      guard(rx, "station-1", "", unguarded);
      rx.f().menuItem("WriteToPager").trigger();
      EXPECT_EQ(rx.fx.lines().back(),
                allowed ? "Verify OK !"
                        : "Capcodes could not be checked in the register: nothing written")
          << c.what;
    }
    EXPECT_EQ(rx.f().textField("address1").text(), "2004002") << c.what;
    // Unguarded or not, a pager never gets its individual capcode in two rows: that needs no
    // register to see.
    rx.f().textField("address2").setText("2004002");
    rx.f().checkBox("addr2en").setChecked(true);
    for (const WhenTaken when : {WhenTaken::Stop, WhenTaken::TakeNextFree}) {
      unguarded.whenTaken = when;
      guard(rx, "station-1", "", unguarded);
      rx.f().menuItem("WriteToPager").trigger();
      EXPECT_NE(rx.fx.lines().back(), "Verify OK !") << c.what;
      EXPECT_EQ(rx.f().textField("address1").text(), "2004002") << c.what;
    }
    rx.f().checkBox("addr2en").setChecked(false);
  }
}

TEST_P(CapcodeGuardTest, FirstUseTakesInTheJournalOfTodaysProgramOnce) {
  RecordsFixture rx;
  rx.records.setRegister({}, {newRegister(), "station", false, false});
  const std::string journal = rx.records.journalPath();
  PagerIdentity pager{
      "12345678", {"2004017", "0000008", "0000000", "0000000", "0000000", "0000000"}, "152.24000"};
  for (const char* outcome : {"Verify OK !", "Decoder program error!"}) {
    const JournalLine line{
        test::kNow - std::chrono::hours(1), test::kE, "LPT1 (0x378)", "write", outcome, pager, ""};
    ASSERT_EQ(test::appendCsvRecord(journal, journalHeader(), journalFields(line)), 0);
  }
  const auto before = test::readBytes(journal);
  rx.f().menuItem("ReadFromPager").trigger();
  // The failed write may have left its capcode on a second pager.
  EXPECT_EQ(rx.notices, Lines{"journal.csv taken into the new register: 2 records; Capcode "
                              "2004017 is on another pager too: see Register > Pager register"});
  rx.records.registerConnection().close();  // the next run of the program, a minute later
  rx.records.now = [] { return test::kNow + std::chrono::minutes(1); };
  rx.f().menuItem("ReadFromPager").trigger();
  EXPECT_EQ(rx.notices.back(), "");
  const auto records = rx.journal();
  ASSERT_EQ(records.size(), 5u);  // the header, two lines taken in, two reads
  EXPECT_EQ(records[1][7], "2004017");
  EXPECT_EQ(records[3][4], "read");
  EXPECT_EQ(test::readBytes(journal), before);  // left in place, and not appended to
  const auto holders = rx.records.registerConnection().get().holders(2004000);
  ASSERT_EQ(holders.size(), 1u);
  EXPECT_EQ(holders[0].record->command, "read");
}

INSTANTIATE_TEST_SUITE_P(Engines, CapcodeGuardTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

}  // namespace
}  // namespace ccp
