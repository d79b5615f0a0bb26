// ccp write --guard and ccp register: the pager register on the command line.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <utility>

#include "cli_fixture.h"
#include "commands/pager_journal.h"
#include "files/csv_reader.h"
#include "files/journal_append.h"
#include "register/engine_fixture.h"
#include "register/register_schema.h"
#include "register/server_relay.h"

namespace ccp {
namespace {

using test::CliFixture;
using test::contains;

// On both engines: a PostgreSQL register is named as CCP_REGISTER names it, and guarded by
// default.
class CliRegisterTest : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    if (GetParam() == Engine::PostgreSQL && !HasFatalFailure()) {
      cli.services.environmentRegister = newRegister();
    }
  }
  bool shared() const { return GetParam() == Engine::PostgreSQL; }

  CliFixture cli;
};

TEST_P(CliRegisterTest, AGuardedWriteOfAHeldCapcodeStopsUntilItIsReleased) {
  const std::string file = cli.fileWithCapcode(1000000);
  ASSERT_EQ(cli.run({"write", file, "--guard"}), cli::kDone);
  EXPECT_EQ(cli.run({"write", file, "--guard"}), cli::kFailed);
  EXPECT_TRUE(cli.outLines().back().starts_with("Capcode 1000000 was written on "));
  EXPECT_TRUE(cli.outLines().back().ends_with(" at station"));
  EXPECT_TRUE(contains(cli.err.str(),
                       "ccp: nothing written: to reprogram the pager that holds it, write with "
                       "--backup (or read-before-write = on); to give it anew: ccp register "
                       "release 1000000\n"));
  EXPECT_EQ(cli.run({"write", file, "--guard", "--count", "3"}, "\n\n\n"), cli::kFailed);
  EXPECT_TRUE(contains(cli.err.str(), "ccp: pager 1 was not written: the batch stops\n"));
  EXPECT_EQ(cli.outLines().back(), "Batch: 0 pagers written, 1 failed");

  ASSERT_EQ(cli.run({"register", "find", "1000000"}), cli::kDone);
  EXPECT_TRUE(cli.outLines()[0].starts_with("Capcode 1000000 was written on "));
  EXPECT_TRUE(contains(cli.out.str(), "\nHistory of capcode 1000000:\n"));
  ASSERT_EQ(cli.run({"register", "release", "1000000", "--note", "pager returned"}), cli::kDone);
  EXPECT_TRUE(cli.out.str().ends_with(" at station (serial 00000000): released by station\n"));
  EXPECT_EQ(cli.run({"register", "release", "1000000"}), cli::kFailed);  // free already
  ASSERT_EQ(cli.run({"write", file, "--guard"}), cli::kDone);
  ASSERT_EQ(cli.run({"register", "find", "1000000"}), cli::kDone);
  EXPECT_TRUE(std::regex_search(cli.out.str(), std::regex("  released  station  [-0-9]+ +pager "
                                                          "returned\n")))
      << cli.out.str();
  EXPECT_EQ(cli.run({"register", "find", "12\x1b[2J34"}), cli::kFailed);
  EXPECT_EQ(cli.err.str(), "ccp: the register holds no record of 12\\x1b[2J34\n");
}

TEST_P(CliRegisterTest, ListExportImportStatusAndInit) {
  // A wrong option is refused before a register is opened, or made.
  EXPECT_EQ(cli.run({"register", "list", "--since", "yesterday"}), cli::kWrongUsage);
  EXPECT_EQ(cli.run({"register", "export", "x.csv", "--since", "2026-02-31"}), cli::kWrongUsage);
  EXPECT_FALSE(std::filesystem::exists(defaultRegisterLocation(cli.services.dataPath)));

  ASSERT_EQ(cli.run({"write", cli.defaultFile("a.eep")}), cli::kDone);
  ASSERT_EQ(cli.run({"register", "list", "--since", "2000-01-01"}), cli::kDone);
  ASSERT_EQ(cli.outLines().size(), 2u);
  EXPECT_TRUE(cli.outLines()[1].ends_with("  held   Verify OK !"));
  ASSERT_EQ(cli.run({"register", "list", "--station", "station-9"}), cli::kDone);
  EXPECT_EQ(cli.outLines().size(), 1u);  // the heading only

  const std::string csv = cli.folder.file("out.csv");
  ASSERT_EQ(cli.run({"register", "export", csv}), cli::kDone);
  const auto rows = test::readCsv(csv);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].back(), "Holder state");
  EXPECT_EQ(rows[1].back(), "held");
  ASSERT_EQ(cli.run({"register", "import", csv}), cli::kDone);  // the same records
  EXPECT_EQ(cli.out.str(), csv + ": 0 records added, 1 in the register already, 0 lines refused\n");
  EXPECT_EQ(cli.run({"register", "import", cli.folder.file("none.csv")}), cli::kFileError);

  ASSERT_EQ(cli.run({"register", "status"}), cli::kDone);
  EXPECT_TRUE(contains(cli.out.str(), "\nRecords:         1\nStations seen:   station\n"));
  EXPECT_TRUE(contains(cli.out.str(), std::string("\nThis station:    station, guard ") +
                                          (shared() ? "on" : "off") + "\n"));
  const std::string other = shared() ? newRegister() : cli.folder.file("other.sqlite");
  ASSERT_EQ(cli.run({"register", "init", other}), cli::kDone);
  EXPECT_EQ(cli.outLines()[0], "Made the register's tables in " + other + " (" +
                                   (shared() ? "PostgreSQL" : "SQLite") + ", schema version " +
                                   std::to_string(kSchemaVersion) + ")");
  ASSERT_EQ(cli.run({"--register", other, "register", "status", "--guard"}), cli::kWrongUsage);
  ASSERT_EQ(cli.run({"register", "status", "--register", other}), cli::kDone);
  EXPECT_TRUE(contains(cli.out.str(), "\nRecords:         0\n"));
}

