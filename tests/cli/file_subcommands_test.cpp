// ccp show, diff and set on files, and its usage: what the window would show, refuse and save.
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "cli/setting_names.h"
#include "cli/terminal_platform.h"
#include "cli_fixture.h"
#include "form_fixture.h"
#include "image/layout.h"
#include "rules/setting_rules.h"

namespace ccp {
namespace {

using test::CliFixture;

using test::contains;

TEST(CliFilesTest, ShowGivesEverySettingUnderItsPageWithoutTheLog) {
  CliFixture cli;
  const std::string file = cli.defaultFile("a.eep");
  ASSERT_EQ(cli.run({"show", file}), cli::kDone);
  const std::string text = cli.out.str();
  EXPECT_TRUE(text.starts_with("Address/Folder\n  Address\n")) << text;
  EXPECT_TRUE(contains(text, "\nSetting\n  Hello Message\n"));
  EXPECT_TRUE(contains(text, "  Channel freq                457.00000   (channelfreq)\n")) << text;
  EXPECT_TRUE(contains(text, "    [1] Title"));
  EXPECT_FALSE(contains(text, "File loaded"));
  EXPECT_EQ(cli.err.str(), "");

  ASSERT_EQ(cli.run({"show", "--json", file}), cli::kDone);
  const std::string json = cli.out.str();
  EXPECT_TRUE(json.starts_with("{\n  \"Address/Folder\": {\n    \"addr1en\": true,\n")) << json;
  EXPECT_TRUE(contains(json, "\"channelfreq\": \"457.00000\""));
  EXPECT_TRUE(contains(json, "\"subversion\": \"\"\n  }\n}\n"));
  for (const cli::SettingPlace& place : cli::settingPlaces()) {
    EXPECT_TRUE(contains(json, "\"" + place.name + "\": ")) << place.name;
  }
}

TEST(CliFilesTest, AFileTheWindowCannotLoadExits3WithTheWindowsLines) {
  CliFixture cli;
  const std::string damaged = cli.defaultFile("damaged.eep");
  auto bytes = test::readBytes(damaged);
  bytes[10] ^= 1;
  test::writeBytes(damaged, bytes);
  EXPECT_EQ(cli.run({"show", damaged}), cli::kFileError);
  EXPECT_TRUE(contains(cli.err.str(), "File checksum error!!!"));
  EXPECT_EQ(cli.out.str(), "");
  EXPECT_EQ(cli.run({"diff", cli.defaultFile("a.eep"), cli.folder.file("missing.eep")}),
            cli::kFileError);
  EXPECT_TRUE(contains(cli.err.str(), "Load file error"));
}

TEST(CliFilesTest, SetTypesChoosesAndClicksAsAUserThenSavesAndDiffShowsIt) {
  CliFixture cli;
  const std::string a = cli.defaultFile("a.eep");
  const std::string b = cli.folder.file("b.eep");
  const auto before = test::readBytes(a);
  ASSERT_EQ(cli.run({"set", a, "contrast=70", "channelfreq=452.12500", "language=FRENCH",
                     "handprogram=on", "hellomsg1=HI", "-o", b}),
            cli::kDone)
      << cli.err.str();
  EXPECT_EQ(cli.outLines(), (std::vector<std::string>{"Load data from " + a, "File loaded",
                                                      "Save data to " + b, "ok!"}));
  EXPECT_EQ(test::readBytes(a), before);

  EXPECT_EQ(cli.run({"diff", a, a}), cli::kDone);
  EXPECT_EQ(cli.out.str(), "");
  ASSERT_EQ(cli.run({"diff", a, b}), cli::kFailed);
  const auto lines = cli.outLines();
  ASSERT_EQ(lines.size(), 6u) << cli.out.str();  // a heading and five settings
  EXPECT_TRUE(contains(lines[0], a) && contains(lines[0], b));
  // The clamp of the exit rule ran; the greeting was padded when left.
  EXPECT_TRUE(contains(cli.out.str(), "Setting / contrast"));
  EXPECT_TRUE(contains(cli.out.str(), "48"));
  EXPECT_TRUE(contains(cli.out.str(), "63"));
  EXPECT_TRUE(contains(cli.out.str(), "\"HI            \""));
  EXPECT_TRUE(contains(cli.out.str(), "452.12500"));
}

TEST(CliFilesTest, ARefusedSettingSavesNothingAndExits2) {
  const struct {
    std::string assignment;
    std::string why;  // in the error
  } cases[] = {
      {"contrast=4x", "Number Key and back space key only"},
      {"channelfreq=45x", "does not take the key 'x'"},
      {"serial=123456789", "takes at most 8 characters"},
      {"pubboxlength3=0", "Length should large than ZERO"},
      {"address1=2007665", "range out, should be within"},
      {"contrast=", "the window showed an error"},
      {"firmwareversion=3", "disabled"},
      {"urgcalladdr=Addr 2", "not shown"},
      {"frame1=3", "read-only"},
      {"language=KLINGON", "has no item \"KLINGON\""},
      {"handprogram=yes", "takes on or off"},
      {"nosuch=1", "no setting named 'nosuch' (ccp set --names lists them)"},
      {"contrast", "is not NAME=VALUE"},
      {"hellomsg1=\u65E5\u672C", "the pager has no character '\u65E5'"},
      {"hellomsg1=a\x1b[2J", "no key types the control character \\x1b"},
      {"hellomsg1=\xFC", "not UTF-8"},
  };
  for (const auto& c : cases) {
    CliFixture cli;
    const std::string file = cli.defaultFile("a.eep");
    const auto before = test::readBytes(file);
    EXPECT_EQ(cli.run({"set", file, "password=1234", c.assignment}), cli::kWrongUsage)
        << c.assignment;
    EXPECT_TRUE(contains(cli.err.str(), c.why)) << c.assignment << ": " << cli.err.str();
    EXPECT_FALSE(contains(cli.err.str(), "\x1b")) << c.assignment;  // echoed escaped
    EXPECT_FALSE(contains(cli.out.str(), "Save data to")) << c.assignment;
    EXPECT_EQ(test::readBytes(file), before) << c.assignment;
  }
  CliFixture cli;
  EXPECT_EQ(cli.run({"set", cli.defaultFile("a.eep"), "contrast="}), cli::kWrongUsage);
  EXPECT_TRUE(contains(cli.err.str(), "'' is not a valid integer value\n"));  // the error box
  // Said as the seventh digit is typed; the field is not left for its exit rule to say it again.
  EXPECT_EQ(cli.run({"set", cli.defaultFile("a.eep"), "address1=2110000"}), cli::kWrongUsage);
  const auto lines = cli.outLines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) { return contains(line, "range out"); }),
            1)
      << cli.out.str();
}

