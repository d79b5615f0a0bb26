// Stations of a line claiming capcodes of one range at once, as processes of their own.
#include <gtest/gtest.h>
#include <signal.h>

#include <map>
#include <set>

#include "image/capcode.h"
#include "register/hold_fixture.h"
#include "register/station_processes.h"

namespace ccp {
namespace {

constexpr int kFirst = 2004000;
constexpr int kClaims = 100;
constexpr int kStations = 4;

// What each station claimed, in order.
struct Station {
  std::vector<int> claimed;
  bool done = false;
};

// The stations claim kClaims capcodes each from kFirst on, moving to the next whenever one is
// taken, and record and confirm each write; each says "N" for each capcode it claimed. With
// `dieAfter`, the first station is killed after that many claims, its last write under way.
std::vector<Station> runLine(const std::string& location, int dieAfter) {
  const auto outcomes = test::runStations(kStations, [&](int index, const test::Say& say) {
    const std::string station = "station-" + std::to_string(index);
    auto reg = openRegister(location);
    int claimed = 0;
    for (int capcode = kFirst; claimed < kClaims; ++capcode) {
      const Stamp by{station, test::at(claimed), ""};
      const Writer writer = newWriter(station);
      if (!reg->claimWrite({{1, capcode, true}}, writer, by.at, std::nullopt).granted) continue;
      say(std::to_string(capcode));
      if (++claimed == dieAfter && index == 0) ::raise(SIGKILL);
      Record record = test::pagerRecord(station, claimed, capcodeText(capcode));
      record.enabledRows = {1};
      reg->settle(writer, WriteEnd::Verified, reg->addRecord(record), by);
    }
  });
  std::vector<Station> stations;
  for (const auto& outcome : outcomes) {
    Station station{{}, outcome.done};
    for (const std::string& line : outcome.lines) station.claimed.push_back(std::stoi(line));
    stations.push_back(station);
  }
  return stations;
}

using test::RegisterTest;

// How many records name each capcode; each record must hold its capcode.
std::map<int, int> heldWithRecords(PagerRegister& reg) {
  std::map<int, int> held;
  RecordQuery all;
  all.limit = 0;
  for (const Record& record : reg.records(all)) {
    ++held[std::stoi(record.capcodes[0])];
    EXPECT_EQ(record.holds, HolderState::Held) << record.capcodes[0];
  }
  return held;
}

TEST_P(RegisterTest, StationsClaimingOneRangeNeverShareACapcode) {
  // No register yet: the first station to come makes it.
  const auto stations = runLine(location_, 0);
  std::set<int> claimed;
  for (const Station& s : stations) {
    EXPECT_TRUE(s.done);
    EXPECT_EQ(s.claimed.size(), static_cast<std::size_t>(kClaims));
    claimed.insert(s.claimed.begin(), s.claimed.end());
  }
  EXPECT_EQ(claimed.size(), static_cast<std::size_t>(kStations * kClaims));
  const auto held = heldWithRecords(reg());
  EXPECT_EQ(held.size(), claimed.size());
  for (const auto& [capcode, records] : held) {
    EXPECT_EQ(records, 1) << "records of capcode " << capcode;
    EXPECT_TRUE(claimed.count(capcode)) << capcode;
  }
}

TEST_P(RegisterTest, ClaimOfAKilledStationIsNeverGivenToAnother) {
  constexpr int kDieAfter = 10;
  const auto stations = runLine(location_, kDieAfter);
  ASSERT_EQ(stations[0].claimed.size(), static_cast<std::size_t>(kDieAfter));
  const int orphan = stations[0].claimed.back();

  EXPECT_TRUE(test::writersEnded(reg(), orphan));
  const auto holder = reg().holder(orphan);
  ASSERT_TRUE(holder);
  EXPECT_EQ(holder->state, HolderState::Claimed);
  EXPECT_EQ(holder->station, "station-0");
  const auto held = heldWithRecords(reg());
  EXPECT_EQ(held.count(orphan), 0u);
  EXPECT_EQ(held.size(), static_cast<std::size_t>((kStations - 1) * kClaims + kDieAfter - 1));
  for (std::size_t i = 1; i < stations.size(); ++i) {
    EXPECT_TRUE(stations[i].done);
    for (int capcode : stations[i].claimed) EXPECT_EQ(held.at(capcode), 1) << capcode;
  }
  // Not even to a station whose pager, read first, has another capcode in its row.
  EXPECT_FALSE(reg()
                   .claimWrite({{1, orphan, true}}, newWriter("station-1"), test::at(0),
                               test::pagerWith({orphan + 1}))
                   .granted);
}

// One station claims each capcode as an individual capcode, another as a group capcode, both
// at once: exactly one of the two gets it, each time.
TEST_P(RegisterTest, AnIndividualAndAGroupClaimOfOneCapcodeNeverBothPass) {
  constexpr int kRounds = 200;
  reg();  // made before the stations start
  const auto outcomes = test::runStations(2, [this](int index, const test::Say& say) {
    auto reg = openRegister(location_);
    const std::string station = "station-" + std::to_string(index);
    for (int capcode = kFirst; capcode < kFirst + kRounds; ++capcode) {
      const RowUse use = index == 0 ? RowUse{1, capcode, true} : RowUse{2, capcode, false};
      if (reg->claimWrite({use}, newWriter(station), test::at(0), std::nullopt).granted) {
        say(std::to_string(capcode));
      }
    }
  });
  std::map<int, int> granted;
  for (const auto& outcome : outcomes) {
    EXPECT_TRUE(outcome.done);
    for (const std::string& line : outcome.lines) ++granted[std::stoi(line)];
  }
  EXPECT_EQ(granted.size(), static_cast<std::size_t>(kRounds));
  for (const auto& [capcode, times] : granted) EXPECT_EQ(times, 1) << capcode;
}

}  // namespace
}  // namespace ccp