// A capcode another pager has too is said, listed, counted and found as a conflict until it is
// resolved.
TEST_P(CliRegisterTest, ConflictsAreSaidListedCountedAndResolved) {
  const std::string file = cli.fileWithCapcode(2004006);
  ASSERT_EQ(cli.run({"write", file, "--guard"}), cli::kDone);
  ASSERT_EQ(cli.run({"set", file, "address2=2006008"}), cli::kDone);  // another pager's file
  cli.services.plugInFreshPager();
  cli.services.settings.guard = false;
  ASSERT_EQ(cli.run({"write", file}), cli::kDone);
  EXPECT_EQ(cli.err.str(),
            "ccp: Capcode 2004006 is on another pager too: see ccp register conflicts\n");

  ASSERT_EQ(cli.run({"register", "conflicts"}), cli::kDone);
  ASSERT_EQ(cli.outLines().size(), 2u);  // the heading and the conflict
  EXPECT_TRUE(contains(cli.outLines()[1], " 2004006 ")) << cli.out.str();
  ASSERT_EQ(cli.run({"register", "status"}), cli::kDone);
  EXPECT_TRUE(contains(cli.out.str(),
                       "\nClaims:          0 being written, 0 left by writes that ended, 0 "
                       "failed\nConflicts:       1 open\n"))
      << cli.out.str();
  ASSERT_EQ(cli.run({"register", "find", "2004006"}), cli::kDone);  // both pagers, and the conflict
  const std::string both = "Capcode 2004006 was written on ";
  EXPECT_TRUE(cli.out.str().starts_with(both) && contains(cli.out.str(), "\n" + both) &&
              contains(cli.out.str(), "\nOpen conflicts of capcode 2004006:\n"))
      << cli.out.str();
  ASSERT_EQ(cli.run({"register", "resolve", "2004006", "--note", "pager 2 recalled"}), cli::kDone);
  EXPECT_TRUE(cli.out.str().ends_with(" of capcode 2004006 closed by station\n"));
  EXPECT_EQ(cli.run({"register", "resolve", "2004006"}), cli::kFailed);
  EXPECT_EQ(cli.err.str(), "ccp: capcode 2004006 has no open conflict\n");
  EXPECT_EQ(cli.run({"register", "resolve", "x1"}), cli::kWrongUsage);
  ASSERT_EQ(cli.run({"register", "conflicts", "--all"}), cli::kDone);
  EXPECT_TRUE(contains(cli.out.str(), " by station: pager 2 recalled\n"));
}

