// ccp write --guard and ccp register: the pager register on the command line.
#include <gtest/gtest.h>

#include "cli_fixture.h"
#include "files/csv_reader.h"

namespace ccp {
namespace {

using test::CliFixture;
using test::contains;

TEST(CliRegisterTest, AGuardedWriteOfAHeldCapcodeStopsUntilItIsReleased) {
  CliFixture cli;
  const std::string file = cli.fileWithCapcode(1000000);
  ASSERT_EQ(cli.run({"write", file, "--guard"}), cli::kDone);
  EXPECT_EQ(cli.run({"write", file, "--guard"}), cli::kFailed);
  EXPECT_TRUE(cli.outLines().back().starts_with("Capcode 1000000 was written on "));
  EXPECT_TRUE(cli.outLines().back().ends_with(" at station"));
  EXPECT_TRUE(contains(cli.err.str(), "ccp: nothing written: release capcode 1000000"));
  EXPECT_EQ(cli.run({"write", file, "--guard", "--count", "3"}, "\n\n\n"), cli::kFailed);
  EXPECT_TRUE(contains(cli.err.str(), "ccp: pager 1 was not written: the batch stops\n"));
  EXPECT_EQ(cli.outLines().back(), "Batch: 0 pagers written, 0 failed");

  ASSERT_EQ(cli.run({"register", "find", "1000000"}), cli::kDone);
  EXPECT_TRUE(cli.outLines()[0].starts_with("Capcode 1000000 was written on "));
  EXPECT_TRUE(contains(cli.out.str(), "\nHistory of capcode 1000000:\n"));
  ASSERT_EQ(cli.run({"register", "release", "1000000", "--note", "pager returned"}), cli::kDone);
  EXPECT_TRUE(cli.out.str().ends_with(" at station (serial 00000000): released by station\n"));
  EXPECT_EQ(cli.run({"register", "release", "1000000"}), cli::kFailed);  // free already
  ASSERT_EQ(cli.run({"write", file, "--guard"}), cli::kDone);
  ASSERT_EQ(cli.run({"register", "find", "1000000"}), cli::kDone);
  EXPECT_TRUE(contains(cli.out.str(), "  released  station  -       pager returned\n"));
  EXPECT_EQ(cli.run({"register", "find", "1234"}), cli::kFailed);
  EXPECT_EQ(cli.err.str(), "ccp: the register holds no record of 1234\n");
}

TEST(CliRegisterTest, ListExportImportStatusAndInit) {
  CliFixture cli;
  ASSERT_EQ(cli.run({"write", cli.defaultFile("a.eep")}), cli::kDone);
  ASSERT_EQ(cli.run({"register", "list", "--since", "2000-01-01"}), cli::kDone);
  ASSERT_EQ(cli.outLines().size(), 2u);
  EXPECT_TRUE(cli.outLines()[1].ends_with("  held   Verify OK !"));
  ASSERT_EQ(cli.run({"register", "list", "--station", "station-9"}), cli::kDone);
  EXPECT_EQ(cli.outLines().size(), 1u);  // the heading only
  EXPECT_EQ(cli.run({"register", "list", "--since", "yesterday"}), cli::kWrongUsage);

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
  EXPECT_TRUE(contains(cli.out.str(), "\nThis station:    station, guard off\n"));
  const std::string other = cli.folder.file("other.sqlite");
  ASSERT_EQ(cli.run({"register", "init", other}), cli::kDone);
  EXPECT_EQ(cli.outLines()[0],
            "Made the register's tables in " + other + " (SQLite, schema version 2)");
  ASSERT_EQ(cli.run({"--register", other, "register", "status", "--guard"}), cli::kWrongUsage);
  ASSERT_EQ(cli.run({"register", "status", "--register", other}), cli::kDone);
  EXPECT_TRUE(contains(cli.out.str(), "\nRecords:         0\n"));
}

}  // namespace
}  // namespace ccp
