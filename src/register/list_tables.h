#pragma once

// Every statement on customers' lists, their rows and the rows' history, in the caller's
// transaction; and whether a row's writer still runs, as a claim's. Taking a list in is in
// list_taking.cpp, the rows' states and history in list_tables.cpp.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "register/list_rules.h"

namespace ccp {

class SqlSession;

// A row as the register keeps it, with its writer.
struct KeptRow {
  ListRowStatus status;
  KeptWriter writer;
};

class ListTables {
 public:
  explicit ListTables(SqlSession& session) : s_(session) {}

  // On PostgreSQL, this transaction's lock of taking lists in: one station at a time decides
  // whether a list is new (SQLite's write transaction holds the whole file already).
  void lockTaking();
  // The newest version of the list of that name.
  std::optional<ListInfo> newest(const std::string& name);
  std::optional<ListInfo> list(long long id);
  // The list, without its rows, as version `version`.
  ListInfo add(const ListEntry& list, int version, const Stamp& by);
  // The list's rows, open, or done as the row of `before` that `carried` names for each (a done
  // row of the version before, kept with its record); many rows to a statement.
  void addRows(const ListInfo& list, const std::vector<ListRowEntry>& rows,
               const std::vector<std::optional<int>>& carried,
               const std::vector<ListRowStatus>& before);
  // Each row's fingerprint, by its place.
  std::map<int, std::string> fingerprints(long long listId);

  // The list's rows that `condition` (SQL on list_rows, numbers only; none: all) lets through, in
  // the list's order, `tail` after the order (LIMIT, locks); their writers not judged yet.
  std::vector<KeptRow> rows(long long listId, const std::string& condition = {},
                            const std::string& tail = {});
  // What a query adds to lock the rows it returns for this transaction, on PostgreSQL; with
  // `skipLocked`, rows another transaction has locked are left out, not waited for.
  std::string locking(bool skipLocked) const;
  // Whether the writers of the rows being written still run, as claims' writers are judged.
  void judge(std::vector<KeptRow>& rows);
  std::vector<ListRowStatus> statuses(const std::vector<KeptRow>& rows);

  // The row is being written by `writer` now, with a "taken" event.
  void take(KeptRow& row, const Writer& writer, WallTime at);
  // The row's write ended (Done, Failed or Open), with its event.
  void end(KeptRow& row, const RowEnd& end, const Stamp& by);
  // A done row is open again, its pager swapped: a "swapped" event names the old record.
  void reopen(KeptRow& row, const Stamp& by, const std::string& note);
  // The write's writer shows it runs: its rows are taken back after a lost connection.
  void showAlive(long long token);

  void event(long long listId, int row, const char* event, const Stamp& stamp,
             std::optional<long long> recordId, const std::string& note);
  // Newest first.
  std::vector<ListRowEvent> history(long long listId, int row);
  // The record, and the row it made done if any; none when the register has no such record.
  std::optional<RecordForRow> recordForRow(long long recordId);

 private:
  // The newest list that `condition` (SQL on lists; ":name" is the name) lets through.
  std::optional<ListInfo> readList(const std::string& condition, const std::string& name);

  SqlSession& s_;
};

}  // namespace ccp
