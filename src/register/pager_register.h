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
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "register/list_types.h"
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

  // The first of the capcode's holders(), if any.
  std::optional<Holder> holder(int capcode);
  // Every change of the capcode's holder, newest first.
  virtual std::vector<HolderEvent> history(int capcode) = 0;

  // --- Which pagers have which capcode -------------------------------------------------------
  //
  // A pager's own holds: the individual holds (held, failed, or claimed by a write that ended)
  // whose capcode the pager has in the hold's row, enabled, as read in the same command; then
  // every hold of the records behind those. Anything else found in a pager is another pager's.

  // Imports journal lines' records in one transaction. A line is there already when a record of
  // the same second with the same journal columns is, whatever its station. The records added
  // are applied in time order as apply() applies one; a claim of `by.station` on a capcode of a
  // verified write among them, made within a minute after the write began, is held by it.
  // How many were added, which the database refused (each alone, the others going in all the
  // same), and what applying them found.
  struct Imported {
    std::size_t added = 0;
    std::vector<AddedRecords::Refused> refused;
    HoldOutcome holds;
  };
  virtual Imported importRecords(const std::vector<Record>& records, const Stamp& by) = 0;

  // Every hold of the capcode: individual holds first, then group holds.
  virtual std::vector<Holder> holders(int capcode) = 0;
  // The holds that may be in the way of many rows at once, read only: every hold of an individual
  // use's capcode and the individual holds of a group use's capcode, each with its record and its
  // claim's writer judged, in no set order. Here: holders() of each capcode; an engine reads them
  // in a few statements.
  virtual std::vector<Holder> holdersInTheWay(const std::vector<RowUse>& uses);

  // Claims every row a write is about to give, all or none, for `writer`'s write, against the
  // holds that are not the pager's own (`inProgrammer`: what the same command read of it first).
  // An individual row is refused by any such hold; a group row by an individual one. Two
  // stations never both pass for one capcode, however many ask at once.
  virtual ClaimResult claimWrite(const std::vector<RowUse>& rows, const Writer& writer, WallTime at,
                                 const std::optional<SeenPager>& inProgrammer) = 0;
  // Settles `writer`'s claims as the write ended, with its record (whose pagerBefore tells the
  // pager's own holds): Verified makes them held and lets the pager's own holds that the write
  // did not give again go; a claim released meanwhile is reported and recorded as a conflict.
  // Without a record only Abandoned is done.
  virtual HoldOutcome settle(const Writer& writer, WriteEnd end, std::optional<long long> recordId,
                             const Stamp& by) = 0;
  // A record that shows what a pager has now, without claims (a verified write with the guard
  // off, a completed read): the rows it shows become holds of its record; where another pager's
  // hold is in the way a conflict is recorded and the other hold stays; the pager's own holds
  // that it no longer shows go.
  virtual HoldOutcome apply(long long recordId, const Stamp& by) = 0;

  // Releases every hold of the capcode by hand, closing its open conflicts. A claim whose write
  // is still under way is refused unless `force`; forced, a conflict is recorded.
  virtual ReleaseResult release(int capcode, const Stamp& by, bool force) = 0;

  // Claims (alive or ended) and failed holds, newest first.
  virtual std::vector<Holder> claims() = 0;
  // The open conflicts, or all of them, newest first.
  virtual std::vector<Conflict> conflicts(bool closedToo = false) = 0;
  // Closes the open conflict `id`, or each open conflict of `capcode`; what it closed.
  virtual std::vector<Conflict> resolve(std::optional<long long> id, std::optional<int> capcode,
                                        const Stamp& by) = 0;

  // --- Customers' lists ----------------------------------------------------------------------
  //
  // The stations of a line work one list together: each takes the next row, writes its pager
  // (whose capcodes are claimed as any write's) and ends the row. The register keeps the lists
  // and their rows' states; it neither checks a list nor writes a pager.

  // Takes the list in, or finds it: a list of that name and fingerprint is the same list (its
  // newest version). A list of that name with another fingerprint is refused with the rows that
  // changed, unless `newVersion`: then it is a new version, whose rows that were done in the
  // version before with the same fingerprint stay done (with their record), the others open.
  virtual ListTaking takeList(const ListEntry& list, bool newVersion, const Stamp& by) = 0;
  // The newest version of the list of that name.
  virtual std::optional<ListInfo> findList(const std::string& name) = 0;
  // Takes a row for `writer`'s write, atomically: `preferred` when it is open, failed or left
  // by a writer that ended; else the first open row, then the first failed row, or row left by
  // a writer that ended, that is not in `tried` (the rows this station's run skipped or tried). The row is then Writing, its writer named as a
  // claim's is (on PostgreSQL the session holds a lock on the writer's token while the row is
  // being written, as claimWrite does), attempts untouched. Nothing when no such row is left
  // (rows being written by writers that run are theirs). A list the register does not have is
  // refused (RegisterError Invalid).
  virtual std::optional<ListRowStatus> takeRow(long long listId, const Writer& writer,
                                               std::optional<int> preferred,
                                               const std::set<int>& tried, WallTime at) = 0;
  // The row `writer` took ends: Done only with the record of a verified write (refused:
  // RegisterError Invalid otherwise, and a row is never done twice, nor two rows by one record),
  // Failed with why (attempts + 1), or Open again. A row that `writer` no longer has (another
  // took it after its writer was taken for ended) is not changed: RegisterError Invalid saying
  // so.
  virtual ListRowStatus settleRow(long long listId, int row, const Writer& writer,
                                  const RowEnd& end, const Stamp& by) = 0;
  // Every row of the list, its writer judged alive or ended, in the list's order.
  virtual std::vector<ListRowStatus> listRows(long long listId) = 0;
  // A done row given to a replacement pager: the holds of its record are released by hand with
  // a note ("row 12 of LIST swapped: ..." plus by.note), the row is open again, and its history
  // keeps the old pager's record. Refused (RegisterError Invalid) for a row that is not done.
  virtual ListRowStatus swapRow(long long listId, int row, const Stamp& by) = 0;
  // Every event of the row, newest first.
  virtual std::vector<ListRowEvent> rowHistory(long long listId, int row) = 0;
};

