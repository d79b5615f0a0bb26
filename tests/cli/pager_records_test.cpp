// ccp read, write and verify keep the window's records in its data folder: a journal line for
// every pager read or written, and with write --backup what each pager held before.
#include "commands/pager_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include "cli_fixture.h"
#include "commands/records_fixture.h"
#include "files/csv_reader.h"
#include "image/capcode.h"
#include "testkit/fault_checks.h"

namespace ccp {
namespace {

namespace fs = std::filesystem;
using test::CliFixture;
using test::CsvRow;
using test::EnterPresses;

// The journal's columns.
constexpr std::size_t kCommand = 4;
constexpr std::size_t kOutcome = 5;
constexpr std::size_t kCapcode1 = 7;
constexpr std::size_t kCapcode2 = 8;
constexpr std::size_t kBackupFile = 14;
const std::size_t kColumns = journalHeader().size();

// The records in the register, as journal lines.
std::vector<CsvRow> journalLines(CliFixture& cli) {
  auto rows = test::recordRows(*openRegister(cli.services.dataPath + "/register.sqlite"));
  if (!rows.empty()) rows.erase(rows.begin());  // the header
  return rows;
}

std::vector<fs::path> backups(CliFixture& cli) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(cli.services.dataPath + "/backups", ec)) {
    files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

using test::contains;

// The pager plugged in holds `capcode` as its first address.
ConfigFileBytes plugInPagerWithCapcode(CliFixture& cli, int capcode) {
  DecoderBlock decoder = cli.services.pagerDecoder();
  writeAddress(decoder, 1, capcode, true);
  cli.services.programmer.setDecoder(decoder);
  EepBlock eeprom{};
  std::copy(cli.services.programmer.eeprom().begin(), cli.services.programmer.eeprom().end(),
            eeprom.begin());
  return configFileBytes(eeprom, decoder);
}

TEST(CliRecordsTest, ReadWriteAndVerifyAddOneJournalLineEach) {
  CliFixture cli;
  const std::string file = cli.fileWithCapcode(1000000);
  plugInPagerWithCapcode(cli, 123456);
  ASSERT_EQ(cli.run({"read", cli.folder.file("read.eep")}), cli::kDone);
  EXPECT_EQ(cli.err.str(), "");  // all went well: nothing to say
  ASSERT_EQ(cli.run({"write", file, "--autoinc", "1,0,0,0,0,0"}), cli::kDone);
  ASSERT_EQ(cli.run({"verify", file}), cli::kDone);
  cli.services.programmer.setNoPager(true);
  ASSERT_EQ(cli.run({"write", file}), cli::kFailed);

  const auto lines = journalLines(cli);
  ASSERT_EQ(lines.size(), 4u);
  struct Expected {
    const char* command;
    const char* outcome;
    const char* capcode1;
  } expected[] = {
      {"read", "Read completed", "0123456"},
      {"write", "Verify OK !", "1000000"},  // as written, before the auto increment
      {"read", "Read completed", "1000000"},
      {"write", "Pager Read error, please check the connection.", ""},
  };
  for (std::size_t i = 0; i < lines.size(); ++i) {
    ASSERT_EQ(lines[i].size(), kColumns) << i;
    EXPECT_EQ(lines[i][1], "QPX730E") << i;
    EXPECT_EQ(lines[i][kCommand], expected[i].command) << i;
    EXPECT_EQ(lines[i][kOutcome], expected[i].outcome) << i;
    EXPECT_EQ(lines[i][kCapcode1], expected[i].capcode1) << i;
    EXPECT_EQ(lines[i][kBackupFile], "") << i;
  }
  EXPECT_EQ(lines[1][kCapcode2], "2004008");
  EXPECT_TRUE(backups(cli).empty());  // none without --backup
}

TEST(CliRecordsTest, ABatchWithBackupsKeepsEachPagerAndJournalsEach) {
  CliFixture cli;
  const std::string file = cli.fileWithCapcode(1000000);
  std::vector<ConfigFileBytes> before;
  int pager = 0;
  EnterPresses presses(3, [&] { before.push_back(plugInPagerWithCapcode(cli, 500 + pager++)); });
  std::istream input(&presses);
  ASSERT_EQ(cli.run({"write", file, "--autoinc", "1,0,0,0,0,0", "--batch", "--backup"}, input),
            cli::kDone)
      << cli.err.str();

  const auto lines = journalLines(cli);
  const auto files = backups(cli);
  ASSERT_EQ(lines.size(), 3u);
  ASSERT_EQ(files.size(), 3u);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i][kOutcome], "Verify OK !") << i;
    EXPECT_EQ(lines[i][kCapcode1], std::to_string(1000000 + i)) << i;
    const fs::path backup = lines[i][kBackupFile];
    EXPECT_NE(std::find(files.begin(), files.end(), backup), files.end()) << backup;
    const auto bytes = test::readBytes(backup.string());
    EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), before[i].begin(), before[i].end()))
        << "pager " << i + 1 << " was not kept as it was";
    EXPECT_TRUE(contains(cli.err.str(), "ccp: backup: " + backup.filename().string()));
  }
}

