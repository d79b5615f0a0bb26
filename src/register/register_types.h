#pragma once

// What the pager register keeps: a record of every Read from pager and Write to pager, and which
// pagers have which capcode: only one (an individual capcode), or several (a group capcode).

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "files/time_stamp.h"
#include "image/layout.h"

namespace ccp {

// A capcode's hold: "claimed" while a write that will give it is under way, "held" once a
// verified write gave it or a completed read found it, "failed" when a write that sent bytes
// failed (the pager may have it; only a release by hand frees it).
enum class HolderState { Claimed, Held, Failed };
const char* holderStateName(HolderState state);
HolderState holderStateNamed(const std::string& name);  // as holderStateName names it

// A pager's six address rows as they were read from it or sent to it.
struct PagerRows {
  std::array<std::optional<int>, kAddressCount> capcodes{};  // none: not a number
  std::array<bool, kAddressCount> enabled{};
  bool operator==(const PagerRows&) const = default;
};

// A pager in the Programmer as a read of it showed it: its rows, and its serial number ("" when
// not known). Two pagers with other serial numbers are never one; rows alone tell apart only
// pagers that share a serial number.
struct SeenPager {
  SeenPager(PagerRows rows = {}, std::string serial = {})  // NOLINT: rows alone, serial unknown
      : rows(rows), serial(std::move(serial)) {}
  PagerRows rows;
  std::string serial;
};

// One enabled row of a pager, or of a write about to be made, with its capcode.
struct RowUse {
  int row = 0;  // 1-6
  int capcode = 0;
  bool individual = false;  // only this pager may have it; else a group capcode, shared
  bool operator==(const RowUse&) const = default;
};

// One Read from pager or Write to pager, finished or failed: the columns of the journal plus
// the station and, for a write, its individual rows.
struct Record {
  long long id = 0;  // given by the register
  WallTime at{};     // kept to the second, as the journal keeps it
  std::string station;
  std::string model;    // "QPX730E", "QPX730H"
  std::string edition;  // "Customer", "Factory"
  std::string port;
  std::string command;  // "read", "write"
  std::string outcome;  // the command's last log line
  std::string serial;
  std::array<std::string, kAddressCount> capcodes{};  // seven digits, or empty: pager unknown
  std::string frequency;
  std::string backupFile;
  std::vector<int> individualRows;  // rows 1-6 that were individual; the others are group rows
  std::vector<int> enabledRows;     // rows 1-6 enabled in the pager as read or sent; none: not
                                    // known (a journal of an older program), taken as all
  // A write that read the whole pager first: what the pager held before it, and its serial
  // number then ("" when not known: a journal of an older program).
  std::optional<PagerRows> pagerBefore;
  std::string serialBefore;
  // Said of the command after its record was made ("released while this pager was written");
  // not part of what tells records apart.
  std::string note;
  // Filled by the queries: a capcode of this record is held (or failed) through it.
  std::optional<HolderState> holds;
};

// Who did something to a capcode, and when; the note is kept in its history (a release by
// hand says why).
struct Stamp {
  std::string station;
  WallTime at{};
  std::string note;
};

// The process that makes a claim, and the write it makes it for: from these, other stations
// tell whether the claim's write may still be under way.
struct Writer {
  std::string station;
  std::string host;
  long long pid = 0;
  long long started = 0;  // the process's start, in clock ticks after boot (/proc/PID/stat)
  long long token = 0;    // random, this write's own: its claims are settled by it
};

// Whether a claim's writer still runs: its process on this machine, or its session on the
// server. Held and failed holds have no writer: Ended.
enum class Liveness { Alive, Ended };

// What the register knows of a pager having a capcode.
struct Holder {
  long long id = 0;
  int capcode = 0;
  int row = 0;  // the row the pager has it in; 0 for a claim made before rows were kept
  bool individual = true;
  HolderState state = HolderState::Claimed;
  std::string station;           // that claimed it, or whose record gave it
  WallTime at{};                 // when it took this state
  std::optional<Record> record;  // the write or read that gave it; none while claimed
  // A claim's writer, and whether it still runs.
  std::string writerHost;
  long long writerPid = 0;
  Liveness writer = Liveness::Ended;
};

// Why a write's row was refused: the first hold in its way, and how many holds of other pagers
// have the capcode in a group row.
struct Refusal {
  RowUse use;
  Holder inTheWay;
  int groupHolds = 0;
};

struct ClaimResult {
  bool granted = false;
  std::optional<Refusal> refusal;  // when refused: the row and who has its capcode
};

// How a write whose capcodes were claimed ended.
enum class WriteEnd {
  Verified,   // "Verify OK !": the claims are held; the pager's own holds it no longer gets go
  Failed,     // bytes were sent, then it failed: the claims become failed
  Abandoned,  // nothing was sent: the claims go
};

// A capcode that the register learned is, or may be, on two pagers.
struct Conflict {
  long long id = 0;
  int capcode = 0;
  WallTime at{};
  std::string station;                     // whose command found it
  std::optional<long long> recordId;       // the record that found it
  std::optional<long long> otherRecordId;  // the record of the hold it met, when there is one
  std::string what;  // "a read found it on a second pager", "released while being written at r1"
  std::optional<WallTime> closedAt;
  std::string closedBy;
  std::string note;  // why it was closed
};

// What applying a record, settling a write or importing found.
struct HoldOutcome {
  std::vector<Conflict> conflicts;        // recorded now
  std::vector<int> releasedWhileWritten;  // a write's claims that were released by hand meanwhile
  std::vector<int> heldClaims;  // claims that a journalled verified write among imported ones made
};

struct ReleaseResult {
  std::vector<Holder> released;  // what went; empty when nothing had the capcode
  // A claim whose write is still under way: without force, the release was refused for it;
  // forced, it went with the rest.
  std::optional<Holder> liveClaim;
};

// A line of a capcode's history.
struct HolderEvent {
  long long id = 0;
  int capcode = 0;
  std::string event;  // "claimed", "taken over", "held", "failed", "abandoned", "found", ...
  std::string station;
  WallTime at{};
  std::optional<long long> recordId;
  std::string note;
};

enum class RecordColumn {
  Time,
  Station,
  Model,
  Edition,
  Port,
  Command,
  Outcome,
  Serial,
  Capcode1,
  Capcode2,
  Capcode3,
  Capcode4,
  Capcode5,
  Capcode6,
  Frequency,
  BackupFile,
};

// Which records, in which order, which page of them. The filters add up.
struct RecordQuery {
  std::optional<WallTime> since;
  std::string station;                // exactly this station
  std::string text;                   // part of a capcode or of the serial number
  std::optional<int> capcode;         // this capcode in any row
  std::optional<std::string> serial;  // exactly this serial number
  RecordColumn sortBy = RecordColumn::Time;
  bool descending = true;  // newest first
  std::size_t offset = 0;
  std::size_t limit = 100;  // 0: all
};

struct RegisterStatus {
  std::string engine;    // "SQLite" or "PostgreSQL"
  std::string location;  // as opened; a URL never holds the password
  int schemaVersion = 0;
  int versionFound = 0;  // when this program opened it: 0 if it made the tables
  long long records = 0;
  std::vector<std::string> stations;  // every station that left a record
  std::optional<Record> last;
  long long claimsAlive = 0;    // being written now
  long long claimsEnded = 0;    // left by writes that ended: the pager may have them
  long long failed = 0;         // holds of writes that failed after bytes were sent
  long long openConflicts = 0;  // capcodes that are, or may be, on two pagers
};

}  // namespace ccp
