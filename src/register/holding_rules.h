#pragma once

// One capcode, one pager: how the register decides which pager is in the Programmer, what is in
// a write's way, and what a verified write, a read, an import or a release lets go, gives and
// records as a conflict. Nothing here reads or writes the database: the procedures gather what
// the register knows into the facts below, ask these rules, and write what they decide.
//
// Which pager is in the Programmer: the one a record gave its rows to, when the pager shows every
// row of that record, enabled, in its row, and its serial number is not another than the one the
// record's command left (rows alone tell apart only pagers that share a serial number). Where two
// records could be this pager, the one whose serial number matches is, or else the newest, with
// the records of that pager's own history (a later write that found the pager as the older one
// left it); the other stays: a capcode stays held while another pager may have it.

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "register/pager_register.h"

namespace ccp {

// A write that was verified.
bool verifiedWrite(const Record& record);
// A record that shows what a pager has: a verified write, a completed read.
bool showsPager(const Record& record);
// A write that ended after it began to send the capcodes: the pager may have them. Its last
// line says so; a write stopped on request is taken as one, as nothing tells when it stopped.
bool mayHaveWritten(const Record& record);
// The pager the record found: what a read read, what a write's whole read found first.
std::optional<SeenPager> pagerFound(const Record& record);

// What two serial numbers say of two pagers: only known ones tell.
enum class SerialSays { Same, Other, Unknown };
SerialSays serialSays(std::string_view one, std::string_view other);

// What a conflict says of how the register learned of it.
inline constexpr const char* kReadFoundAnother = "a read found it on a second pager";
inline constexpr const char* kWrittenUnguarded = "written unguarded on a second pager";
inline constexpr const char* kImportedOnAnother = "imported: on a second pager";
inline constexpr const char* kImportedNotSure =
    "imported: a write found a pager like this one, its serial number not known";
inline constexpr const char* kReleasedWhileWritten = "released while this pager was written";
inline constexpr const char* kReleasedWhileBeingWritten = "released while being written at ";

// A row of the holds table.
struct Hold {
  // Of a pager's own holds: the pager in the Programmer is the pager of the hold's record (or its
  // claim's write), so it may let the hold go. A pager that has only the capcode in the hold's
  // row may be another pager with the same capcode: its hold is not in the way, but stays.
  bool sure = false;
  long long id = 0;
  int capcode = 0;
  int row = 0;
  bool individual = true;
  HolderState state = HolderState::Claimed;
  std::string station;  // as the database keeps it
  long long at = 0;
  std::optional<long long> recordId;
  std::string host;
  long long pid = 0;  // 0: its writer ended (or is not known)
  long long started = 0;
  long long seen = 0;  // when its writer last showed it runs, by the database's clock
  std::optional<long long> token;
  Liveness writer = Liveness::Ended;  // as the register judged it
  bool underWay = false;  // its writer's session holds its write's lock: the write runs now
};

// A writer as the register keeps it beside what it took (a claim, a row of a list).
struct KeptWriter {
  std::string host;
  long long pid = 0;  // 0: its writer ended (or is not known)
  long long started = 0;
  long long seen = 0;  // when it last showed it runs, by the database's clock
  std::optional<long long> token;
};
KeptWriter keptWriter(const Hold& hold);

// What tells whether a writer still runs.
struct WriterSigns {
  bool sessionHolds = false;  // on a server: the writer's session holds its write's lock
  bool onThisHost = false;
  bool processRuns = false;  // of this host: its process, started when it says, runs
  long long silentFor = 0;   // seconds since it last showed it runs, by the database's clock
};
// How long a writer of another host may show no sign of life before its claim is taken for
// ended: far longer than a write takes from its claim to its end.
inline constexpr long long kWriterSilence = 5 * 60;
// A claim's writer runs while its session holds its lock; else a writer of this host runs while
// its process does (its connection may have dropped: it takes its claim back when it
// reconnects), and one of another host until it has been silent for kWriterSilence. A writer
// without a token or a process ended; so has a hold that is no claim.
Liveness writerLiveness(const KeptWriter& writer, const WriterSigns& signs);
Liveness writerLiveness(const Hold& claim, const WriterSigns& signs);

// What the register knows of the capcodes a pager in the Programmer shows.
struct PagerFacts {
  std::set<int> doubtful;        // its capcodes that an open conflict names
  std::vector<Hold> individual;  // the individual holds of its capcodes, their writers judged
  std::map<long long, Record> records;              // the records behind those
  std::map<long long, std::vector<Hold>> ofRecord;  // every hold of each of those records
  std::map<long long, std::vector<Hold>> ofClaim;   // every hold of a claim's write, by token
};

// The pager's own holds: every individual hold (held, failed, or a claim whose writer ended, but
// not `writing`'s) whose capcode the pager has in the hold's row, enabled, and whose record's
// serial number is not another's (nor, for a capcode that may be on two pagers, unknown); then,
// marked sure, every hold of the one pager that the pager in the Programmer is, if any.
std::vector<Hold> pagerHolds(const SeenPager& seen, const PagerFacts& facts,
                             std::optional<long long> writing = {});
// A record of the register (or a dead write's claims) that gave the pager exactly the holds
// `uses` would, whose serial number is not another's: a read of that pager again tells nothing
// new.
bool shownExactly(const SeenPager& seen, const std::vector<RowUse>& uses, const PagerFacts& facts);

// The first hold of `near` in the way of the use: for an individual use any hold of its capcode,
// for a group use an individual one; the pager's `own` holds, the record's and `writing`'s claims
// are not.
std::optional<Hold> inTheWay(const std::vector<Hold>& near, const RowUse& use,
                             const std::vector<Hold>& own, std::optional<long long> recordId,
                             std::optional<long long> writing);
// How many of `holds` are group holds of the use's capcode that are another pager's.
int groupHoldCount(const std::vector<Hold>& holds, const RowUse& use, const std::vector<Hold>& own,
                   std::optional<long long> writing);

// The pager of `later` may be the pager of `older`: what it had when `later` began (what a read
// found, what a write's whole read found first) is what `older` shows, row by row, and their
// serial numbers, where both are known, are the same.
bool mayBeSamePager(const Record& older, const Record& later);
// Within a record's application in history: a later record of what may be the same pager, that
// uses the capcode, decided it for the record. `later`: the register's and the batch's records
// after it that use the capcode, or that found the pager as the record left it.
bool decidedLater(const Record& record, const std::vector<Record>& later);

// What a record, a settled write or a release does to the holds, in the order it is written.
struct HoldPlan {
  struct LetGo {
    Hold hold;
    bool takenOver = false;  // a hold the record gives again: "taken over", else "dropped"
  };
  struct NewConflict {
    int capcode = 0;
    std::optional<long long> otherRecordId;
    std::string what;
  };
  std::vector<LetGo> letGo;
  std::vector<NewConflict> conflicts;  // of holds the record is not sure to let go
  std::vector<Hold> abandoned;         // a write's claims it did not write after all
  std::vector<Hold> held;              // a write's claims that its record holds now
  // The record's uses that become holds of it, each with the conflict it meets, if any.
  struct Give {
    RowUse use;
    std::optional<NewConflict> conflict;
  };
  std::vector<Give> given;
  std::vector<int> releasedWhileWritten;  // a verified write's rows whose claims were released
};

// A conflict open in the register, with the records of its two pagers.
struct OpenConflict {
  int capcode = 0;
  std::optional<long long> recordId, otherRecordId;
};

// How a record is applied to the holds.
struct ApplyRule {
  std::string what;  // a conflict's words
  // An import or the schema's move: a later record decided a capcode it uses, and the pager's
  // holds of later records stay. An import is not sure of its pager when its line does not know
  // the pager's serial number and the pager's record does: the hold stays, with a conflict.
  bool history = false;
  bool groupOnly = false;  // only its group rows
  // The schema's move: a release by hand after the record's time decided a capcode it uses. An
  // import's records reach the register after every release it has: a release lets go only the
  // holds the register knew when it was made.
  bool releasesDecide = false;
};

// What the register knows when it applies a record.
struct ApplyFacts {
  PagerFacts pager;                     // of the pager the record found
  std::vector<Hold> ofRecord;           // the holds the record has already
  std::vector<Hold> near;               // the holds around the record's uses
  std::set<int> decided;                // with history: capcodes decided after the record
  std::vector<OpenConflict> open;       // the open conflicts of the record's capcodes
  std::map<long long, Record> records;  // the records those name
};

// The record's uses that it holds no capcode in yet.
std::vector<RowUse> notHeld(const std::vector<Hold>& ofRecord, const std::vector<RowUse>& uses);

// A record that shows what its pager has now: its row uses become holds of it, a conflict
// recorded where another pager's hold is in the way (once for a capcode and a pair of pagers);
// the pager's own holds that it no longer shows go, and those it gives again are taken over.
HoldPlan applyPlan(const Record& record, const ApplyFacts& facts, const ApplyRule& rule);

// What the register knows when a verified write settles.
struct SettleFacts {
  std::vector<RowUse> claimed;  // what the write claimed
  std::vector<Hold> claims;     // its claims still in the register
  std::vector<RowUse> left;     // its record's uses without a claim, and not held by it yet
  PagerFacts pager;             // of the pager as the write found it first
  std::vector<Hold> near;       // the holds around `left`
};

// A verified write's claims become holds of its record; a claimed row whose claim is gone is
// held too and reported; the pager's own holds that the write did not give again go.
HoldPlan settlePlan(const Record& record, long long token, const SettleFacts& facts);

// A release by hand of every hold of a capcode (their writers judged): refused for a claim whose
// writer still runs unless forced, when the pager being written will have it all the same.
struct ReleasePlan {
  std::optional<Hold> liveClaim;
  bool refused = false;
};
ReleasePlan releasePlan(const std::vector<Hold>& holds, bool force);

// A claim that this station made for a write whose record went to the journal, made within a
// minute after the write began, and whose session no longer holds it (the record tells that the
// write ended, though its process may run on): the write's, held now that its record is taken
// in. `station` as the database keeps it.
bool claimOfJournalledWrite(const Hold& claim, const Record& record, const std::string& station);

// The words of the history's event for a hold that a record gives.
const char* givenEvent(const Record& record, bool individual);

}  // namespace ccp
