// ccp read, write and verify on the simulated Programmer: the window's log, the pager's bytes,
// batches of pagers with advancing capcodes, and the exit statuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/write_batch.h"
#include "cli_fixture.h"
#include "form_fixture.h"
#include "image/capcode.h"

namespace ccp {
namespace {

using test::CliFixture;
using test::EnterPresses;

const std::vector<std::string> kStartUp = {"QPX730E CCP V1.4, support firmware version 1-4",
                                           "Port init success."};

using test::contains;

int fileCapcode(const std::string& path, int n) {
  const auto bytes = test::readBytes(path);
  DecoderBlock decoder{};
  std::copy(bytes.begin() + kEepSize, bytes.end(), decoder.begin());
  return readAddress(decoder, n).capcode;
}

TEST(CliPagerTest, ReadSavesThePagerByteForByteAfterTheWindowsLog) {
  CliFixture cli;
  auto eeprom = defaultPagerContents(cli.services.config).eeprom;
  for (std::size_t i = 0x100; i < eeprom.size(); ++i) eeprom[i] = static_cast<std::uint8_t>(i * 7);
  cli.services.programmer.setEeprom(eeprom);
  const std::string out = cli.folder.file("backup.eep");

  ASSERT_EQ(cli.run({"read", out, "--port", "simulator", "--lpt1", "/dev/parport3"}), cli::kDone)
      << cli.err.str();
  auto expected = kStartUp;
  expected.insert(expected.end(), {"Read data from pager", "Read completed"});
  EXPECT_EQ(cli.outLines(), expected);
  EXPECT_EQ(cli.services.connectedKind, PortKind::Simulator);
  EXPECT_EQ(cli.services.connectedPorts.lpt1, (NamedDevice{NamedDevice::Kind::Ppdev, 3}));
  std::vector<std::uint8_t> pager(eeprom.begin(), eeprom.end());
  const DecoderBlock decoder = cli.services.pagerDecoder();
  pager.insert(pager.end(), decoder.begin(), decoder.end());
  EXPECT_EQ(test::readBytes(out), pager);
}

TEST(CliPagerTest, APagerCommandThatFailsExits1AndWritesNoFile) {
  CliFixture cli;
  const std::string out = cli.folder.file("backup.eep");
  cli.services.programmer.setNoPager(true);
  EXPECT_EQ(cli.run({"read", out}), cli::kFailed);
  EXPECT_EQ(cli.outLines().back(), "Decoder Read error");
  EXPECT_EQ(cli.run({"write", cli.defaultFile("a.eep")}), cli::kFailed);
  EXPECT_EQ(cli.outLines().back(), "Pager Read error, please check the connection.");
  EXPECT_EQ(cli.folder.entries(), 1u);  // a.eep only

  // Start-up disables the pager commands when the port is refused.
  cli.services.programmer.setAccessGranted(false);
  EXPECT_EQ(cli.run({"verify", cli.defaultFile("a.eep")}), cli::kFailed);
  EXPECT_EQ(cli.outLines().back(), "Driver missing or disable, can't access the paraller port.");
  EXPECT_TRUE(contains(cli.err.str(), "disabled"));
}

TEST(CliPagerTest, PortLpt2IsChosenFromTheMenu) {
  CliFixture cli;  // the Programmer on LPT1
  EXPECT_EQ(cli.run({"read", cli.folder.file("x.eep"), "--port", "LPT2"}), cli::kFailed);
  CliFixture onLpt2(BuildConfig{}, 632);
  EXPECT_EQ(onLpt2.run({"read", onLpt2.folder.file("x.eep"), "--port", "LPT2"}), cli::kDone);
}

TEST(CliPagerTest, WriteAndVerifyCompareThePagerWithTheFile) {
  CliFixture cli;
  const std::string file = cli.fileWithCapcode(1000000);
  ASSERT_EQ(cli.run({"verify", file}), cli::kFailed);
  EXPECT_TRUE(contains(cli.out.str(), "[1] PN")) << cli.out.str();
  EXPECT_TRUE(contains(cli.out.str(), "1000000"));
  EXPECT_TRUE(contains(cli.out.str(), "2004000"));

  ASSERT_EQ(cli.run({"write", file}), cli::kDone) << cli.err.str();
  EXPECT_EQ(cli.outLines().back(), "Verify OK !");
  EXPECT_EQ(readAddress(cli.services.pagerDecoder(), 1).capcode, 1000000);
  ASSERT_EQ(cli.run({"verify", file}), cli::kDone);
  EXPECT_EQ(cli.outLines().back(), "The pager holds what " + file + " would write.");
}

TEST(CliPagerTest, BatchWritesOnePagerPerEnterWithAdvancingCapcodesAndUpdatesTheFile) {
  CliFixture cli;
  const int first = 1000000;
  const std::string file = cli.fileWithCapcode(first);
  std::vector<int> written;  // address 1 of each pager taken out
  bool started = false;
  EnterPresses presses(3, [&] {
    if (started) written.push_back(readAddress(cli.services.pagerDecoder(), 1).capcode);
    started = true;
    cli.services.plugInFreshPager();
  });
  std::istream input(&presses);
  ASSERT_EQ(cli.run({"write", file, "--port", "simulator", "--autoinc", "1,0,0,0,0,0", "--batch",
                     "--update"},
                    input),
            cli::kDone)
      << cli.err.str();
  EXPECT_EQ(written, (std::vector<int>{first, first + 1, first + 2}));
  EXPECT_EQ(fileCapcode(file, 1), first + 3);
  EXPECT_EQ(fileCapcode(file, 2), 2004008);  // a step of 0
  const std::string out = cli.out.str();
  std::size_t verified = 0;
  for (auto at = out.find("Verify OK !"); at != std::string::npos;
       at = out.find("Verify OK !", at + 1))
    ++verified;
  EXPECT_EQ(verified, 3u);
  EXPECT_TRUE(
      contains(cli.err.str(), "pager 3 done: remove it and plug in the next, then press Enter"));
}

TEST(CliPagerTest, TheBatchSummaryNamesTheCapcodesAsTheyWereWritten) {
  const struct {
    std::vector<int> capcodes;
    std::string named;
  } cases[] = {
      {{2004002, 2004003, 2004004, 2004006, 2004008, 2004009},
       "2004002-2004004, 2004006, 2004008-2004009"},
      {{8, 8, 8, 9}, "0000008 (3 pagers), 0000009"},
      {{2004010, 2004002}, "2004010, 2004002"},
  };
  for (const auto& c : cases) EXPECT_EQ(cli::capcodeRuns(c.capcodes), c.named);
}

TEST(CliPagerTest, OnATerminalProgressAndBellsGoToStandardError) {
  CliFixture cli;
  cli.terminal = true;
  const std::string file = cli.defaultFile("a.eep");
  ASSERT_EQ(cli.run({"show", file}), cli::kDone);
  EXPECT_EQ(cli.err.str(), "");  // the unseen start-up's beep does not ring
  ASSERT_EQ(cli.run({"write", file}), cli::kDone);
  const std::string err = cli.err.str();
  EXPECT_TRUE(contains(err, "\r\033[KEEPROM verify  99%  about 1 s left\r\033[K\a"));
  // A line is written only when it changes.
  EXPECT_FALSE(contains(err, "99%  about 1 s left\r\033[KEEPROM verify  99%  about 1 s left"));
  EXPECT_TRUE(contains(err, "\r\033[KDecoder write  "));
  EXPECT_TRUE(err.ends_with("\r\033[K\a"))
      << err;  // progress cleared for the log; "Verify OK !" rings
  EXPECT_EQ(cli.outLines().back(), "Verify OK !");
}

TEST(CliPagerTest, AStepForARowThatIsOffIsRefused) {
  CliFixture cli;
  const std::string file = cli.defaultFile("a.eep");
  ASSERT_EQ(cli.run({"set", file, "addr3en=off"}), cli::kDone);
  EXPECT_EQ(cli.run({"write", file, "--autoinc", "0,0,1,0,0,0"}), cli::kWrongUsage);
  EXPECT_TRUE(contains(cli.err.str(), "autoinc3 cannot be changed: it is disabled"));
  EXPECT_FALSE(contains(cli.out.str(), "Write to Pager..."));
}

TEST(CliPagerTest, TheLargestAutoIncrementStepIsTaken) {
  CliFixture cli;
  EXPECT_EQ(cli.run({"write", cli.defaultFile("a.eep"), "--autoinc", "8,0,0,0,0,0"}), cli::kDone)
      << cli.err.str();
}

TEST(CliPagerTest, OnlyUpdateSavesTheAdvancedCapcodesToTheFile) {
  CliFixture cli;
  const std::string file = cli.fileWithCapcode(1000000);
  const auto before = test::readBytes(file);
  ASSERT_EQ(cli.run({"write", file, "--autoinc", "1,0,0,0,0,0", "--batch"}, "\n"), cli::kDone);
  EXPECT_EQ(test::readBytes(file), before);
  ASSERT_EQ(cli.run({"write", file, "--autoinc", "1,0,0,0,0,0", "--update"}), cli::kDone);
  EXPECT_EQ(fileCapcode(file, 1), 1000001);
  // A folder takes the file's place while the pager is written: a single write has no batch.
  cli.services.clock.at(cli.services.clock.nowNs() + 1, [&file] {
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
  });
  EXPECT_EQ(cli.run({"write", file, "--update"}), cli::kFileError);
  EXPECT_TRUE(contains(cli.err.str(), "could not save the advanced settings to " + file + "\n"));
}

}  // namespace
}  // namespace ccp
