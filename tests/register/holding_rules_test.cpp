// The rules of one capcode, one pager, as tables over a register kept in memory: which pager is in
// the Programmer, what a record lets go and gives, when a claim's writer is taken for ended. The
// engines' tests (holds_test.cpp, apply_test.cpp, which_pager_test.cpp) prove they are followed.
#include "register/holding_rules.h"
#include "register/record_columns.h"

#include <gtest/gtest.h>

#include <map>

#include "register/hold_fixture.h"

namespace ccp {
namespace {

using test::at;
using test::pagerCommand;
using test::pagerWith;

// The holds and records of a register, made by verified writes and reads, as the register would
// hold them had nothing been in their way.
class Book {
 public:
  // A record of `command` at `second`; its rows become holds (failed ones for a failed write).
  long long add(const char* command, int second, const PagerRows& rows, const std::string& serial,
                const std::optional<SeenPager>& before = {}, bool failed = false) {
    Record r = pagerCommand(command, "station-1", second, rows, serial);
    r.id = static_cast<long long>(records_.size()) + 1;
    if (failed) r.outcome = "Verify fail !";
    if (before) {
      r.pagerBefore = before->rows;
      r.serialBefore = before->serial;
    }
    for (const RowUse& use : recordUses(r)) {
      Hold h;
      h.id = static_cast<long long>(holds_.size()) + 1;
      h.capcode = use.capcode, h.row = use.row, h.individual = use.individual;
      h.state = failed ? HolderState::Failed : HolderState::Held;
      h.at = storedTime(r.at);
      h.recordId = r.id;
      holds_.push_back(h);
    }
    records_.emplace(r.id, r);
    return r.id;
  }
  void doubt(int capcode) { doubtful_.insert(capcode); }
  const Record& record(long long id) const { return records_.at(id); }

  // What the steps gather for a pager that shows `rows`.
  PagerFacts facts(const PagerRows& rows) const {
    PagerFacts facts;
    facts.doubtful = doubtful_;
    for (const Hold& h : holds_) {
      bool shown = false;
      for (int row = 1; row <= kAddressCount; ++row) {
        shown = shown || (rows.enabled[row - 1] && rows.capcodes[row - 1] == h.capcode);
      }
      if (!h.individual || !shown) continue;
      facts.individual.push_back(h);
      facts.records.emplace(*h.recordId, records_.at(*h.recordId));
    }
    for (const Hold& h : holds_) {
      if (facts.records.count(*h.recordId)) facts.ofRecord[*h.recordId].push_back(h);
    }
    return facts;
  }

  // The records whose holds the pager seen is sure to be the pager of; the others it may be.
  std::string sureOf(const SeenPager& seen) const {
    std::set<long long> sure, maybe;
    for (const Hold& h : pagerHolds(seen, facts(seen.rows)))
      (h.sure ? sure : maybe).insert(*h.recordId);
    std::string text;
    for (long long id : sure) text += "sure " + std::to_string(id) + " ";
    for (long long id : maybe) {
      if (!sure.count(id)) text += "maybe " + std::to_string(id) + " ";
    }
    return text;
  }

