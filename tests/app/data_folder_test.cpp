// The data folder the command line shares with the window, from the environment as Qt reads it;
// tests/window checks that Qt agrees.
#include "app/data_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>

namespace ccp {
namespace {

TEST(DataFolderTest, FollowsXdgDataHomeOrTheHomeFolderThenTheNames) {
  struct Case {
    const char* what;
    std::string_view xdg, home, organisation;
    std::string folder;
  } cases[] = {
      {"XDG_DATA_HOME", "/data", "/home/tech", "", "/data/capcode-programmer"},
      {"no XDG_DATA_HOME", "", "/home/tech", "", "/home/tech/.local/share/capcode-programmer"},
      {"relative XDG_DATA_HOME", "data", "/home/tech", "",
       "/home/tech/.local/share/capcode-programmer"},
      {"home with a trailing slash", "", "/home/tech//", "",
       "/home/tech/.local/share/capcode-programmer"},
      {"neither", "", "", "", ""},
      {"a relative XDG_DATA_HOME and no home", "data", "", "", ""},
      {"an organisation", "/data", "/home/tech", "Pager Works",
       "/data/Pager Works/capcode-programmer"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(appDataFolder(c.xdg, c.home, c.organisation, kApplicationName), c.folder) << c.what;
  }
}

// The settings follow the same rules: without an absolute home there is no folder to write to.
TEST(DataFolderTest, ConfigurationFolderFollowsTheSameRules) {
  const auto saved = [](const char* name) {
    const char* value = std::getenv(name);
    return std::make_pair(name, value ? std::optional<std::string>(value) : std::nullopt);
  };
  const auto kept = {saved("HOME"), saved("XDG_CONFIG_HOME")};
  setenv("XDG_CONFIG_HOME", "conf", 1);  // relative: ignored
  setenv("HOME", "/home/tech", 1);
  EXPECT_EQ(userConfigFolder(), "/home/tech/.config/capcode-programmer");
  unsetenv("HOME");
  EXPECT_EQ(userConfigFolder(), "");
  for (const auto& [name, value] : kept) value ? setenv(name, value->c_str(), 1) : unsetenv(name);
}

}  // namespace
}  // namespace ccp
