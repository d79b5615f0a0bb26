#pragma once

// Which pagers have which capcode, as the tables keep it: the holds of capcodes, of records and
// of a write's claims; whether a claim's writer still runs; a pager's own holds; and what a
// record that shows a pager does to them. Everything runs in the caller's transaction.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "files/outcome_lines.h"
#include "register/pager_register.h"

namespace ccp {

class SqlSession;

// A record that shows what a pager has: a verified write, a completed read (by their outcomes,
// outcome_lines.h).
bool showsPager(const Record& record);
// A write that ended after it began to send the capcodes: the pager may have them. Its last
// line says so; a write stopped on request is taken as one, as nothing tells when it stopped.
bool mayHaveWritten(const Record& record);

// What a conflict says of how the register learned of it.
inline constexpr const char* kReadFoundAnother = "a read found it on a second pager";
inline constexpr const char* kWrittenUnguarded = "written unguarded on a second pager";
inline constexpr const char* kImportedOnAnother = "imported: on a second pager";
inline constexpr const char* kReleasedWhileWritten = "released while this pager was written";
inline constexpr const char* kReleasedWhileBeingWritten = "released while being written at ";

// A row of the holds table.
struct Hold {
  // Of a pager's own holds: the pager in the Programmer shows, row by row, all that the hold's
  // record (or its claim's write) gave, so it may let the hold go. A pager that has only the
  // capcode in the hold's row may be another pager with the same capcode: its hold is not in
  // the way, but stays.
  bool sure = false;
  long long id = 0;
  int capcode = 0;
  int row = 0;
  bool individual = true;
  HolderState state = HolderState::Claimed;
  std::string station;
  long long at = 0;
  std::optional<long long> recordId;
  std::string host;
  long long pid = 0;  // 0: its writer ended (or is not known)
  long long started = 0;
  std::optional<long long> token;
  Liveness writer = Liveness::Ended;  // as judge() found it
};

// Who changes holds, and when, as the history and the conflicts keep it: its texts as the
// database keeps them (storedText()).
struct EventStamp {
  std::string station;
  long long at = 0;
  std::string note;
};
EventStamp storedStamp(std::string_view station, WallTime at, std::string_view note = {});

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

// How a record is applied to the holds.
struct ApplyRule {
  std::string what;  // a conflict's words
  // An import or the schema's move: the record's time counts (a later record or history event
  // of a capcode decided it), and its holds are stamped with its own station and time.
  bool history = false;
  bool groupOnly = false;            // only its group rows
  const LaterUses* later = nullptr;  // with history: the batch it comes in
  Stamp by;                          // who applies it
};

class HoldBook {
 public:
  explicit HoldBook(SqlSession& session) : s_(session) {}

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

  std::vector<Hold> ofCapcodes(const std::set<int>& capcodes);
  std::vector<Hold> ofToken(long long token);
  // Those `condition` (SQL on the holds table, numbers only) lets through: individual holds
  // first, then in the order they came.
  std::vector<Hold> where(const std::string& condition,
                          const std::string& order = "individual DESC, id", int limit = 0);
  // Whether the writers of the claims among them still run.
  void judge(std::vector<Hold>& holds);
  // The holds that may be in the way of the uses, read at once: every hold of an individual
  // use's capcode, and the individual holds of a group use's capcode.
  std::vector<Hold> around(const std::vector<RowUse>& uses);
  // The first of `around` (for the use) in the way of the use: for an individual use any hold,
  // for a group use an individual one; the pager's `own` holds, the record's and `writing`'s
  // claims are not. Its writer judged, unless not `judged`.
  std::optional<Hold> inTheWay(const std::vector<Hold>& around, const RowUse& use,
                               const std::vector<Hold>& own, std::optional<long long> recordId,
                               std::optional<long long> writing, bool judged = true);
  // How many group holds of the use's capcode are another pager's.
  long long groupHolds(const std::vector<Hold>& around, const RowUse& use,
                       const std::vector<Hold>& own, std::optional<long long> writing);

  // The pager's own holds, `pager` as read in the same command: every individual hold (held,
  // failed, or a claim whose writer ended, but not `writing`'s) whose capcode the pager has in
  // the hold's row, enabled; then every hold of the records behind those.
  std::vector<Hold> ownHolds(const PagerRows& pager, std::optional<long long> writing = {});

  void add(const Hold& hold);
  // Claims of the rows for the writer's write, with their "claimed" events.
  void addClaims(const std::vector<RowUse>& rows, const Writer& writer, const EventStamp& stamp);
  void remove(const Hold& hold, const char* event, const EventStamp& stamp);
  // The hold as the callers see it, with the record behind it.
  Holder holder(const Hold& hold);
  std::vector<Holder> holders(const std::vector<Hold>& holds);
  void event(int capcode, const char* event, const EventStamp& stamp,
             std::optional<long long> recordId);
  Conflict conflict(int capcode, const EventStamp& stamp, std::optional<long long> recordId,
                    std::optional<long long> otherRecordId, const std::string& what);
  void closeConflicts(const std::string& condition, const EventStamp& stamp);

  // A record that shows what its pager has now: its row uses become holds of it, a conflict
  // recorded where another pager's hold is in the way; the pager's own holds that it no longer
  // shows go.
  HoldOutcome apply(const Record& record, const ApplyRule& rule);
  // A verified write's claims (those of `claimed` that `token`'s write still has) become holds
  // of its record; a claimed row whose claim is gone is held too and reported; the pager's own
  // holds that the write did not give again go.
  HoldOutcome settleVerified(const Record& record, const std::vector<RowUse>& claimed,
                             long long token, const Stamp& by);

 private:
  // Within a record's application in history: a release by hand after the record's time, or a
  // later record (of the register, or `later` of its batch) of what may be the same pager, that
  // uses the capcode, decided it for the record.
  bool decided(const RowUse& use, const Record& record, const LaterUses* later);
  // The pager's own holds that `record` no longer shows go, and those that a write gives again
  // are taken over by its holds; with `before`, only those of records older than that.
  void letGo(const std::vector<Hold>& own, const Record& record, const EventStamp& stamp,
             std::optional<long long> before);
  // The use becomes a hold of the record.
  void give(const Record& record, const RowUse& use, const EventStamp& stamp);
  // Those of the uses that the record holds no capcode in.
  std::vector<RowUse> notHeld(const Record& record, const std::vector<RowUse>& uses);
  // The record shows the pager's own holds, in their rows, and nothing else.
  bool sameHolds(const std::vector<Hold>& own, const Record& record);
  Holder holderWithout(const Hold& hold);  // its record left out
  // The time of the record behind the hold; a claim's own time.
  long long heldSince(const Hold& hold);

  SqlSession& s_;
};

}  // namespace ccp