TEST(CliRecordsTest, AnUnwritableJournalStopsNothingAndSaysSo) {
  CliFixture cli;
  const std::string file = cli.defaultFile("a.eep");
  test::writeBytes(cli.services.dataPath, {'x'});  // the data folder is a file

  // A pager written or read whose record is kept nowhere is done all the same, and fails.
  EXPECT_EQ(cli.run({"write", file, "--backup"}), cli::kFailed);
  EXPECT_EQ(cli.outLines().back(), "Verify OK !");
  const std::string kept =
      "record could not be kept in the register: The register cannot be "
      "written: " +
      cli.services.dataPath + "/register.sqlite (";
  const std::string journal = "; journal could not be written: " + cli.services.dataPath +
                              "/journal.csv: Not a directory\n";
  const auto saidBoth = [&](const std::string& first) {
    return cli.err.str().starts_with("ccp: " + first + kept) && cli.err.str().ends_with(journal);
  };
  EXPECT_TRUE(saidBoth("no backup: backup file could not be written; ")) << cli.err.str();
  // A batch counts such a pager as written, and says why it fails.
  EnterPresses presses(2, [] {});
  std::istream input(&presses);
  EXPECT_EQ(cli.run({"write", file, "--batch"}, input), cli::kFailed);
  EXPECT_TRUE(cli.outLines().back().starts_with("Batch: 2 pagers written, 0 failed;"));
  EXPECT_TRUE(
      contains(cli.err.str(), "ccp: pager 2 was written, but its record was kept nowhere\n"))
      << cli.err.str();
  const std::string out = cli.folder.file("read.eep");
  EXPECT_EQ(cli.run({"read", out}), cli::kFailed);
  EXPECT_TRUE(saidBoth("")) << cli.err.str();
  EXPECT_EQ(test::readBytes(out).size(), kFileSize);
  cli.services.programmer.setNoPager(true);
  EXPECT_EQ(cli.run({"read", out}), cli::kFailed);
  EXPECT_TRUE(saidBoth("")) << cli.err.str();
  EXPECT_EQ(test::readBytes(cli.services.dataPath), std::vector<std::uint8_t>{'x'});

  cli.services.dataPath.clear();  // neither HOME nor XDG_DATA_HOME names an absolute folder
  EXPECT_EQ(cli.run({"read", out}), cli::kFailed);
  EXPECT_EQ(cli.err.str(), std::string("ccp: ") + kNoDataFolder + "\n");
}

// Ctrl-C a second before the end of a write with a backup, in its EEPROM write: the write
// stops after the page under way, the lines at rest and the port released, and ends like a
// failure, journal line included; its backup is the one the line names.
TEST(CliRecordsTest, CtrlCStopsAWriteWhereThePagerIsConsistent) {
  CliFixture whole;
  ASSERT_EQ(whole.run({"write", whole.defaultFile("a.eep"), "--backup"}), cli::kDone);
  CliFixture cli;
  cli.services.clock.at(whole.services.clock.nowNs() - 1'000'000'000, [] { ::raise(SIGINT); });

  EXPECT_EQ(cli.run({"write", cli.defaultFile("a.eep"), "--backup"}), 128 + SIGINT);
  EXPECT_EQ(cli.outLines().back(), kInterruptedLine);
  EXPECT_EQ(testkit::linesNotAtRest(cli.services.programmer), "");
  EXPECT_TRUE(cli.services.programmer.violations().empty());
  EXPECT_EQ(cli.services.programmer.claimsHeld(), 0);
  const auto lines = journalLines(cli);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0][kOutcome], kInterruptedLine);
  EXPECT_EQ(backups(cli), std::vector<fs::path>{lines[0][kBackupFile]});
}

// A background job, started with Ctrl-C ignored, keeps ignoring it.
TEST(CliRecordsTest, AnIgnoredCtrlCLeavesTheWriteAlone) {
  struct sigaction ignore = {}, before = {};
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGINT, &ignore, &before);
  CliFixture cli;
  cli.services.clock.at(cli.services.clock.nowNs() + 2'000'000'000, [] { ::raise(SIGINT); });
  EXPECT_EQ(cli.run({"write", cli.defaultFile("a.eep")}), cli::kDone);
  ::sigaction(SIGINT, &before, nullptr);
}

}  // namespace
}  // namespace ccp