TEST(CliFilesTest, SetTypesThePagersCharactersAndSaysWhatTheWindowChanged) {
  CliFixture cli;
  const std::string file = cli.defaultFile("a.eep");
  std::string euros;
  for (int i = 0; i < 14; ++i) euros += "\u20AC";  // fourteen characters, 42 bytes of UTF-8
  ASSERT_EQ(cli.run({"set", file, "hellomsg1=" + euros, "contrast=99", "channelfreq=466.0125"}),
            cli::kDone)
      << cli.err.str();
  EXPECT_EQ(cli.err.str(), "contrast: 99 became 63\nchannelfreq: 466.0125 became 466.02500\n");
  const auto bytes = test::readBytes(file);
  EXPECT_EQ(std::string(bytes.begin() + eep::kHelloMessage,
                        bytes.begin() + eep::kHelloMessage + eep::kHelloMessageWidth),
            std::string(eep::kHelloMessageWidth, '\x80'));
}

TEST(CliFilesTest, ShowDiffAndJsonPrintControlBytesEscaped) {
  CliFixture cli;
  const std::string file = cli.defaultFile("greeting.eep");
  auto bytes = test::readBytes(file);
  const std::string greeting =
      "\x1b[2J\x7f\x81\\\x80"
      "abcdef";
  std::copy(greeting.begin(), greeting.end(), bytes.begin() + eep::kHelloMessage);
  bytes[eep::kChecksum] = static_cast<std::uint8_t>(
      0xFF - std::accumulate(bytes.begin(), bytes.begin() + eep::kChecksum, 0));
  test::writeBytes(file, bytes);
  const std::string shown =
      "\\x1b[2J\\x7f\\u0081\\\\\u20AC"
      "abcdef ";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"show", file}, shown},
      {{"diff", file, cli.defaultFile("a.eep")}, shown},
      {{"show", "--json", file},
       "\"hellomsg1\": \"\\u001b[2J\\u007f\\u0081\\\\\\u20ac"
       "abcdef\""},
  };
  for (const auto& [words, part] : cases) {
    cli.run(words);
    const std::string out = cli.out.str();
    EXPECT_TRUE(contains(out, part)) << out;
    EXPECT_FALSE(contains(out, "\x1b") || contains(out, "\x7f") || contains(out, "\xC2\x81"))
        << words[0];
  }
}