// Another station releases a capcode while this one writes it, and writes it too: refused until
// forced; forced, the write says so after Verify OK ! and ends with 1, and both are conflicts.
TEST_P(CliRegisterTest, AForcedReleaseDuringAWriteEndsTheWriteWithOne) {
  const std::string file = cli.fileWithCapcode(1700000);
  const std::string location =
      shared() ? cli.services.environmentRegister : defaultRegisterLocation(cli.services.dataPath);
  CliFixture r2;
  const auto atR2 = [&](std::vector<std::string> words) {
    words.insert(words.end(), {"--register", location});
    return r2.run(words);
  };
  std::vector<int> status;
  std::string claims, said, r2Line;
  testkit::VirtualClock& clock = cli.services.clock;
  clock.at(clock.nowNs() + 1'500'000'000ull, [&] {
    status.push_back(atR2({"register", "claims"}));
    claims = r2.out.str();
    status.push_back(atR2({"register", "release", "1700000"}));
    said = r2.err.str();
    status.push_back(atR2({"write", file, "--guard"}));
    r2Line = r2.outLines().back();
    status.push_back(atR2({"register", "release", "1700000", "--force"}));
  });
  EXPECT_EQ(cli.run({"write", file, "--guard"}), cli::kFailed);

  EXPECT_EQ(status, (std::vector<int>{cli::kDone, cli::kFailed, cli::kFailed, cli::kDone}));
  EXPECT_TRUE(contains(claims, "  claimed  station  ") && contains(claims, "  alive  ")) << claims;
  EXPECT_TRUE(said.starts_with("ccp: capcode 1700000 is being written at station") &&
              said.ends_with(": nothing released (--force releases it)\n"))
      << said;
  EXPECT_TRUE(r2Line.starts_with("Capcode 1700000 is being written since ")) << r2Line;
  const std::string line =
      "Capcode 1700000 was released while this pager was written: it may be on two pagers";
  const auto lines = cli.outLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(std::vector(lines.end() - 2, lines.end()),
            (std::vector<std::string>{"Verify OK !", line}));
  EXPECT_TRUE(contains(cli.err.str(), "ccp: " + line + "\n")) << cli.err.str();
  ASSERT_EQ(cli.run({"register", "conflicts"}), cli::kDone);  // the pager's and the release's
  EXPECT_TRUE(contains(cli.out.str(), "released while this pager was written") &&
              contains(cli.out.str(), "released while being written at station"))
      << cli.out.str();
}

// A journal's lines that are no records are named, each with its number, and the others go in;
// "-" reads the journal from standard input and writes the export to standard output.
TEST_P(CliRegisterTest, AnImportNamesEachRefusedLineAndAddsTheOthers) {
  const std::string good = ",QPX730E,Customer,LPT1 (0x378),write,Verify OK !,12345678,";
  const auto record = [&](const std::string& at, const std::string& capcode) {
    return at + good + capcode + ",,,,,,152.24000,\n";
  };
  const std::string journal =
      "Date and time,Model,Edition,Port,Command,Outcome,Serial number,Capcode 1,Capcode 2,"
      "Capcode 3,Capcode 4,Capcode 5,Capcode 6,Channel frequency,Backup file\n" +
      record("2026-12-07T11:25:00+00:00", "2097151") +
      "2026-12-07T11:25:01+00:00,QPX730E,Customer\n" + record("yesterday", "2004001") +
      record("2026-12-07T11:25:03+00:00", "2097152") +
      record("2026-12-07T11:25:04+00:00", "2004004");
  const std::string file = cli.folder.file("journal.csv");
  test::writeBytes(file, {journal.begin(), journal.end()});
  EXPECT_EQ(cli.run({"register", "import", file}), cli::kFailed);
  EXPECT_EQ(cli.out.str(),
            file + ": 2 records added, 0 in the register already, 3 lines refused\n");
  const std::string line = "ccp: " + file + " line ";
  EXPECT_EQ(cli.err.str(),
            line + "3 refused: not a record: too few fields: 3 of 15\n" + line +
                "4 refused: not a record: no time\n" + line +
                "5 refused: not a record: capcode 1 '2097152' is not one a pager can hold\n");

  EXPECT_EQ(cli.run({"register", "import", "-"}, journal), cli::kFailed);
  EXPECT_EQ(cli.outLines()[0],
            "standard input: 0 records added, 2 in the register already, 3 lines refused");
  ASSERT_EQ(cli.run({"register", "export", "-"}), cli::kDone);
  EXPECT_EQ(cli.err.str(), "2 records written to standard output\n");
  const std::string exported = cli.out.str();
  EXPECT_TRUE(contains(exported, "\n2026-12-07T11:25:04+00:00" + good + "2004004,")) << exported;
}

