// ccp fleet check: a customer's list checked against the window's rules and the register.
#include <gtest/gtest.h>

#include <fstream>

#include "cli_fixture.h"

namespace ccp {
namespace {

using test::contains;

TEST(CliFleet, CheckSaysEachProblemAtItsLineThenASummary) {
  test::CliFixture cli;
  const std::string templateFile = cli.defaultFile("template.eep");
  const std::string list = cli.folder.file("ward.csv");
  const auto writeList = [&list](const std::string& text) { std::ofstream(list) << text; };
  writeList("Name,Capcode\nA,2004500\nB,2004508\n");
  EXPECT_EQ(cli.run({"fleet", "check", list, "--template", templateFile}), cli::kDone)
      << cli.err.str();
  EXPECT_EQ(cli.outLines(), (std::vector<std::string>{list + ": 2 pagers, 0 errors, 0 warnings: "
                                                             "ready to write"}));
  // Asked, never made: no pager command has kept a record yet.
  EXPECT_TRUE(contains(cli.err.str(), "no pager command has kept a record yet")) << cli.err.str();

  // Another pager holds 2004500 now.
  ASSERT_EQ(cli.run({"write", cli.fileWithCapcode(2004500)}), cli::kDone) << cli.err.str();
  writeList("Name,Capcode\nA,2004500\nB,12345\nC,2004x\n");
  EXPECT_EQ(cli.run({"fleet", "check", list, "--template", templateFile, "--dry-run"}),
            cli::kFailed);
  const std::vector<std::string> lines = cli.outLines();
  ASSERT_EQ(lines.size(), 7u) << cli.out.str();
  EXPECT_EQ(lines[0], list + ":2: row 1 (A): address1: 2004000 -> 2004500");
  EXPECT_EQ(lines[3], list +
                          ":1: warning: 1 capcode of fewer than seven digits, padded with "
                          "leading zeros as the window pads them (a spreadsheet drops them "
                          "from a column of numbers: format it as text)");
  EXPECT_TRUE(lines[4].starts_with(list + ":2: Capcode '2004500': Capcode 2004500 was written on "))
      << lines[4];
  EXPECT_EQ(lines[5], list + ":4: Capcode '2004x': Number Key and back space key only");
  EXPECT_EQ(lines[6], list + ": 3 pagers, 2 errors, 1 warning: nothing may be written");
}

}  // namespace
}  // namespace ccp
