#include "commands/register_settings.h"

#include <gtest/gtest.h>

#include "files/temp_folder.h"
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

// A register.conf that is there but cannot be read may hold the guard: it stops the pager
// commands with the system's reason, where a missing one is the defaults.
TEST(RegisterSettings, AFileThatCannotBeReadStopsThePagerCommands) {
  const test::TempFolder folder;
  const std::string plainFile = folder.file("plain");
  test::writeBytes(plainFile, {'x'});
  const struct {
    std::string path;
    const char* stop;  // none: the defaults
  } cases[] = {
      {folder.file("missing.conf"), nullptr},
      {folder.path().string(), ": cannot be read: Is a directory"},
      {plainFile + "/register.conf", ": cannot be read: Not a directory"},
  };
  for (const auto& c : cases) {
    const ParsedRegisterSettings parsed = loadRegisterSettings(c.path);
    EXPECT_EQ(parsed.settings, RegisterSettings{}) << c.path;
    EXPECT_EQ(parsed.stops,
              c.stop ? std::vector<std::string>{c.path + c.stop} : std::vector<std::string>{})
        << c.path;
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

  // A server is shared, and guarded, however libpq lets it be named.
  EXPECT_TRUE(use("", "host=env dbname=pagers").shared);
  s.guard.reset();
  EXPECT_TRUE(use("", "PostgreSQL://b@env/pagers").guard);  // shared, so guarded
}

}  // namespace
}  // namespace ccp
