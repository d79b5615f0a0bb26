// Stations of a line claiming capcodes of one range at once, as processes of their own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <map>
#include <set>
#include <thread>

#include "image/pager_identity.h"
#include "register/register_fixture.h"

namespace ccp {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kFirst = 2004000;
constexpr int kClaims = 100;
constexpr int kStations = 4;
constexpr auto kDeadline = std::chrono::seconds(60);

void say(int fd, const std::string& line) {
  const std::string text = line + "\n";
  (void)!::write(fd, text.data(), text.size());
}

// A station: claims kClaims capcodes from kFirst on, moving to the next whenever one is taken,
// and records and confirms each write; says "claimed N" for each claim, then "done". With
// `dieAfter`, it is killed after that many claims, its last write under way.
[[noreturn]] void runStation(const std::string& location, const std::string& station, int dieAfter,
                             int fd) {
  try {
    auto reg = openRegister(location);
    int claimed = 0;
    for (int capcode = kFirst; claimed < kClaims; ++capcode) {
      const Stamp by{station, test::at(claimed), ""};
      if (!reg->claim(capcode, by).granted) continue;
      say(fd, "claimed " + std::to_string(capcode));
      if (++claimed == dieAfter) ::raise(SIGKILL);
      const long long id =
          reg->addRecord(test::pagerRecord(station, claimed, capcodeText(capcode)));
      reg->move(HolderMove::Confirm, {capcode}, by, id);
    }
    say(fd, "done");
    ::_exit(0);
  } catch (const std::exception& error) {
    say(fd, std::string("error ") + error.what());
    ::_exit(1);
  }
}

// What each station claimed, and whether it said "done".
struct Station {
  std::vector<int> claimed;
  bool done = false;
};

// Starts the stations at once, the first to die after `dieAfter` claims, and waits for them all;
// past the deadline they are killed and the test fails.
std::vector<Station> runLine(const std::string& location, int dieAfter) {
  std::vector<std::pair<pid_t, int>> processes;
  for (int i = 0; i < kStations; ++i) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);  // holds what a station says: far less than a pipe's buffer
    const pid_t pid = ::fork();
    if (pid == 0) runStation(location, "station-" + std::to_string(i), i ? 0 : dieAfter, fds[1]);
    ::close(fds[1]);
    processes.emplace_back(pid, fds[0]);
  }
  const auto deadline = Clock::now() + kDeadline;
  std::vector<Station> stations;
  for (const auto& [pid, fd] : processes) {
    while (::waitpid(pid, nullptr, WNOHANG) == 0 && Clock::now() < deadline) {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    Station station;
    FILE* said = ::fdopen(fd, "r");
    for (char line[512]; std::fgets(line, sizeof line, said);) {
      const std::string text(line);
      if (text.rfind("claimed ", 0) == 0) station.claimed.push_back(std::stoi(text.substr(8)));
      station.done = station.done || text == "done\n";
      if (text.rfind("error", 0) == 0) ADD_FAILURE() << text;
    }
    std::fclose(said);
    stations.push_back(station);
  }
  EXPECT_LT(Clock::now(), deadline)
      << "the stations did not end within " << kDeadline.count() << " s";
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
  EXPECT_FALSE(reg().claim(orphan, {"station-1", test::at(0), ""}, Takeover::HeldOrFailed).granted);
}

}  // namespace
}  // namespace ccp