TEST(CliFilesTest, SettingsChangeInOrderAsTheyWouldInTheWindow) {
  // The service code shows the service fields in the factory edition only.
  const std::vector<std::string> words = {"serial=" + std::string(rules::kServiceCode),
                                          "addrcheck=0x3"};
  CliFixture factory(test::kEFactory);
  std::vector<std::string> args = {"set", factory.defaultFile("a.eep")};
  args.insert(args.end(), words.begin(), words.end());
  EXPECT_EQ(factory.run(args), cli::kDone) << factory.err.str();
  EXPECT_EQ(factory.run({"show", "--json", args[1]}), cli::kDone);
  EXPECT_TRUE(contains(factory.out.str(), "\"addrcheck\": \"0x3\""));

  CliFixture customer(test::kE);
  args[1] = customer.defaultFile("a.eep");
  EXPECT_EQ(customer.run(args), cli::kWrongUsage);
  EXPECT_TRUE(contains(customer.err.str(), "addrcheck is not shown"));
}

TEST(CliFilesTest, WrongUsageExits2AndHelpAndVersionAnswer) {
  const std::vector<std::vector<std::string>> wrong = {
      {},
      {"frob"},
      {"show"},
      {"show", "a", "b"},
      {"show", "a", "--port", "LPT1"},
      {"show", "a", "--lpt1"},
      {"diff", "a"},
      {"set", "a"},
      {"read", "o", "--port", "LPT3"},
      {"read", "o", "--port", "1"},  // the names only, never the numbers behind them
      {"read", "o", "--lpt2", "0xzz"},
      {"write", "f", "--autoinc", "1,2"},
      {"write", "f", "--autoinc", "9,0,0,0,0,0"},
      {"write", "f", "--json"},
      {"verify", "f", "--batch"},
      {"read", "o", "--backup"},
      {"read", "o", "--fresh"},   // a new pager is for the simulated Programmer
      {"write", "-", "--batch"},  // Enter and the file cannot both come from standard input
      {"diff", "-", "-"},
      {"write", "f", "--dry-run", "--update"},
      {"-q", "-v", "show", "a"},
  };
  for (const auto& words : wrong) {
    CliFixture cli;
    EXPECT_EQ(cli.run(words), cli::kWrongUsage) << ::testing::PrintToString(words);
    EXPECT_TRUE(cli.err.str().starts_with("ccp: ")) << cli.err.str();
    EXPECT_FALSE(cli.services.connectedKind);
  }
  CliFixture cli(test::kH);
  EXPECT_EQ(cli.run({"register"}), cli::kWrongUsage);
  EXPECT_TRUE(contains(cli.err.str(),
                       "ccp: register takes a command: find, list, export, "
                       "import, release, claims, conflicts, resolve, init, status\n"));
  EXPECT_EQ(cli.run({"--version"}), cli::kDone);
  EXPECT_EQ(cli.out.str(), "QPX730H CCP V1.4\nQPX730H, customer edition, parallel port build\n");
  EXPECT_EQ(cli.run({"--help"}), cli::kDone);
  EXPECT_TRUE(cli.out.str().starts_with("ccp - ")) << cli.out.str();
  EXPECT_TRUE(contains(cli.out.str(), "\nUsage: ccp "));
}

TEST(CliFilesTest, ProgressLineGivesPhasePercentAndTimeLeft) {
  EXPECT_EQ(cli::progressLine({"EEPROM write", 25, 3}), "EEPROM write  25%  about 3 s left");
}

// "lnk/../x.eep" is the x.eep beside the folder the link leads to, as the shell takes it.
TEST(CliFilesTest, APathIsTakenAsTheSystemTakesIt) {
  CliFixture cli;
  std::filesystem::create_directories(cli.folder.file("deep/sub"));
  std::filesystem::create_directory_symlink(cli.folder.file("deep/sub"), cli.folder.file("lnk"));
  cli.defaultFile("deep/x.eep");
  EXPECT_EQ(cli.run({"show", cli.folder.file("lnk/../x.eep")}), cli::kDone) << cli.err.str();
}

}  // namespace
}  // namespace ccp