// This process as a claim's writer, with a new token: one for each write.
Writer newWriter(const std::string& station);
// A record's rows as the register reads them: its capcodes and enabled rows.
PagerRows recordRows(const Record& record);
// The enabled rows with a capcode, individual where `individualRows` says.
std::vector<RowUse> rowUses(const PagerRows& rows, const std::vector<int>& individualRows);
// A record's row uses as the register takes them: individual where its individualRows say, row 1
// when it names none.
std::vector<RowUse> recordUses(const Record& record);
// "2004000 2004008 -2004016 2004024 2004032 2004040": a disabled row marked "-"; "" for none.
std::string pagerRowsText(const std::optional<PagerRows>& rows);
std::optional<PagerRows> parsePagerRows(std::string_view text);
// What a write's record says of a capcode that was released by hand while the pager was written
// (settle() reports it): "Capcode 1700000 was released while this pager was written: it may be
// on two pagers".
std::string releasedWhileWrittenNote(int capcode);

struct RegisterOptions {
  // How long a call waits for a lock held by another station before it gives up as Busy.
  std::chrono::milliseconds busyTimeout{5000};
  // How long a call to a server waits while the server sends nothing, before it gives up as
  // Unreachable (see ports/call_watch.h).
  std::chrono::milliseconds answerTimeout{15000};
};

inline constexpr const char* kRegisterFileName = "register.sqlite";

// The databases a register is kept in.
enum class Engine { SQLite, PostgreSQL };

// A register's location, read once: what its connection is opened with (a file's path, or a
// server's options for libpq with the bounds of its waits), and what messages show of it (the
// path, or the server's location without its password).
struct RegisterLocation {
  Engine engine = Engine::SQLite;
  std::string target;
  std::string shown;
};

// The location the text names, as readLocation() in location_reading.h reads it; RegisterError
// (Invalid) when it names none.
RegisterLocation registerLocation(const std::string& text);

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
std::unique_ptr<PagerRegister> openRegister(const RegisterLocation& location,
                                            const RegisterOptions& options = {});
// The same for the location a text names.
std::unique_ptr<PagerRegister> openRegister(const std::string& location,
                                            const RegisterOptions& options = {});

}  // namespace ccp
