// Customers' lists: taken in once, and their rows taken by the stations one at a time, each row
// by one write, ended done, failed or open again.
#include "register/hold_tables.h"
#include "register/list_rules.h"
#include "register/list_tables.h"
#include "register/sql_register.h"
#include "register/stored_text.h"

namespace ccp {

namespace {

std::string listText(long long listId) {
  return "list " + std::to_string(listId);
}

ListInfo listOrRefuse(ListTables& tables, long long listId) {
  auto list = tables.list(listId);
  if (!list) throw RegisterError(RegisterFault::Invalid, "There is no " + listText(listId));
  return *list;
}

// Rows are taken from a list's newest version only: its rows done before are done in it too.
void refuseOlderVersion(ListTables& tables, long long listId) {
  const ListInfo list = listOrRefuse(tables, listId);
  const auto newest = tables.newest(list.name);
  if (newest && newest->id != list.id) {
    throw RegisterError(RegisterFault::Invalid, list.name + " was taken in again as version " +
                                                    std::to_string(newest->version) +
                                                    ": its rows are written from there");
  }
}

KeptRow rowOrRefuse(ListTables& tables, long long listId, int row) {
  auto rows = tables.rows(listId, "list_row = " + std::to_string(row), tables.locking(false));
  if (rows.empty()) {
    throw RegisterError(RegisterFault::Invalid, "There is no row " + std::to_string(row) + " in " +
                                                    listOrRefuse(tables, listId).name);
  }
  return rows.front();
}

}  // namespace

ListTaking SqlRegister::takeList(const ListEntry& list, bool newVersion, const Stamp& by) {
  return guarded("taking in the list " + list.name, [&] {
    ListTables tables(session_);
    // The same list found, or another refused; nothing to add, nothing locked.
    const auto look = [&]() -> std::optional<ListTaking> {
      const auto newest = tables.newest(list.name);
      if (newest && newest->fingerprint == list.fingerprint) {
        return ListTaking{newest, false, {}};
      }
      if (newest && !newVersion) {
        return ListTaking{std::nullopt, false,
                          changedRows(tables.fingerprints(newest->id), list.rows)};
      }
      return std::nullopt;
    };
    if (auto taking = look()) return *taking;
    return session_.write([&] {
      tables.lockTaking();
      if (auto taking = look()) return *taking;  // another station took it in meanwhile
      const auto before = tables.newest(list.name);
      std::vector<ListRowStatus> done;
      if (before) {
        // A row of it being written now would be open in the new version: written twice.
        auto writing = tables.rows(before->id, "state = 'writing'");
        tables.judge(writing);
        std::vector<int> busy;
        for (const ListRowStatus& row : tables.statuses(writing)) {
          if (row.writer == Liveness::Alive) busy.push_back(row.entry.row);
        }
        if (!busy.empty()) return ListTaking{std::nullopt, false, {}, busy};
        done = tables.statuses(tables.rows(before->id, "state = 'done'"));
      }
      const ListInfo added = tables.add(list, before ? before->version + 1 : 1, by);
      tables.addRows(added, list.rows, carriedRows(done, list.rows), done);
      return ListTaking{added, true, {}};
    });
  });
}

std::optional<ListInfo> SqlRegister::findList(const std::string& name) {
  return guarded("finding the list " + name, [&] { return ListTables(session_).newest(name); });
}

std::optional<ListRowStatus> SqlRegister::takeRow(long long listId, const Writer& writer,
                                                  std::optional<int> preferred,
                                                  const std::set<int>& tried, WallTime at) {
  try {
    const auto taken = guarded("taking a row of " + listText(listId), [&] {
      return session_.write([&]() -> std::optional<ListRowStatus> {
        ListTables tables(session_);
        refuseOlderVersion(tables, listId);
        std::optional<KeptRow> row;
        if (preferred) {
          auto rows = tables.rows(listId, "list_row = " + std::to_string(*preferred),
                                  tables.locking(false));
          tables.judge(rows);
          if (!rows.empty() && mayTake(rows.front().status)) row = rows.front();
        }
        if (!row) {
          // Rows that other stations are taking now are theirs: never waited for.
          std::string open = "state = 'open'";
          if (!tried.empty()) open += " AND list_row NOT IN " + sqlList(tried);
          auto first = tables.rows(listId, open, "LIMIT 1 " + tables.locking(true));
          if (!first.empty()) row = first.front();
        }
        if (!row) {
          std::string retried = "state IN ('failed', 'writing')";
          if (!tried.empty()) retried += " AND list_row NOT IN " + sqlList(tried);
          auto rows = tables.rows(listId, retried, tables.locking(true));
          tables.judge(rows);
          if (const auto number = rowToRetry(tables.statuses(rows), tried)) {
            for (const KeptRow& r : rows) {
              if (r.status.entry.row == *number) row = r;
            }
          }
        }
        if (!row) {
          listOrRefuse(tables, listId);
          return std::nullopt;
        }
        tables.take(*row, writer, at);
        holdToken(writer.token);  // before the commit: the row is never seen left
        return row->status;
      });
    });
    if (taken) takenRows_[writer.token].insert({listId, taken->entry.row});
    return taken;
  } catch (...) {
    letTokenGo(writer.token);
    throw;
  }
}

ListRowStatus SqlRegister::settleRow(long long listId, int row, const Writer& writer,
                                     const RowEnd& end, const Stamp& by) {
  bool notTheWriters = false;
  try {
    const ListRowStatus settled =
        guarded("ending row " + std::to_string(row) + " of " + listText(listId), [&] {
          return session_.write([&] {
            ListTables tables(session_);
            KeptRow kept = rowOrRefuse(tables, listId, row);
            RowEndFacts facts;
            facts.row = kept.status;
            facts.token = kept.writer.token;
            if (end.state == ListRowState::Done && end.recordId) {
              facts.record = tables.recordForRow(*end.recordId);
            }
            if (auto refused = rowEndRefusal(facts, writer, end)) {
              facts.listName = listOrRefuse(tables, listId).name;  // named only when refused
              refused = rowEndRefusal(facts, writer, end);
              notTheWriters =
                  kept.status.state != ListRowState::Writing || kept.writer.token != writer.token;
              throw RegisterError(RegisterFault::Invalid, *refused);
            }
            tables.end(kept, end, by);
            return kept.status;
          });
        });
    forgetRow(writer.token, listId, row);
    return settled;
  } catch (const RegisterError&) {
    if (notTheWriters) forgetRow(writer.token, listId, row);
    throw;
  }
}

std::vector<ListRowStatus> SqlRegister::listRows(long long listId) {
  return guarded("reading the rows of " + listText(listId), [&] {
    ListTables tables(session_);
    std::vector<KeptRow> rows = tables.rows(listId);
    tables.judge(rows);
    return tables.statuses(rows);
  });
}

ListRowStatus SqlRegister::swapRow(long long listId, int row, const Stamp& by) {
  return guarded("swapping row " + std::to_string(row) + " of " + listText(listId), [&] {
    return session_.write([&] {
      ListTables tables(session_);
      const ListInfo list = listOrRefuse(tables, listId);
      KeptRow kept = rowOrRefuse(tables, listId, row);
      if (kept.status.state != ListRowState::Done || !kept.status.recordId) {
        throw RegisterError(RegisterFault::Invalid, "Row " + std::to_string(row) + " of " +
                                                        list.name + " is " +
                                                        listRowStateName(kept.status.state) +
                                                        ": only a done row's pager is swapped");
      }
      const std::string note = swapNote(row, list.name, by.note);
      const Stamp released{by.station, by.at, note};
      HoldTables holds(session_);
      const long long record = *kept.status.recordId;
      std::map<int, bool> capcodes;
      for (const Hold& h : holds.ofRecords({record})) capcodes[h.capcode] = true;
      holds.lockCapcodes(capcodes);
      for (const Hold& h : holds.ofRecords({record})) holds.remove(h, "released", released);
      tables.reopen(kept, by, note);
      return kept.status;
    });
  });
}

std::vector<ListRowEvent> SqlRegister::rowHistory(long long listId, int row) {
  return guarded("reading the history of row " + std::to_string(row) + " of " + listText(listId),
                 [&] { return ListTables(session_).history(listId, row); });
}

}  // namespace ccp
