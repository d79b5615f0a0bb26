// The data folder the command line shares with the window, from the environment as Qt reads it;
// tests/window checks that Qt agrees.
#include "app/data_folder.h"

#include <gtest/gtest.h>

#include <string>

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
  EXPECT_EQ(appConfigFolder("conf", "/home/tech", "org"), "/home/tech/.config/org");
  EXPECT_EQ(appConfigFolder("/etc/xdg/", "/home/tech", "org"), "/etc/xdg/org");
  EXPECT_EQ(appConfigFolder("conf", "", "org"), "");
}

}  // namespace
}  // namespace ccp
