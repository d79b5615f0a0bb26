// The rules of a customer's list without a database: how a row's capcodes are kept, what a new
// version keeps done, which rows changed. list_test.cpp proves the engines follow them.
#include "register/list_rules.h"

#include <gtest/gtest.h>

namespace ccp {
namespace {

ListRowEntry rowWith(int row, const std::string& fingerprint) {
  ListRowEntry entry;
  entry.row = row;
  entry.fingerprint = fingerprint;
  return entry;
}

ListRowStatus doneRow(int row, const std::string& fingerprint) {
  ListRowStatus status;
  status.entry = rowWith(row, fingerprint);
  status.state = ListRowState::Done;
  return status;
}

TEST(ListRules, ARowsCapcodesAreKeptAsTextAndReadBackExactly) {
  const std::vector<RowUse> uses = {{1, 2004000, true}, {2, 8, false}, {6, 0, false}};
  EXPECT_EQ(usesText(uses), "1i2004000 2g8 6g0");
  EXPECT_EQ(parseUses(usesText(uses)), uses);
  EXPECT_EQ(parseUses(""), std::vector<RowUse>{});
  for (const char* damaged :
       {"1x2004000", "1i", "i2004000", "1i2004000 ", " 1i2004000", "1i2004000  2g8", "1i20o4000"}) {
    EXPECT_FALSE(parseUses(damaged)) << damaged;
  }
}

// A new version keeps a done row done wherever its pager moved, each done row once: two rows
// with the same content are two pagers, and only as many stay done as were done.
TEST(ListRules, ANewVersionKeepsEachDoneRowOnceWhereverItMoved) {
  const std::vector<ListRowStatus> before = {doneRow(1, "a"), doneRow(3, "twin"), doneRow(4, "d")};
  const std::vector<ListRowEntry> now = {rowWith(1, "new"), rowWith(2, "a"), rowWith(3, "twin"),
                                         rowWith(4, "twin"), rowWith(5, "d2")};
  EXPECT_EQ(carriedRows(before, now),
            (std::vector<std::optional<int>>{std::nullopt, 1, 3, std::nullopt, std::nullopt}));
}

TEST(ListRules, ChangedRowsAreThoseAddedRemovedOrOtherByTheirPlace) {
  const std::map<int, std::string> before = {{1, "a"}, {2, "b"}, {3, "c"}, {4, "d"}};
  EXPECT_EQ(changedRows(before, {rowWith(1, "a"), rowWith(2, "B"), rowWith(3, "c")}),
            (std::vector<int>{2, 4}));
  EXPECT_EQ(changedRows(before, {rowWith(1, "a"), rowWith(2, "b"), rowWith(3, "c"), rowWith(4, "d"),
                                 rowWith(5, "e")}),
            std::vector<int>{5});
}

}  // namespace
}  // namespace ccp