// Each line after the header is counted once, as taken in, there already, refused or blank; a
// record whose quoted field breaks its line is its lines, named once by its first.
TEST_P(CliRegisterTest, AnImportAccountsForEveryLineOfItsFile) {
  const auto record = [](const std::string& at, const std::string& serial,
                         const std::string& outcome = "Verify OK !") {
    const std::string capcode = "200400" + at.substr(18, 1);  // a pager's own, by its second
    return at + ",QPX730E,Customer,LPT1 (0x378),write," + outcome + "," + serial + "," + capcode +
           ",,,,,,152.24000,\n";
  };
  const std::string header =
      "Date and time,Model,Edition,Port,Command,Outcome,Serial number,Capcode 1,Capcode 2,"
      "Capcode 3,Capcode 4,Capcode 5,Capcode 6,Channel frequency,Backup file\n";
  const std::string there = record("2026-12-07T11:25:00+00:00", "1");
  const std::string first = cli.folder.file("first.csv");
  const std::string firstText = header + there;
  test::writeBytes(first, {firstText.begin(), firstText.end()});
  ASSERT_EQ(cli.run({"register", "import", first}), cli::kDone);

  const std::string journal = header + there +                                          // line 2
                              "\n" +                                                    // 3
                              record("2026-12-07T11:25:01+00:00", "\"1\n2\"") +         // 4-5
                              record("2026-12-07T11:25:02+00:00", "3", "Verify OK!") +  // 6
                              "\r\n" +                                                  // 7
                              "2026-12-07T11:25:03+00:00,\"a\nb\nc\"\n" +               // 8-10
                              record("2026-12-07T11:25:04+00:00", "\"4") +              // 11
                              record("2026-12-07T11:25:05+00:00", "5");                 // 12
  const std::string file = cli.folder.file("journal.csv");
  test::writeBytes(file, {journal.begin(), journal.end()});
  EXPECT_EQ(cli.run({"register", "import", file}), cli::kFailed);
  EXPECT_EQ(cli.out.str(), file +
                               ": 2 records added, 1 in the register already (3 records on 4 "
                               "lines), 5 lines refused, 2 blank\n");
  const std::string line = "ccp: " + file + " line ";
  EXPECT_EQ(cli.err.str(),
            line + "6 refused: not a record: outcome 'Verify OK!' is no line a write ends with\n" +
                line + "8 refused: not a record: too few fields: 2 of 15\n" + line +
                "11 refused: not a record: a quoted field runs on: unmatched quote\n");
}

// A line's server that goes away during a batch. Restarted between two pagers: the batch goes
// on, on a new connection. Stopped while a pager is written: that write ends as it would have,
// its record kept in journal.csv; the next write stops at the guard before anything is sent,
// and the batch ends there. The server back, the import brings the records in once, and the
// capcode that the journalled write claimed is held by it.
using CliServerTest = CliRegisterTest;

TEST_P(CliServerTest, ABatchWhoseServerGoesAwayStopsBeforeWritingUnguarded) {
  test::ServerRelay relay(std::getenv("CCP_TEST_POSTGRES"));
  const std::string direct = cli.services.environmentRegister;
  cli.services.environmentRegister = relay.through(direct);
  const std::string file = cli.fileWithCapcode(2004000);
  testkit::VirtualClock& clock = cli.services.clock;
  int pager = 0;
  test::EnterPresses presses(5, [&] {
    cli.services.plugInFreshPager();
    if (++pager == 2) relay.restart();
    if (pager == 3) clock.at(clock.nowNs() + 3'000'000'000ull, [&] { relay.stop(); });
  });
  std::istream input(&presses);
  EXPECT_EQ(cli.run({"write", file, "--autoinc", "1,0,0,0,0,0", "--batch"}, input), cli::kFailed);
  auto lines = cli.outLines();
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[lines.size() - 2],
            "Capcodes could not be checked in the register: nothing written");
  EXPECT_EQ(lines.back(), "Batch: 3 pagers written, 1 failed; capcodes 2004000-2004002");
  EXPECT_TRUE(contains(cli.err.str(),
                       "ccp: record could not be kept in the register, it is in journal.csv: The "
                       "register's server cannot be reached"))
      << cli.err.str();
  EXPECT_TRUE(contains(cli.err.str(), "ccp: pager 4 was not written: the batch stops\n"));
  const PagerContents fresh = defaultPagerContents(cli.services.config);
  EXPECT_TRUE(std::equal(fresh.eeprom.begin(), fresh.eeprom.end(),
                         cli.services.programmer.eeprom().begin()));  // nothing written
  const std::string journal = cli.services.dataPath + "/journal.csv";
  const auto journalled = test::readCsv(journal);
  ASSERT_EQ(journalled.size(), 3u);  // the header, the write under way, the write stopped
  EXPECT_EQ(journalled[1][5], "Verify OK !");
  EXPECT_EQ(journalled[1][7], "2004002");

  cli.services.environmentRegister = direct;  // the server is back
  ASSERT_EQ(cli.run({"register", "import", journal}), cli::kDone);
  std::vector<std::string> held = {journal +
                                   ": 2 records added, 0 in the register already, 0 lines refused"};
  for (int capcode : {2004002, 2004008, 2004016, 2004024, 2004032, 2004040}) {  // its every row
    held.push_back("Capcode " + std::to_string(capcode) +
                   " is held now by the write that claimed it");
  }
  EXPECT_EQ(cli.outLines(), held);
  ASSERT_EQ(cli.run({"register", "import", journal}), cli::kDone);
  EXPECT_EQ(cli.outLines(),
            std::vector<std::string>{journal + ": 0 records added, 2 in the register "
                                               "already, 0 lines refused"});
  ASSERT_EQ(cli.run({"register", "list"}), cli::kDone);
  lines = cli.outLines();
  ASSERT_EQ(lines.size(), 5u);  // the heading, three pagers written and one write stopped
  for (std::size_t i = 2; i < lines.size(); ++i)
    EXPECT_TRUE(contains(lines[i], "  held  ")) << lines[i];
}

