// fleet write at one station: what its prompt takes, and what it says of each row.
#include <gtest/gtest.h>

#include "cli_fixture.h"

namespace ccp {
namespace {

// s skips a row for this run, a serial number scanned picks the row of that pager and must be the
// pager's, Enter writes; the run ends when no row is left to it.
TEST(FleetPromptTest, SkipScanAndWriteUntilNoRowIsLeftToThisStation) {
  test::CliFixture cli;
  const std::string pattern = cli.defaultFile("template.eep");
  ASSERT_EQ(cli.run({"set", pattern, "addr2en=off", "addr3en=off", "addr4en=off", "addr5en=off",
                     "addr6en=off"}),
            cli::kDone);
  const std::string path = cli.folder.file("ward.csv");
  const std::string list =
      "Name,Capcode,Serial No.\nBed 1,1300000,SN101\nBed 2,1300008,SN102\nBed 3,1300016,SN103\n";
  test::writeBytes(path, {list.begin(), list.end()});
  EXPECT_EQ(cli.run({"fleet", "write", path, "--template", pattern, "--port", "simulator", "-q"},
                    "s\nSN103\n\n"),
            cli::kDone);
  EXPECT_TRUE(test::contains(cli.err.str(),
                             "row 1 of 3, Bed 1, capcode 1300000: put the pager in the "
                             "Programmer, then Enter; s skips, q stops"))
      << cli.err.str();
  const auto lines = cli.outLines();  // each command's last log line, then what became of the row
  const std::vector<std::string> said(lines.end() - 5, lines.end());
  EXPECT_EQ(said, (std::vector<std::string>{
                      "This pager's serial number is 00000000, not SN103 as scanned: nothing "
                      "written",
                      "row 3 of 3, Bed 3, capcode 1300016: not written: This pager's serial "
                      "number is 00000000, not SN103 as scanned: nothing written",
                      "Verify OK !", "row 2 of 3, Bed 2, capcode 1300008: done",
                      "ward.csv: 1 of 3 done, 0 failed, 0 being written, 2 open"}));
}

}  // namespace
}  // namespace ccp
