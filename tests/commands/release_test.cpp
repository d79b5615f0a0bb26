// A capcode released by hand: what is said of each way a pager or a write may have had it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>

#include "commands/register_chores.h"
#include "files/outcome_lines.h"
#include "guard_fixture.h"
#include "register/engine_fixture.h"
#include "register/station_processes.h"

namespace ccp {
namespace {

using test::kNow;
using test::Lines;
constexpr int kCapcode = 1700000;

class ReleaseTest : public test::EngineTest {};

// A record of station-2 with the capcode in `row`, individual in row 1 only.
long long addRecord(PagerRegister& reg, const char* outcome, int row = 1) {
  Record r = testkit::writeRecord("station-2", kNow, "2006000");
  r.capcodes[row - 1] = std::to_string(kCapcode);
  r.outcome = outcome;
  return reg.addRecord(r);
}

// Claims the capcode as individual for a write of station-2 in this process.
Writer claim(PagerRegister& reg) {
  const Writer writer = newWriter("station-2");
  EXPECT_TRUE(reg.claimWrite({{1, kCapcode, true}}, writer, kNow, std::nullopt).granted);
  return writer;
}

// Which holds go, and which stay, the register's own tests prove; here, the lines said.
TEST_P(ReleaseTest, EachWayOfHavingACapcodeIsReleasedWithItsOwnLine) {
  setenv("TZ", "UTC", 1);
  tzset();
  const std::string host = newWriter("x").host;
  const Stamp stamp{"station-2", kNow, ""};
  using Have = std::function<void(PagerRegister&, const std::string& location)>;
  const struct {
    Have have;
    bool force;
    Lines released;
    std::string refused;
  } cases[] = {
      {[&](PagerRegister& reg, const std::string&) {  // held, on two pagers
         reg.apply(addRecord(reg, kVerifiedLine), stamp);
         reg.apply(reg.addRecord(testkit::writeRecord("station-3", kNow, "1700000", "99")), stamp);
       },
       false,
       {"Capcode 1700000 was written on 2026-12-07 11:30 at station-2 (serial 12345678)",
        "Capcode 1700000 was written on 2026-12-07 11:30 at station-3 (serial 99)"},
       ""},
      {[&](PagerRegister& reg, const std::string&) {
         const Writer writer = claim(reg);
         reg.settle(writer, WriteEnd::Failed, addRecord(reg, "Verify fail !"), stamp);
       },
       false,
       {"Capcode 1700000 was in a write that failed on 2026-12-07 11:30 at station-2 (serial "
        "12345678)"},
       ""},
      {[&](PagerRegister& reg, const std::string&) {
         reg.apply(addRecord(reg, kVerifiedLine, 2), stamp);
       },
       false,
       {"Capcode 1700000 is a group capcode in row 2 of a pager written on 2026-12-07 11:30 at "
        "station-2 (serial 12345678)"},
       ""},
      {[](PagerRegister& reg, const std::string&) { claim(reg); },
       false,
       {},
       "capcode 1700000 is being written at station-2" +
           (host == "station-2" ? std::string() : " on " + host) +
           " since 11:30: nothing released"},
      {[](PagerRegister& reg, const std::string&) { claim(reg); },
       true,
       {"Capcode 1700000 is being written since 2026-12-07 11:30 at station-2"},
       ""},
      {[](PagerRegister& reg, const std::string& location) {  // by a write that ended
         test::runStations(1, [&](int, const test::Say&) { claim(*openRegister(location)); });
         EXPECT_TRUE(test::writersEnded(reg, 1700000));
       },
       false,
       {"Capcode 1700000 was left by a write at station-2 that ended at 11:30: the pager may hold "
        "it"},
       ""},
      {[](PagerRegister&, const std::string&) {}, false, {}, ""},  // free
  };
  for (const auto& c : cases) {
    const std::string location = newRegister();
    auto reg = openRegister(location);
    c.have(*reg, location);
    ReleaseReport report = releaseByHand(*reg, kCapcode, {"bench-3", kNow, ""}, c.force);
    std::sort(report.released.begin(), report.released.end());
    EXPECT_EQ(report.released, c.released);
    EXPECT_EQ(report.refused.value_or(""), c.refused);
  }
}

INSTANTIATE_TEST_SUITE_P(Engines, ReleaseTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

}  // namespace
}  // namespace ccp
