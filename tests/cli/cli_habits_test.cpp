// The habits of device-programmer command lines: test, ports, quiet and verbose, "-" for the
// standard streams, dry runs, batch summaries, and messages that name their cause.
#include <gtest/gtest.h>
#include <unistd.h>

#include "cli/terminal_text.h"
#include "cli_fixture.h"
#include "image/capcode.h"

namespace ccp {
namespace {

using test::CliFixture;
using test::contains;
using test::EnterPresses;

std::vector<std::uint8_t> pagerBytes(CliFixture& cli) {
  const auto& p = cli.services.programmer;
  std::vector<std::uint8_t> bytes(p.eeprom().begin(), p.eeprom().end());
  bytes.insert(bytes.end(), p.decoder().begin(), p.decoder().end());
  return bytes;
}

TEST(CliHabitsTest, TestPassesWithAPagerAndFailsWithout) {
  for (const bool pager : {true, false}) {
    CliFixture cli;
    cli.services.programmer.setNoPager(!pager);
    EXPECT_EQ(cli.run({"test", "--port", "simulator"}), pager ? cli::kDone : cli::kFailed);
    EXPECT_EQ(cli.outLines().back(), pager ? "LPT1 (simulated Programmer): Programmer test passed"
                                           : "LPT1 (simulated Programmer): Programmer test failed");
  }
}

TEST(CliHabitsTest, ADryRunShowsWhatWouldChangeAndLeavesThePagerUntouched) {
  CliFixture cli;
  const std::string file = cli.fileWithCapcode(1000000);
  const auto before = pagerBytes(cli);
  ASSERT_EQ(cli.run({"write", file, "--dry-run", "--port", "simulator"}), cli::kDone)
      << cli.err.str();
  EXPECT_EQ(pagerBytes(cli), before);
  EXPECT_FALSE(contains(cli.out.str(), "Write to Pager"));
  EXPECT_TRUE(contains(cli.out.str(), "pager         after the write\n")) << cli.out.str();
  EXPECT_TRUE(contains(cli.out.str(), "[1] PN  2004000       1000000\n"));

  ASSERT_EQ(cli.run({"write", file}), cli::kDone);
  ASSERT_EQ(cli.run({"write", file, "--dry-run"}), cli::kDone);
  EXPECT_EQ(cli.outLines().back(), "The write would change nothing on the pager.");
}

TEST(CliHabitsTest, ABatchGoesOnPastAFailedPagerEndsAtItsCountAndSumsUp) {
  CliFixture cli;
  const std::string file = cli.fileWithCapcode(1000000);
  int plugged = 0;
  EnterPresses presses(5, [&] {
    cli.services.plugInFreshPager();
    cli.services.programmer.setNoPager(++plugged == 2);  // the second pager does not answer
  });
  std::istream input(&presses);
  EXPECT_EQ(cli.run({"write", file, "--autoinc", "1,0,0,0,0,0", "--count", "2"}, input),
            cli::kFailed);
  EXPECT_EQ(plugged, 3);
  EXPECT_EQ(cli.outLines().back(), "Batch: 2 pagers written, 1 failed; capcodes 1000000-1000001");
  const std::string err = cli.err.str();
  EXPECT_TRUE(contains(err, "ccp: pager 2 failed: set it aside\n"));
  EXPECT_TRUE(contains(err, "pager 2 done: remove it and plug in the next, then press Enter\n"));
  EXPECT_FALSE(contains(err, "pager 3 done"));  // the count is reached: no next pager
}

TEST(CliHabitsTest, ADashStandsForStandardInputAndOutput) {
  CliFixture cli;
  const std::string file = cli.defaultFile("a.eep");
  const auto bytes = test::readBytes(file);
  ASSERT_EQ(cli.run({"set", "-", "contrast=40"}, std::string(bytes.begin(), bytes.end())),
            cli::kDone)
      << cli.err.str();
  const std::string piped = cli.out.str();
  EXPECT_TRUE(contains(cli.err.str(), "\nok!\n"));  // the log moved to standard error
  ASSERT_EQ(cli.run({"set", file, "contrast=40"}), cli::kDone);
  const auto saved = test::readBytes(file);
  EXPECT_EQ(piped, std::string(saved.begin(), saved.end()));

  ASSERT_EQ(cli.run({"read", "-"}), cli::kDone);
  const auto pager = pagerBytes(cli);
  EXPECT_EQ(cli.out.str(), std::string(pager.begin(), pager.end()));
  EXPECT_TRUE(contains(cli.err.str(), "Read completed\n"));
}

TEST(CliHabitsTest, QuietKeepsTheLastLineOfEachCommandVerboseAddsPortClaimsAndTiming) {
  CliFixture cli;
  const std::string file = cli.defaultFile("a.eep");
  ASSERT_EQ(cli.run({"-q", "write", file}), cli::kDone);
  EXPECT_EQ(cli.outLines(), (std::vector<std::string>{"File loaded", "Verify OK !"}));
  EXPECT_EQ(cli.err.str(), "");

  ASSERT_EQ(cli.run({"write", file, "-v"}), cli::kDone);
  const std::string err = cli.err.str();
  EXPECT_TRUE(contains(err, "ccp: port access granted: LPT1 is simulated Programmer"));
  EXPECT_TRUE(contains(err, "ccp: claimed LPT1 (simulated Programmer)\n"));
  EXPECT_TRUE(contains(err, "ccp: released LPT1 after "));
  EXPECT_TRUE(contains(err, "ccp: Write to pager took ")) << err;
  ASSERT_EQ(cli.run({"-v", "read", cli.folder.file("x.eep")}), cli::kDone);
  EXPECT_TRUE(contains(cli.err.str(), "ccp: Read from pager took ")) << cli.err.str();
  EXPECT_FALSE(contains(cli.out.str(), "Read from pager")) << "the log keeps its own lines";

  cli.services.programmer.setHeldElsewhere(true);
  EXPECT_EQ(cli.run({"-v", "read", cli.folder.file("x.eep")}), cli::kFailed);
  EXPECT_TRUE(contains(cli.err.str(),
                       "ccp: claim of LPT1 (simulated Programmer) refused: another program holds "
                       "it\n"));
  // Quiet, the reason the pager commands are off is in the error itself.
  cli.services.programmer.setAccessGranted(false);
  EXPECT_EQ(cli.run({"-q", "read", cli.folder.file("x.eep")}), cli::kFailed);
  EXPECT_EQ(cli.err.str(),
            "ccp: the pager commands are disabled: Driver missing or disable, can't access the "
            "paraller port.\n");
}

TEST(CliHabitsTest, AFileThatCannotBeUsedIsNamedWithTheSystemsReason) {
  CliFixture cli;
  const std::string file = cli.fileWithCapcode(1000000);
  const std::string missing = cli.folder.file("no/such.eep");
  const std::string folder = cli.folder.path().string();
  const struct {
    std::vector<std::string> words;
    int status;
    std::string logLine;  // the window's own, kept as it is
    std::string err;
  } cases[] = {
      {{"show", missing},
       cli::kFileError,
       "Load file error",
       "ccp: could not load " + missing + ": No such file or directory\n"},
      {{"diff", file, folder},
       cli::kFileError,
       "Load file error",
       "ccp: could not load " + folder + ": Is a directory\n"},
      {{"set", file, "contrast=40", "-o", folder},
       cli::kFileError,
       "write error!",
       "ccp: could not write " + folder + ": Is a directory\n"},
      // Checked before the pager is touched.
      {{"read", missing},
       cli::kFileError,
       "",
       "ccp: cannot write " + missing + ": No such file or directory; the pager was not read\n"},
      {{"write", folder, "--update"},
       cli::kFileError,
       "",
       "ccp: cannot write " + folder + ": Is a directory; no pager written\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cli.run(c.words), c.status) << c.words[0];
    EXPECT_TRUE(contains(cli.out.str() + cli.err.str(), c.logLine)) << c.words[0];
    EXPECT_TRUE(cli.err.str().ends_with(c.err)) << cli.err.str();
  }
  EXPECT_FALSE(cli.services.connectedKind);
}

TEST(CliHabitsTest, AChosenDeviceTheSystemLacksIsSaidToBeMissing) {
  CliFixture cli;
  cli.services.kernel.addPort(0, 0x378);
  cli.run({"read", cli.folder.file("x.eep"), "--lpt1", "/dev/parport3"});
  EXPECT_TRUE(
      contains(cli.err.str(), "ccp: --lpt1 /dev/parport3 is missing: No such file or directory\n"));
}

TEST(CliHabitsTest, PortsListsEachPortWithItsNameAccessAndHolder) {
  CliFixture cli;
  cli.services.kernel.addPort(0, 0x378).holder = "lp";
  cli.services.kernel.addPort(1, 0xd010).mayOpen = false;
  ASSERT_EQ(cli.run({"ports", "--lpt2", "/dev/parport1"}), cli::kDone);
  EXPECT_EQ(cli.outLines(), (std::vector<std::string>{
                                "DEVICE         BASE    NAME  ACCESS             HELD BY",
                                "/dev/parport0  0x378   LPT1  yes                lp",
                                "/dev/parport1  0xd010  LPT2  Permission denied  nobody",
                            }));
}

TEST(CliHabitsTest, ShowLeavesOutWhatTheWindowHidesUnlessAllIsAsked) {
  CliFixture cli;  // the QPX730E hides the urgent call address
  const std::string file = cli.defaultFile("a.eep");
  ASSERT_EQ(cli.run({"show", file}), cli::kDone);
  EXPECT_FALSE(contains(cli.out.str(), "(urgcalladdr)"));
  ASSERT_EQ(cli.run({"show", file, "--all"}), cli::kDone);
  EXPECT_TRUE(contains(cli.out.str(), "(urgcalladdr) hidden\n"));
  EXPECT_TRUE(contains(cli.out.str(), "(contrast)\n"));
}

// A shared register's texts reach the terminal escaped, their columns counted in characters.
TEST(CliHabitsTest, TablesEscapeTheirCellsAndAlignThemByCharacters) {
  std::ostringstream out;
  cli::printTable(out, {{"STATION", "NOTE"}, {"Z\u00FCrich\x1b[2J", "x"}, {"Bern", "y"}});
  EXPECT_EQ(out.str(), "STATION        NOTE\nZ\u00FCrich\\x1b[2J  x\nBern           y\n");
}

TEST(CliHabitsTest, SetNamesListsWhatSetTakesButNotTheReadOnlyFields) {
  CliFixture cli;
  ASSERT_EQ(cli.run({"set", "--names"}), cli::kDone);
  const auto names = cli.outLines();
  EXPECT_EQ(names.front(), "addr1en");
  EXPECT_NE(std::find(names.begin(), names.end(), "contrast"), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), "frame1"), names.end());
}

}  // namespace
}  // namespace ccp
