// The holds in the way of many capcodes at once, read as the guard would meet them one by one.
#include <gtest/gtest.h>

#include "register/hold_fixture.h"

namespace ccp {
namespace {

using test::group;
using test::individual;
using test::pagerWith;

using HoldersInTheWayTest = test::HoldTest;

std::vector<std::string> seen(const std::vector<Holder>& holds) {
  std::vector<std::string> found;
  for (const Holder& h : holds)
    found.push_back(std::to_string(h.capcode) + " " + test::holdText(h));
  std::sort(found.begin(), found.end());
  return found;
}

// Read in a few statements however many capcodes are asked about, the answer is what asking
// for each capcode's holders gives, under the guard's rules: for an individual use any hold, for
// a group use an individual one.
TEST_P(HoldersInTheWayTest, ManyCapcodesAtOnceAsOneByOne) {
  write("station-1", 0, pagerWith({1100000, 1200000}), {}, "SN-A");  // 1200000 in a group row
  write("station-1", 1, pagerWith({1300000, 1200000}), {}, "SN-B");
  claim("station-1", 2, {individual(1, 1400000)});
  std::vector<RowUse> uses;
  for (int i = 0; i < 2500; ++i) uses.push_back(individual(1, 1500000 + 8 * i));  // all free
  for (const RowUse& use : {individual(1, 1100000), group(2, 1100000), individual(1, 1200000),
                            group(2, 1300000), group(2, 1400000), group(3, 1200000)}) {
    uses.push_back(use);
  }
  const std::vector<std::string> batched = seen(reg().holdersInTheWay(uses));
  EXPECT_EQ(batched, seen(reg().PagerRegister::holdersInTheWay(uses)));
  EXPECT_EQ(batched, (std::vector<std::string>{
                         "1100000 held row 1 by SN-A", "1200000 group held row 2 by SN-A",
                         "1200000 group held row 2 by SN-B", "1300000 held row 1 by SN-B",
                         "1400000 claimed row 1 by station-1 (running)"}));
  // A group use alone meets only the individual holds.
  EXPECT_TRUE(reg().holdersInTheWay({group(2, 1200000)}).empty());
}

INSTANTIATE_TEST_SUITE_P(Engines, HoldersInTheWayTest,
                         ::testing::Values(Engine::SQLite, Engine::PostgreSQL), test::engineName);

}  // namespace
}  // namespace ccp