INSTANTIATE_TEST_SUITE_P(Server, CliServerTest, ::testing::Values(Engine::PostgreSQL),
                         test::engineName);

// A file import or export cannot use is said with the system's reason, exit status 3.
TEST(CliRegisterFiles, AFolderIsNoJournalToImportNorAnExportToWrite) {
  CliFixture cli;
  const std::string folder = cli.folder.path().string();
  EXPECT_EQ(cli.run({"register", "import", folder}), cli::kFileError);
  EXPECT_EQ(cli.err.str(), "ccp: The journal " + folder + " cannot be read: Is a directory\n");
  EXPECT_EQ(cli.run({"register", "export", folder}), cli::kFileError);
  EXPECT_EQ(cli.err.str(), "ccp: The export " + folder + " cannot be written: Is a directory\n");
}

// Where the station has no register yet, or the one named is not there, or it has no data
// folder to keep one in.
TEST(CliRegisterFiles, StatusOfARegisterThatIsNotThereSaysSoAndMakesNone) {
  CliFixture cli;
  const std::string own = defaultRegisterLocation(cli.services.dataPath);
  for (const std::string& location : {own, cli.folder.file("named.sqlite")}) {
    std::vector<std::string> words = {"register", "status"};
    if (location != own) words.insert(words.end(), {"--register", location});
    EXPECT_EQ(cli.run(words), cli::kFailed);
    EXPECT_EQ(
        cli.err.str(),
        "ccp: No pager command has kept a record yet: there is no register at " + location + "\n");
    EXPECT_FALSE(std::filesystem::exists(location));
  }
  cli.services.dataPath.clear();
  EXPECT_EQ(cli.run({"register", "status"}), cli::kFailed);
  EXPECT_EQ(cli.err.str(), "ccp: No register: no data folder to keep one in, and none was named\n");
}

// The register made by init takes the station's journal in, and says where what it found is
// listed in ccp's words.
TEST(CliRegisterFiles, InitTakesTheJournalInAndNamesCcpsWaysOn) {
  CliFixture cli;
  const PagerIdentity pager{
      "12345678", {"2004017", "0000008", "0000000", "0000000", "0000000", "0000000"}, "152.24000"};
  for (const char* outcome : {"Verify OK !", "Decoder program error!"}) {
    const JournalLine line{WallTime{}, cli.services.config, "LPT1 (0x378)", "write", outcome, pager,
                           ""};
    ASSERT_EQ(test::appendCsvRecord(journalPathIn(cli.services.dataPath), journalHeader(),
                                    journalFields(line)),
              0);
  }
  ASSERT_EQ(cli.run({"register", "init", cli.folder.file("new.sqlite")}), cli::kDone);
  EXPECT_TRUE(contains(cli.out.str(),
                       "; Capcode 2004017 is on another pager too: see ccp register conflicts\n"))
      << cli.out.str();
}

TEST(CliRegisterFiles, ListLimitShowsTheNewestRecords) {
  CliFixture cli;
  for (int capcode : {1000000, 1000001, 1000002}) {
    ASSERT_EQ(cli.run({"write", cli.fileWithCapcode(capcode)}), cli::kDone);
  }
  ASSERT_EQ(cli.run({"register", "list", "--limit", "2"}), cli::kDone);
  const auto lines = cli.outLines();
  ASSERT_EQ(lines.size(), 3u);  // the heading and two records
  EXPECT_TRUE(contains(lines[1], " 1000002 ")) << lines[1];
  EXPECT_TRUE(contains(lines[2], " 1000001 ")) << lines[2];
  EXPECT_EQ(cli.run({"register", "list", "--limit", "0"}), cli::kWrongUsage);
}

INSTANTIATE_TEST_SUITE_P(Engines, CliRegisterTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

}  // namespace
}  // namespace ccp
