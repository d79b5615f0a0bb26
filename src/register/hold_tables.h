#pragma once

// Every statement on the holds, the history of the capcodes and the conflicts, in the caller's
// transaction; and whether a claim's writer still runs, as the session and this machine tell.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "register/holding_rules.h"

namespace ccp {

class SqlSession;

class HoldTables {
 public:
  explicit HoldTables(SqlSession& session) : s_(session) {}

  // On PostgreSQL, this transaction's locks of the capcodes, taken at once in ascending order
  // before the transaction looks at their holds, so that two stations never decide about one
  // capcode at once (SQLite's write transaction holds the whole file already). Only a verified
  // write's settling looks first, for the rows it must lock, and may take more locks in later
  // rounds: such a lock, out of order, may meet another station's in a deadlock, which
  // PostgreSQL's deadlock detection (or the lock timeout) ends as Busy. A capcode whose lock is not
  // taken alone (a group use) shares it with the others that use it as a group capcode: the many
  // pagers of a line that carry one group capcode do not wait for one another.
  void lockCapcodes(const std::map<int, bool>& capcodesAlone);
  // The locks that uses take: alone for an individual use.
  static std::map<int, bool> lockModes(const std::vector<RowUse>& uses);

  // Those `condition` (SQL on the holds table, numbers only) lets through: individual holds
  // first, then in the order they came.
  std::vector<Hold> where(const std::string& condition,
                          const std::string& order = "individual DESC, id", int limit = 0);
  std::vector<Hold> ofCapcodes(const std::set<int>& capcodes);
  std::vector<Hold> ofRecords(const std::set<long long>& recordIds);
  std::vector<Hold> ofTokens(const std::set<long long>& tokens);
  // A write's claims that are still claims.
  std::vector<Hold> claimsOf(long long token);
  // The holds that may be in the way of the uses: every hold of an individual use's capcode, and
  // the individual holds of a group use's capcode.
  std::vector<Hold> around(const std::vector<RowUse>& uses);
  // The group holds of the capcode.
  std::vector<Hold> groupHolds(int capcode);
  // The capcodes among these that an open conflict names.
  std::set<int> doubtful(const std::set<int>& capcodes);
  // The open conflicts of these capcodes.
  std::vector<Conflict> openConflicts(const std::set<int>& capcodes);
  // Whether the writers of the claims among them still run.
  void judge(std::vector<Hold>& holds);

  void add(const Hold& hold);
  // Claims of the rows for the writer's write, with their "claimed" events.
  void addClaims(const std::vector<RowUse>& rows, const Writer& writer, const Stamp& stamp);
  // The use becomes a hold of the record.
  void give(const Record& record, const RowUse& use, const Stamp& stamp);
  void remove(const Hold& hold, const char* event, const Stamp& stamp);
  // A write's claims become holds of its record, with an event each.
  void holdClaims(const std::vector<Hold>& claims, const Record& record, const Stamp& stamp);
  // A write's claim becomes a failed hold of its record.
  void failClaim(const Hold& claim, long long recordId, const Stamp& stamp);
  // A claim of a write whose record went to the journal becomes a hold of that record, in `row`.
  void holdJournalledClaim(const Hold& claim, const Record& record, const RowUse& use,
                           const Stamp& stamp);
  // The write's claims stay, of a writer that ended.
  void endClaims(long long token);
  // The write's writer shows it runs: its claims are taken back after a lost connection.
  void showAlive(long long token);

  void event(int capcode, const char* event, const Stamp& stamp, std::optional<long long> recordId);
  Conflict conflict(int capcode, const Stamp& stamp, std::optional<long long> recordId,
                    std::optional<long long> otherRecordId, const std::string& what);
  // The conflicts `condition` (SQL on the conflicts table, numbers only; none: all) lets
  // through, newest first.
  std::vector<Conflict> conflicts(const std::string& condition);
  void closeConflicts(const std::string& condition, const Stamp& stamp);
  std::vector<HolderEvent> history(int capcode);
  // A release by hand of the capcode after `at` (seconds since 1970).
  bool releasedAfter(int capcode, long long at);

  // The holds as the callers see them, with the records behind them.
  std::vector<Holder> holders(const std::vector<Hold>& holds);
  Holder holder(const Hold& hold);

 private:
  SqlSession& s_;
};

}  // namespace ccp
