// A line of stations on one register: windows of their own, each in a process of its own with
// its own simulated Programmer, virtual clock and connection, writing pagers at the same time.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <set>

#include "image/pager_identity.h"
#include "records_fixture.h"
#include "register/engine_fixture.h"
#include "register/station_processes.h"

namespace ccp {
namespace {

class StationLineTest : public test::EngineTest {};

// What a fresh pager, and the window's file, have in rows 2-6.
const std::set<int> kGroups = {2004008, 2004016, 2004024, 2004032, 2004040};

// Three windows started from the same file, taking the next free capcode, write 20 pagers each
// at once: every pager gets a capcode of its own, and together they fill one run from the
// file's capcode on, as no claim failed, but for the fleet's group capcodes that the file has
// in rows 2-6 (2004008 to 2004040): no pager gets one of those as its own.
TEST_P(StationLineTest, ThreeWindowsTakingTheNextFreeFillOneRunWithoutATwin) {
  constexpr int kWindows = 3, kPagers = 20, kFirst = 2004000;
  const std::string location = newRegister();
  RegisterSettings nextFree;
  nextFree.whenTaken = WhenTaken::TakeNextFree;
  std::vector<std::unique_ptr<test::RecordsFixture>> windows;
  for (int i = 0; i < kWindows; ++i) {
    test::RecordsFixture& window = *windows.emplace_back(std::make_unique<test::RecordsFixture>());
    window.records.setRegister(nextFree, {location, "station-" + std::to_string(i), true, true});
    window.f().textField("address1").setText(std::to_string(kFirst));
    window.f().comboBox("autoinc1").choose(1);
  }

  // Each window says, for each write, the capcode its pager holds after it and the write's
  // last log line; and how often a capcode it was to write was taken.
  const auto stations = test::runStations(kWindows, [&](int i, const test::Say& say) {
    test::PagerFixture& fx = windows[i]->fx;
    for (int pager = 0; pager < kPagers; ++pager) {
      const PagerContents fresh = defaultPagerContents(fx.config);
      fx.programmer.setEeprom(fresh.eeprom);
      fx.programmer.setDecoder(fresh.decoder);
      fx.f().menuItem("WriteToPager").trigger();
      say(pagerIdentity(fx.config, fx.pagerEeprom(), fx.pagerDecoder()).capcodes[0] + " " +
          fx.lines().back());
    }
    const auto& log = fx.lines();
    say("taken " + std::to_string(std::count_if(log.begin(), log.end(), [](const auto& line) {
          return line.find(" is taken: ") != std::string::npos;
        })));
  });

  std::map<int, int> writer;  // capcode: the window whose pager holds it
  int taken = 0;
  for (int i = 0; i < kWindows; ++i) {
    ASSERT_TRUE(stations[i].done);
    for (const std::string& said : stations[i].lines) {
      if (said.starts_with("taken ")) {
        taken += std::stoi(said.substr(6));
        continue;
      }
      ASSERT_TRUE(said.ends_with(" Verify OK !")) << "station-" << i << ": " << said;
      EXPECT_TRUE(writer.emplace(std::stoi(said), i).second) << said << " was given twice";
    }
  }
  EXPECT_GE(taken, kWindows - 1);  // all began with the same capcode: one window got it
  std::vector<int> run;  // the first capcodes from the file's on, the group capcodes left out
  for (int capcode = kFirst; run.size() < kWindows * kPagers; ++capcode) {
    if (!kGroups.contains(capcode)) run.push_back(capcode);
  }
  std::vector<int> given;
  for (const auto& [capcode, window] : writer) given.push_back(capcode);
  EXPECT_EQ(given, run);
  auto reg = openRegister(location);
  for (const auto& [capcode, window] : writer) {
    const auto holders = reg->holders(capcode);
    ASSERT_EQ(holders.size(), 1u) << capcode;
    ASSERT_TRUE(holders[0].record) << capcode;
    EXPECT_EQ(holders[0].state, HolderState::Held) << capcode;
    EXPECT_EQ(holders[0].record->station, "station-" + std::to_string(window)) << capcode;
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, StationLineTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

}  // namespace
}  // namespace ccp
