// The command line names every setting as the window labels it.
#include "cli/setting_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "form_fixture.h"

namespace ccp {
namespace {

const cli::SettingPlace& placeOf(const std::string& name) {
  const auto& places = cli::settingPlaces();
  const auto found = std::ranges::find(places, name, &cli::SettingPlace::name);
  EXPECT_NE(found, places.end()) << name;
  return *found;
}

TEST(CliSettingNames, EachControlIsLabelledAsTheWindowShowsIt) {
  const struct {
    const char* name;
    const char* label;
    const char* group;
  } cases[] = {
      {"addr3en", "[3]", "Address"},                // the check box's own caption
      {"addr2formatC", "[2] C Tone", "Address"},    // a heading over the row's control
      {"pubboxB", "[12] Title", "Message Folder"},  // folders are counted from 1
      {"hellomsg1", "Hello Message", "Hello Message"},
      {"tonepatternLcell", "Low Cell", "Tone pattern"},
      {"rangetime", "Out Range delay", ""},  // a model label's caption
      {"channelspace", "MHz@", ""},          // a caption inside the row
      {"handprogram", "Hand program", ""},
      {"engheader", "Public header (2)", ""},  // one caption over several controls
      {"BS3", "BS3", ""},
      {"subversion", "Firmware version (sub)", ""},
  };
  test::FormFixture fx;
  for (const auto& c : cases) {
    const cli::SettingPlace& place = placeOf(c.name);
    EXPECT_EQ(cli::settingLabel(fx.f(), place), c.label) << c.name;
    EXPECT_EQ(place.group, c.group) << c.name;
  }
}

TEST(CliSettingNames, EveryValueControlOnceInTheWindowsPageOrder) {
  test::FormFixture fx;
  std::set<std::string> names;
  for (const cli::SettingPlace& place : cli::settingPlaces()) {
    EXPECT_TRUE(names.insert(place.name).second) << place.name;
  }
  const auto& controls = fx.f().controls();
  EXPECT_EQ(names.size(), static_cast<std::size_t>(std::ranges::count_if(
                              controls, [](auto* c) { return c->kind() != ControlKind::Label; })));
  const auto& places = cli::settingPlaces();
  EXPECT_EQ(places.front().name, "addr1en");
  EXPECT_EQ(places.back().name, "subversion");
  EXPECT_EQ(std::ranges::count(places, std::string("Address/Folder"), &cli::SettingPlace::page),
            6 * 9 + 16 * 3);
}

}  // namespace
}  // namespace ccp
