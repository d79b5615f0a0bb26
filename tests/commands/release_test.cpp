// A capcode released by hand, in each way a pager or a write may have it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>

#include "commands/outcome_lines.h"
#include "commands/register_chores.h"
#include "guard_fixture.h"
#include "register/engine_fixture.h"
#include "register/station_processes.h"

namespace ccp {
namespace {

using Lines = std::vector<std::string>;
using namespace std::chrono_literals;

// 2026-12-07 11:30:05, shown in UTC.
const WallTime kAt = std::chrono::sys_days{std::chrono::year{2026} / 12 / 7} + 11h + 30min + 5s;
constexpr int kCapcode = 1700000;

class ReleaseTest : public test::EngineTest {
 protected:
  void SetUp() override {
    EngineTest::SetUp();
    setenv("TZ", "UTC", 1);
    tzset();
  }
};

// A record of station-2 with the capcode in `row`, individual in row 1 only.
long long addRecord(PagerRegister& reg, const char* outcome, int row = 1) {
  Record r = testkit::writeRecord("station-2", kAt, "2006000");
  r.capcodes[row - 1] = std::to_string(kCapcode);
  r.outcome = outcome;
  return reg.addRecord(r);
}

// Claims the capcode as individual for a write of station-2 in this process.
Writer claim(PagerRegister& reg) {
  const Writer writer = newWriter("station-2");
  EXPECT_TRUE(reg.claimWrite({{1, kCapcode, true}}, writer, kAt, std::nullopt).granted);
  return writer;
}

TEST_P(ReleaseTest, EachWayOfHavingACapcodeIsReleasedAsTheReadmeSays) {
  const std::string host = newWriter("x").host;
  const struct {
    const char* what;
    std::function<void(PagerRegister&, const std::string& location)> have;
    bool force;
    Lines released;
    std::optional<std::string> refused;
    std::size_t left;       // holds of the capcode after it
    std::size_t conflicts;  // its open conflicts after it
  } cases[] = {
      {"held, on two pagers",
       [](PagerRegister& reg, const std::string&) {
         reg.apply(addRecord(reg, kVerifiedLine), {"station-2", kAt, ""});
         const Record unguarded = testkit::writeRecord("station-3", kAt, "1700000", "99");
         ASSERT_EQ(reg.apply(reg.addRecord(unguarded), {"station-3", kAt, ""}).conflicts.size(),
                   1u);
       },
       false,
       {"Capcode 1700000 was written on 2026-12-07 11:30 at station-2 (serial 12345678)",
        "Capcode 1700000 was written on 2026-12-07 11:30 at station-3 (serial 99)"},
       std::nullopt,
       0,
       0},
      {"failed",
       [](PagerRegister& reg, const std::string&) {
         const Writer writer = claim(reg);
         reg.settle(writer, WriteEnd::Failed, addRecord(reg, "Verify fail !"),
                    {"station-2", kAt, ""});
       },
       false,
       {"Capcode 1700000 was in a write that failed on 2026-12-07 11:30 at station-2 (serial "
        "12345678)"},
       std::nullopt,
       0,
       0},
      {"a group capcode",
       [](PagerRegister& reg, const std::string&) {
         reg.apply(addRecord(reg, kVerifiedLine, 2), {"station-2", kAt, ""});
       },
       false,
       {"Capcode 1700000 is a group capcode in row 2 of a pager written on 2026-12-07 11:30 at "
        "station-2 (serial 12345678)"},
       std::nullopt,
       0,
       0},
      {"claimed by a write under way",
       [](PagerRegister& reg, const std::string&) { claim(reg); },
       false,
       {},
       "capcode 1700000 is being written at station-2" +
           (host == "station-2" ? std::string() : " on " + host) + " since 11:30: nothing released",
       1,
       0},
      {"claimed by a write under way, forced",
       [](PagerRegister& reg, const std::string&) { claim(reg); },
       true,
       {"Capcode 1700000 is being written since 2026-12-07 11:30 at station-2"},
       std::nullopt,
       0,
       1},
      {"claimed by a write that ended",
       [](PagerRegister& reg, const std::string& location) {
         test::runStations(1,
                           [&location](int, const test::Say&) { claim(*openRegister(location)); });
         test::untilNoLiveClaim(reg);
       },
       false,
       {"Capcode 1700000 was left by a write at station-2 that ended at 11:30: the pager may hold "
        "it"},
       std::nullopt,
       0,
       0},
      {"free", [](PagerRegister&, const std::string&) {}, false, {}, std::nullopt, 0, 0},
  };
  for (const auto& c : cases) {
    const std::string location = newRegister();
    auto reg = openRegister(location);
    c.have(*reg, location);
    const Stamp by{"bench-3", kAt, "pager returned"};
    ReleaseReport report = releaseByHand(*reg, kCapcode, by, c.force);
    std::sort(report.released.begin(), report.released.end());
    EXPECT_EQ(report.released, c.released) << c.what;
    EXPECT_EQ(report.refused, c.refused) << c.what;
    EXPECT_EQ(reg->holders(kCapcode).size(), c.left) << c.what;
    EXPECT_EQ(reg->conflicts(false).size(), c.conflicts) << c.what;
    if (c.released.empty()) continue;
    const auto history = reg->history(kCapcode);
    const auto released = std::find_if(history.begin(), history.end(),
                                       [](const HolderEvent& e) { return e.event == "released"; });
    ASSERT_NE(released, history.end()) << c.what;
    EXPECT_EQ(released->station, "bench-3") << c.what;
    EXPECT_EQ(released->note, "pager returned") << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, ReleaseTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

}  // namespace
}  // namespace ccp
