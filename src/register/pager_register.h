#pragma once

// The pager register: every pager command on record, and who holds each individual capcode.
// One interface over two engines: a SQLite file on one station, or a PostgreSQL database that
// the stations of a line share. Every call is a transaction of its own; every failure is a
// RegisterError. A server connection that was lost is opened again by the next call (and a call
// that lost it before its commit runs once more). No call waits without an end: a server is
// given up at the connect timeout, or when it stays silent for the answer timeout while a call
// waits, and a call under way gives up at once when the process is asked to stop
// (stopRegisterCallNow()); such a call is not run again. One thread at a time; each process or
// thread opens a register of its own.

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "register/register_error.h"
#include "register/register_types.h"

namespace ccp {

// What addRecords() did: how many records were new, and which the database refused (by their
// place in the list) and why.
struct AddedRecords {
  struct Refused {
    std::size_t index = 0;
    std::string reason;
  };
  std::size_t added = 0;
  std::vector<Refused> refused;
};

class PagerRegister {
 public:
  virtual ~PagerRegister() = default;

  virtual RegisterStatus status() = 0;

  // Adds the record unless one of the same content is there (same station, time to the second
  // and journal columns): importing a journal twice adds nothing. The id of the record, new or
  // already there.
  virtual long long addRecord(const Record& record) = 0;
  // The same for many records in one transaction. A record the database refuses is left out
  // and said; the others go in all the same.
  virtual AddedRecords addRecords(const std::vector<Record>& records) = 0;

  virtual std::vector<Record> records(const RecordQuery& query) = 0;
  // How many records the query's filters let through, whatever its page.
  virtual long long countRecords(const RecordQuery& query) = 0;

  virtual std::optional<Holder> holder(int capcode) = 0;
  // Every change of the capcode's holder, newest first.
  virtual std::vector<HolderEvent> history(int capcode) = 0;

  // Claims the capcode for a write about to start: granted to exactly one station however
  // many ask at once. Refused: the current holder, with the record that gave it.
  virtual ClaimResult claim(int capcode, const Stamp& by, Takeover takeover = Takeover::Never) = 0;
  // Moves the capcodes as `move` says, all in one transaction, with `recordId` (the write or
  // read behind the move) in their history. The capcodes the move did not apply to, left as
  // they were: not claimed by this station, claimed by another, or not held.
  virtual std::vector<int> move(HolderMove move, const std::vector<int>& capcodes, const Stamp& by,
                                std::optional<long long> recordId = {}) = 0;
};

struct RegisterOptions {
  // How long a call waits for a lock held by another station before it gives up as Busy.
  std::chrono::milliseconds busyTimeout{5000};
  // How long a call to a server waits while the server sends nothing, before it gives up as
  // Unreachable (see register/call_watch.h).
  std::chrono::milliseconds answerTimeout{15000};
};

inline constexpr const char* kRegisterFileName = "register.sqlite";

// The databases a register is kept in.
enum class Engine { SQLite, PostgreSQL };

// A register that the stations of a line share: a PostgreSQL server, named by a URL
// ("postgresql://" or "postgres://", in any case) or a libpq keyword string, as readLocation()
// in location_reading.h tells them from a SQLite file's path and from text that is neither.
bool isSharedRegister(std::string_view location);

// The register of a station on its own: "register.sqlite" in the data folder.
std::string defaultRegisterLocation(const std::string& dataFolder);

// A location as it may be shown or kept in the settings: a server's as libpq reads it, in the
// shape it was written in (a URL or a keyword string), with any password left out; with a
// `mark`, the mark stands in the password's place instead, as the register's messages show it.
// A file's path as it is; text that names no register is not shown at all.
std::string withoutPassword(const std::string& location, const std::string& mark = {});

// Opens the register at `location`: a server as libpq takes it, its password left to ~/.pgpass,
// PGPASSWORD or a service file, or the path of a SQLite file, made with its folder when
// missing; text that is neither is refused (Invalid). A register without a schema gets one, an
// older one is brought forward; one newer than this program is refused (NewerSchema) and left
// untouched.
std::unique_ptr<PagerRegister> openRegister(const std::string& location,
                                            const RegisterOptions& options = {});

}  // namespace ccp
