// Stations of a line claiming capcodes of one range at once, as processes of their own.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <map>
#include <set>

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
// and records and confirms each write. After `hangAfter` claims it stops, its write under way,
// until it is killed. Tells the test "claimed N" for each claim, then "done".
[[noreturn]] void runStation(const std::string& location, const std::string& station, int hangAfter,
                             int fd) {
  try {
    auto reg = openRegister(location);
    int claimed = 0;
    for (int capcode = kFirst; claimed < kClaims; ++capcode) {
      const Stamp by{station, test::at(claimed), ""};
      if (!reg->claim(capcode, by).granted) continue;
      say(fd, "claimed " + std::to_string(capcode));
      if (++claimed == hangAfter) {
        for (;;) ::pause();
      }
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

struct Station {
  pid_t pid = -1;
  int fd = -1;
  std::string text;  // what it said
  std::vector<int> claimed;
  bool done = false;
};

// Starts the stations at once and follows what they say until each has ended; the one that is
// to hang is killed after its last claim. Fails, every station killed, past the deadline.
std::vector<Station> runLine(const std::string& location, int hangAfter) {
  std::vector<Station> stations(kStations);
  for (int i = 0; i < kStations; ++i) {
    int pipeFds[2];
    EXPECT_EQ(::pipe(pipeFds), 0);
    const pid_t pid = ::fork();
    if (pid == 0) {
      ::close(pipeFds[0]);
      runStation(location, "station-" + std::to_string(i), i == 0 ? hangAfter : 0, pipeFds[1]);
    }
    ::close(pipeFds[1]);
    stations[i].pid = pid;
    stations[i].fd = pipeFds[0];
  }
  const auto deadline = Clock::now() + kDeadline;
  for (int open = kStations; open > 0 && Clock::now() < deadline;) {
    std::vector<pollfd> polls;
    for (Station& s : stations) polls.push_back({s.fd, POLLIN, 0});
    ::poll(polls.data(), polls.size(), 100);
    for (std::size_t i = 0; i < stations.size(); ++i) {
      Station& s = stations[i];
      if (s.fd < 0 || !(polls[i].revents & (POLLIN | POLLHUP))) continue;
      char buffer[4096];
      const ssize_t got = ::read(s.fd, buffer, sizeof buffer);
      if (got <= 0) {
        ::close(s.fd);
        s.fd = -1;
        --open;
        continue;
      }
      s.text.append(buffer, static_cast<std::size_t>(got));
      for (std::size_t end; (end = s.text.find('\n')) != std::string::npos;) {
        const std::string line = s.text.substr(0, end);
        s.text.erase(0, end + 1);
        if (line.rfind("claimed ", 0) == 0) s.claimed.push_back(std::stoi(line.substr(8)));
        s.done = s.done || line == "done";
        if (line.rfind("error", 0) == 0) ADD_FAILURE() << "station-" << i << ": " << line;
        if (i == 0 && static_cast<int>(s.claimed.size()) == hangAfter) ::kill(s.pid, SIGKILL);
      }
    }
  }
  const bool late = Clock::now() >= deadline;
  for (Station& s : stations) {
    if (late) ::kill(s.pid, SIGKILL);
    ::waitpid(s.pid, nullptr, 0);
    if (s.fd >= 0) ::close(s.fd);
  }
  EXPECT_FALSE(late) << "the stations did not end within " << kDeadline.count() << " s";
  return stations;
}

using test::RegisterTest;

// Each held capcode with the station of its record, and how many records name it.
std::map<int, std::pair<std::string, int>> heldWithRecords(PagerRegister& reg) {
  std::map<int, std::pair<std::string, int>> held;
  RecordQuery all;
  all.limit = 0;
  for (const Record& record : reg.records(all)) {
    const int capcode = std::stoi(record.capcodes[0]);
    held[capcode].first = record.station;
    ++held[capcode].second;
    EXPECT_EQ(record.holds, HolderState::Held) << capcode;
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
  for (const auto& [capcode, holder] : held) {
    EXPECT_EQ(holder.second, 1) << "records of capcode " << capcode;
    EXPECT_TRUE(claimed.count(capcode)) << capcode;
  }
}

TEST_P(RegisterTest, ClaimOfAKilledStationIsNeverGivenToAnother) {
  constexpr int kHangAfter = 10;
  const auto stations = runLine(location_, kHangAfter);
  ASSERT_EQ(stations[0].claimed.size(), static_cast<std::size_t>(kHangAfter));
  const int orphan = stations[0].claimed.back();

  const auto holder = reg().holder(orphan);
  ASSERT_TRUE(holder);
  EXPECT_EQ(holder->state, HolderState::Claimed);
  EXPECT_EQ(holder->station, "station-0");
  const auto held = heldWithRecords(reg());
  EXPECT_EQ(held.count(orphan), 0u);
  EXPECT_EQ(held.size(), static_cast<std::size_t>((kStations - 1) * kClaims + kHangAfter - 1));
  for (std::size_t i = 1; i < stations.size(); ++i) {
    EXPECT_TRUE(stations[i].done);
    for (int capcode : stations[i].claimed) EXPECT_EQ(held.at(capcode).second, 1) << capcode;
  }
  EXPECT_FALSE(reg().claim(orphan, {"station-1", test::at(0), ""}, Takeover::HeldOrFailed).granted);
}

}  // namespace
}  // namespace ccp
