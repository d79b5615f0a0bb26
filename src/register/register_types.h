#pragma once

// What the pager register keeps: a record of every Read from pager and Write to pager, and who
// holds each individual capcode.

#include <array>
#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "files/time_stamp.h"
#include "image/layout.h"

namespace ccp {

// A capcode's holder: "claimed" while a write that will give it is under way, "held" once a
// verified write gave it or a completed read found it, "failed" when a write that sent bytes
// failed (the pager may hold it; only a release by hand frees it).
enum class HolderState { Claimed, Held, Failed };
const char* holderStateName(HolderState state);
HolderState holderStateNamed(const std::string& name);  // as holderStateName names it

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
  std::vector<int> individualRows;  // rows 1-6 whose capcodes a write guarded
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

struct Holder {
  int capcode = 0;
  HolderState state = HolderState::Claimed;
  std::string station;           // that claimed it, or whose record gave it
  WallTime at{};                 // when it took this state
  std::optional<Record> record;  // the write or read that gave it; none while claimed
};

struct ClaimResult {
  bool granted = false;
  std::optional<Holder> holder;  // when refused: who has the capcode
};

// A claim may take a capcode over from a pager that holds it (or may hold it, "failed") when
// the pager in the Programmer is known to be that pager: it is being reprogrammed. A claim is
// never taken over: its station may still be writing, or died writing.
enum class Takeover { Never, HeldOrFailed };

// What happens to capcodes after a claim, or by hand.
enum class HolderMove {
  Confirm,  // a verified write gave them: this station's claims become held, with the record
  Fail,     // the write failed after bytes were sent: this station's claims become failed
  Abandon,  // the write ended before the decoder was written: this station's claims go
  Found,    // a completed read found them in the pager: held with the record, unless claimed
  Drop,     // a reprogrammed pager no longer gets them: held or failed ones go
  Release,  // released by hand, whatever their state
  Written,  // a verified write without a claim (the guard off) gave them: held, unless claimed
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
};

}  // namespace ccp