 private:
  std::map<long long, Record> records_;
  std::vector<Hold> holds_;
  std::set<int> doubtful_;
};

TEST(HoldingRules, WhichPagerIsInTheProgrammer) {
  const PagerRows a = pagerWith({1200000, 8});
  const struct {
    const char* what;
    std::function<void(Book&)> make;
    SeenPager seen;
    const char* expected;
  } cases[] = {
      {"its rows, serial numbers unknown",
       [&](Book& b) { b.add("write", 0, a, ""); },
       {a, "SN-A"},
       "sure 1 "},
      {"its rows, its serial number",
       [&](Book& b) { b.add("write", 0, a, "SN-A"); },
       {a, "SN-A"},
       "sure 1 "},
      {"the same rows with another serial number: another pager",
       [&](Book& b) { b.add("write", 0, a, "11111111"); },
       {a, "22222222"},
       ""},
      {"not every row of its record: another pager",
       [&](Book& b) { b.add("write", 0, a, "SN-A"); },
       {pagerWith({1200000, 16}), "SN-A"},
       ""},
      {"two records of the rows: the newest is, the other stays",
       [&](Book& b) {
         b.add("write", 0, a, "SN");
         b.add("write", 5, a, "SN");
       },
       {a, "SN"},
       "sure 2 maybe 1 "},
      {"two records of the rows: the one whose serial number matches",
       [&](Book& b) {
         b.add("write", 0, a, "SN-A");
         b.add("write", 5, a, "");
       },
       {a, "SN-A"},
       "sure 1 maybe 2 "},
      {"a failed rewrite that found the pager as the record left it: one pager",
       [&](Book& b) {
         b.add("write", 0, a, "SN-A");
         b.add("write", 5, a, "SN-A", SeenPager(a, "SN-A"), true);
       },
       {a, "SN-A"},
       "sure 1 sure 2 "},
      {"a capcode on two pagers: the rows tell neither",
       [&](Book& b) {
         b.add("write", 0, a, "");
         b.doubt(1200000);
       },
       {a, "SN-A"},
       ""},
      {"a capcode on two pagers: the serial number tells",
       [&](Book& b) {
         b.add("write", 0, a, "SN-A");
         b.doubt(1200000);
       },
       {a, "SN-A"},
       "sure 1 "},
  };
  for (const auto& c : cases) {
    Book book;
    c.make(book);
    EXPECT_EQ(book.sureOf(c.seen), c.expected) << c.what;
  }
}

// A read that finds what a record gave changes nothing, even while a conflict makes its pager
// doubtful; an import that does not know the serial number a write found lets nothing go; a
// conflict of a capcode and a pair of pagers is not recorded twice.
TEST(HoldingRules, WhatARecordLetsGoGivesAndRecords) {
  const PagerRows a = pagerWith({1200000});
  Book book;
  book.add("write", 0, a, "SN-A");
  book.doubt(1200000);
  const auto plan = [&](Record r, bool history, const std::vector<OpenConflict>& open = {}) {
    ApplyFacts facts;
    facts.pager = book.facts(pagerFound(r) ? pagerFound(r)->rows : PagerRows{});
    facts.near = book.facts(a).individual;
    facts.open = open;
    for (const auto& o : open) facts.records.emplace(*o.recordId, book.record(*o.recordId));
    r.id = 99;
    ApplyRule rule{"found", history};
    return applyPlan(r, facts, rule);
  };
  EXPECT_TRUE(plan(pagerCommand("read", "s", 9, a, ""), false).given.empty()) << "read again";

  Book plain;
  plain.add("write", 0, a, "SN-A");
  Record imported = pagerCommand("write", "s", 9, pagerWith({1300000}), "ZZ000001");
  imported.pagerBefore = a;  // its serial number then not known
  ApplyFacts facts;
  facts.pager = plain.facts(a);
  ApplyRule history{kImportedOnAnother, true};
  const HoldPlan notSure = applyPlan(imported, facts, history);
  EXPECT_TRUE(notSure.letGo.empty());
  ASSERT_EQ(notSure.conflicts.size(), 1u);
  EXPECT_EQ(notSure.conflicts[0].capcode, 1200000);
  imported.serialBefore = "SN-A";
  EXPECT_EQ(applyPlan(imported, facts, history).letGo.size(), 1u) << "sure of its pager";

  Record twin = pagerCommand("write", "s", 9, a, "SN-B");
  EXPECT_TRUE(plan(twin, false).given.at(0).conflict);
  Book pair;
  pair.add("write", 0, a, "SN-A");
  pair.add("write", 1, a, "SN-B");  // the pager of the conflict open already
  book = pair;
  EXPECT_FALSE(plan(twin, false, {{1200000, 2, 1}}).given.at(0).conflict);
}

TEST(HoldingRules, AClaimsWriterIsEndedOnlyWhenNothingSaysItRuns) {
  Hold claim;
  claim.token = 7, claim.pid = 42;
  const struct {
    WriterSigns signs;
    Liveness expected;
  } cases[] = {
      {{true, false, false, 9999}, Liveness::Alive},  // its session holds its lock
      {{false, true, true, 9999}, Liveness::Alive},   // its connection dropped, its process runs
      {{false, true, false, 0}, Liveness::Ended},     // its process ended (or its id was reused)
      {{false, false, false, kWriterSilence - 1}, Liveness::Alive},  // another host's, lately seen
      {{false, false, false, kWriterSilence}, Liveness::Ended},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(writerLiveness(claim, c.signs), c.expected)
        << c.signs.sessionHolds << c.signs.onThisHost << c.signs.processRuns << c.signs.silentFor;
  }
  claim.pid = 0;  // settled without its record: the write said it ended
  EXPECT_EQ(writerLiveness(claim, {true, true, true, 0}), Liveness::Ended);
}

}  // namespace
}  // namespace ccp
