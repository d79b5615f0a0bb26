// The data folder the command line shares with the window, from the environment as Qt reads it.
#include "app/data_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
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
      {"relative XDG_DATA_HOME", "data", "/home/tech", "", "data/capcode-programmer"},
      {"home with a trailing slash", "", "/home/tech//", "",
       "/home/tech/.local/share/capcode-programmer"},
      {"no home", "", "", "", "//.local/share/capcode-programmer"},
      {"an organisation", "/data", "/home/tech", "Pager Works",
       "/data/Pager Works/capcode-programmer"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(appDataFolder(c.xdg, c.home, c.organisation, kApplicationName), c.folder) << c.what;
  }
}

// Sets an environment variable for its lifetime.
class Variable {
 public:
  Variable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? ::setenv(name, value, 1) : ::unsetenv(name);
  }
  ~Variable() { old_ ? ::setenv(name_, old_->c_str(), 1) : ::unsetenv(name_); }
  Variable(const Variable&) = delete;
  Variable& operator=(const Variable&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(DataFolderTest, TheProgramsFolderComesFromTheEnvironment) {
  const Variable home("HOME", "/tmp/ccp-home");
  {
    const Variable data("XDG_DATA_HOME", "/tmp/ccp-data");
    EXPECT_EQ(userDataFolder(), "/tmp/ccp-data/capcode-programmer");
  }
  const Variable data("XDG_DATA_HOME", nullptr);
  EXPECT_EQ(userDataFolder(), "/tmp/ccp-home/.local/share/capcode-programmer");
}

}  // namespace
}  // namespace ccp
