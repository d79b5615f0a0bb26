#pragma once

// A station working a customer's list: it takes the next row from the register, writes a pager
// with it as any guarded write is made, and marks the row by how the write ended. What the user
// is asked between rows is the face's.

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "commands/pager_records.h"
#include "register/list_types.h"

namespace ccp {

class TForm1;

// How a row's write ended.
enum class RowResult {
  Done,        // verified, and the row marked done
  Failed,      // the write failed, or a capcode was taken: the row failed, and the run goes on
  NotWritten,  // stopped before anything was sent for a reason of the pager's (a done row's
               // pager, another serial number than scanned): the row is open again
  Unsettled,   // the register could not be told: the row stays taken by this station's write
};

struct RowOutcome {
  RowResult result = RowResult::Failed;
  std::string line;   // the write's last log line, or why the row was not settled
  ListRowStatus row;  // as the register has it now (as taken, when unsettled)
};

class ListRun {
 public:
  // The list `list` of the register that `records` keeps its records in, written as `station`;
  // `now` stamps what the register keeps.
  ListRun(PagerRecords& records, ListInfo list, std::string station, std::function<WallTime()> now);

  const ListInfo& list() const { return list_; }
  PagerRecords& records() { return records_; }

  // Takes the next row: `preferred` when it may be taken, else the next open one, else one that
  // failed and was not tried by this run. Nothing when no row is left to this station (rows
  // being written at other stations are theirs). RegisterError when the register cannot say.
  std::optional<ListRowStatus> take(std::optional<int> preferred = {});
  // The row taken: the row with the serial number, when one is open (the other goes back).
  std::optional<ListRowStatus> takeBySerial(const std::string& serial);

  // Writes the pager in the Programmer with the taken row, whose settings `apply` puts into the
  // form (false: the row's settings were refused; the row fails with `why`). Write to pager is
  // the row's write while `runWrite` runs it as the face runs that menu command. The pager read
  // first is checked: a pager that holds exactly what a done row gave it is that row's pager,
  // and `scanned` (a serial number typed or scanned at the prompt), when given, must be the
  // pager's.
  RowOutcome write(TForm1& form, const ListRowStatus& row,
                   const std::function<bool(TForm1&, std::string& why)>& apply,
                   const std::function<void()>& runWrite,
                   const std::optional<std::string>& scanned = {});

  // The taken row goes back, open, unwritten: skipped (this run takes it no more), or the run
  // stopped before its write, or another row is written first.
  void putBack(const ListRowStatus& row, const std::string& why, bool skipped = true);

 private:
  ListRowStatus settle(const ListRowStatus& row, const RowEnd& end);
  // Why the pager read first must not get the row; nothing when it may.
  std::optional<std::string> refusePager(const ListRowStatus& row,
                                         const std::optional<PagerIdentity>& pager,
                                         const std::optional<std::string>& scanned);

  PagerRecords& records_;
  ListInfo list_;
  std::string station_;
  std::function<WallTime()> now_;
  Writer writer_;           // this station's writer of rows
  std::set<int> tried_;     // rows this run wrote and failed, or skipped
  std::string serialRead_;  // of the pager the last write read first
};

// "row 17 of 200, Ward 3 on-call, capcode 2004017": a row as the prompt and the outcome name it.
std::string rowText(const ListRowStatus& row, int rows);

// How the list stands: "37 of 200 done, 2 failed, 3 being written, 158 open".
struct ListStanding {
  int open = 0, writing = 0, done = 0, failed = 0;
};
ListStanding standingOf(const std::vector<ListRowStatus>& rows);
std::string standingText(const ListStanding& standing, int rows);

}  // namespace ccp
