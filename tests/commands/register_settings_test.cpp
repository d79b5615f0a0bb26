#include "commands/register_settings.h"

#include <gtest/gtest.h>

#include "register/record_columns.h"

namespace ccp {
namespace {

TEST(RegisterSettings, TextGoesBackToTheSameSettingsAndBadLinesAreNamed) {
  RegisterSettings s;
  s.location = "postgresql://station@server/pagers";
  s.station = "station-2";
  s.guard = false;
  s.uniqueRows = {1, 3};
  s.readBeforeWrite = true;
  s.whenTaken = WhenTaken::TakeNextFree;
  s.allowUnguarded = true;
  EXPECT_EQ(parseRegisterSettings(registerSettingsText(s)).settings, s);
  EXPECT_EQ(parseRegisterSettings(registerSettingsText({})).settings, RegisterSettings{});

  const auto parsed = parseRegisterSettings("guard = on\n\n# note\nguard = maybe\ncolour = red\n");
  EXPECT_EQ(parsed.settings.guard, true);
  EXPECT_EQ(
      parsed.stops,
      (std::vector<std::string>{"line 4: guard: takes on or off (or yes or no, true or false)"}));
  EXPECT_EQ(parsed.problems, (std::vector<std::string>{"line 5: not a register setting"}));
}

// A line that keeps the register or the guard right is taken or stops the pager commands;
// another is left out. Either is named by its number and key, never by its value.
TEST(RegisterSettings, ALineThatCannotBeTakenStopsOrIsLeftOutAndIsNamedByItsKey) {
  const struct {
    const char* line;
    const char* said;  // after "line 1: "
    bool stops;
  } cases[] = {
      {"register = sqlite:Zq.sqlite", "register: only a postgresql:// URL", true},
      {"register: postgresql://st:Zq@db/p", "register: its value follows '='", true},
      {"register =", "register: no register was named", true},
      {"Register = /Zq.sqlite", "register: its key is misspelt", true},
      {"guard = Zq", "guard: takes on or off", true},
      {"guard on", "guard: its value follows '='", true},
      {"gaurd = on", "guard: its key is misspelt", true},
      {"unique-rows = 7", "unique-rows: takes rows 1 to 6", true},
      {"unique_rows = 1,3", "unique-rows: its key is misspelt", true},
      {"when-taken = Zq", "when-taken: takes stop or next-free", true},
      {"when taken = next-free", "when-taken: its key is misspelt", true},
      {"allow-unguarded = Zq", "allow-unguarded: takes on or off", true},
      {"allow-unguarded: on", "allow-unguarded: its value follows '='", true},
      {"station = Zq\xff", "station: not UTF-8 text", true},
      {"station: Zq", "station: its value follows '='", false},
      {"read-before-write = Zq", "read-before-write: takes on or off", false},
      {"colour = Zq", "not a register setting", false},
      {"Zq", "not a register setting", false},
  };
  for (const auto& c : cases) {
    const ParsedRegisterSettings parsed = parseRegisterSettings(c.line);
    const auto& said = c.stops ? parsed.stops : parsed.problems;
    ASSERT_EQ(parsed.stops.size() + parsed.problems.size(), 1u) << c.line;
    ASSERT_EQ(said.size(), 1u) << c.line;
    EXPECT_TRUE(said[0].starts_with(std::string("line 1: ") + c.said)) << said[0];
    EXPECT_EQ(said[0].find("Zq"), std::string::npos) << said[0];
    EXPECT_EQ(parsed.settings, RegisterSettings{}) << c.line;
  }
}

TEST(RegisterSettings, OnAndOffAreTakenInAnyCaseAsYesNoTrueFalse) {
  const struct {
    const char* value;
    bool on;
  } cases[] = {{"on", true},   {"ON", true},  {"yes", true},    {"True", true}, {"1", true},
               {"off", false}, {"No", false}, {"FALSE", false}, {"0", false},   {"oFf", false}};
  for (const auto& c : cases) {
    const std::string value = c.value;
    const auto parsed = parseRegisterSettings("guard = " + value + "\nallow-unguarded = " + value +
                                              "\nread-before-write = " + value + "\n");
    EXPECT_TRUE(parsed.stops.empty() && parsed.problems.empty()) << value;
    EXPECT_EQ(parsed.settings.guard, c.on) << value;
    EXPECT_EQ(parsed.settings.allowUnguarded, c.on) << value;
    EXPECT_EQ(parsed.settings.readBeforeWrite, c.on) << value;
  }
  EXPECT_EQ(parseRegisterSettings("when-taken = Next-Free").settings.whenTaken,
            WhenTaken::TakeNextFree);
}

TEST(RegisterSettings, IndividualRowsAreRowOneAndTheAdvancingRowsUnlessSetByHand) {
  RegisterSettings automatic;
  EXPECT_EQ(individualRows(automatic, {0, 0, 0, 0, 0, 0}), (std::vector<int>{1}));
  // Rows 5 and 6 never advance, so their steps do not make them individual.
  EXPECT_EQ(individualRows(automatic, {1, 0, 8, 1, 1, 1}), (std::vector<int>{1, 3, 4}));
  RegisterSettings byHand;
  byHand.uniqueRows = *parseRowList("3, 1,3");
  EXPECT_EQ(individualRows(byHand, {1, 1, 1, 1, 0, 0}), (std::vector<int>{1, 3}));
  for (const char* bad : {"", "0", "7", "1,,2", "one", "1;2"})
    EXPECT_FALSE(parseRowList(bad)) << bad;
}

TEST(RegisterSettings, LocationComesFromCommandLineEnvironmentSettingsThenDefault) {
  RegisterSettings s;
  const auto use = [&](std::string_view line, std::string_view env) {
    return resolveRegisterUse(s, "/data/register.sqlite", line, env, "bench-pc");
  };
  EXPECT_EQ(use("", "").location, "/data/register.sqlite");
  EXPECT_FALSE(use("", "").guard);  // a lone station behaves as it always did
  EXPECT_EQ(use("", "").station, "bench-pc");
  s.location = "postgresql://a@settings/pagers";
  s.station = "station-2";
  EXPECT_EQ(use("", "postgres://b@env/pagers").location, "postgres://b@env/pagers");
  EXPECT_EQ(use("/tmp/x.sqlite", "postgres://b@env/pagers").location, "/tmp/x.sqlite");
  EXPECT_TRUE(use("", "").guard);  // a shared register guards unless told not to
  EXPECT_EQ(use("", "").station, "station-2");
  s.guard = false;
  EXPECT_FALSE(use("", "").guard);
  EXPECT_TRUE(resolveRegisterUse(s, "d", "", "", "h", true).guard);

  // A location named elsewhere than in the settings is read here, and one that names no
  // register is refused with where it came from: no register is used, none looked for.
  EXPECT_EQ(use("postgresql:/a@line/pagers", "").refused,
            std::vector<std::string>{
                "--register: a server's URL begins postgresql:// (two slashes after the colon)"});
  EXPECT_EQ(use("", "sqlite:x").refused.size(), 1u);
  EXPECT_TRUE(use("", "sqlite:x").refused[0].starts_with("CCP_REGISTER: "));
  EXPECT_EQ(use("", "sqlite:x").location, "");
  EXPECT_TRUE(use("", "host=env dbname=pagers").refused.empty());
  EXPECT_TRUE(use("", "host=env dbname=pagers").shared);
  s.guard.reset();
  EXPECT_TRUE(use("", "PostgreSQL://b@env/pagers").guard);  // shared, so guarded
}

}  // namespace
}  // namespace ccp
