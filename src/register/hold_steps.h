#pragma once

// The steps that change the holds: each gathers what the register knows, asks the rules of
// holding_rules.h, and writes what they decide, in the caller's transaction.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "register/hold_tables.h"
#include "register/holding_rules.h"

namespace ccp {

class SqlSession;

// The records of a batch (an import, the schema's move) that use each capcode, in time order:
// within the batch, a later one decides a capcode for an older one.
class LaterUses {
 public:
  explicit LaterUses(const std::vector<Record>& batch);  // kept by reference
  // The records of the batch after `record` that use the capcode, or whose whole read first
  // found a pager as `record` left it.
  std::vector<const Record*> after(const Record& record, int capcode) const;

 private:
  struct Entry {
    WallTime at;
    const Record* record;
  };
  std::map<int, std::vector<Entry>> all_;
  std::map<std::string, std::vector<Entry>> byBefore_;  // by their pagerBefore text
};

class HoldSteps {
 public:
  explicit HoldSteps(SqlSession& session) : s_(session), tables_(session) {}

  HoldTables& tables() { return tables_; }

  // The first row of the write that another pager's hold is in the way of, with that hold, its
  // writer judged, and how many group holds of other pagers have its capcode; with `quick`, only
  // whether there is one, nothing judged nor read.
  std::optional<Refusal> refusal(const std::vector<RowUse>& rows, long long writing,
                                 const std::optional<SeenPager>& inProgrammer, bool quick = false);

  // A record that shows what its pager has now (applyPlan()), its holds stamped `by`, or with
  // `history` by its own station and time; `later`: the batch it comes in.
  HoldOutcome apply(const Record& record, const ApplyRule& rule, const Stamp& by,
                    const LaterUses* later = nullptr);

  // A verified write's claims (those of `claimed` that `token`'s write still has) become holds
  // of its record (settlePlan()); the rows it gave without a claim are locked first.
  HoldOutcome settleVerified(const Record& record, const std::vector<RowUse>& claimed,
                             long long token, const Stamp& by);

 private:
  // What the register knows of the capcodes the pager shows.
  PagerFacts pagerFacts(const std::optional<SeenPager>& pager);
  // The capcodes of the record's uses that a later record of what may be the same pager decided,
  // or, where releases decide, a release after its time.
  std::set<int> decided(const Record& record, const std::vector<RowUse>& uses,
                        const LaterUses* later, bool releasesDecide);
  // Writes the plan's changes; the conflicts it records.
  std::vector<Conflict> write(const HoldPlan& plan, const Record& record, const Stamp& stamp,
                              const Stamp& found);

  SqlSession& s_;
  HoldTables tables_;
};

}  // namespace ccp
