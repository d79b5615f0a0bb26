// The statements that take a list in: the list and its version, and its rows, many to a
// statement.
#include <algorithm>
#include <memory>

#include "register/list_rules.h"
#include "register/list_tables.h"
#include "register/record_columns.h"
#include "register/sql_session.h"
#include "register/sql_statements.h"
#include "register/stored_text.h"

namespace ccp {

namespace {

// The first key of the lock of taking lists in (two-int form, as the capcodes' locks): a space of
// its own, and never a write's token, whose key is one bigint.
constexpr int kListLockSpace = 0x6363704c;

// Rows of a list that one statement adds: a 10,000-row list goes in with 200 of them, well under
// the number of values SQLite takes in one statement.
constexpr std::size_t kRowsAStatement = 50;

constexpr const char* kListColumns =
    "id, name, fingerprint, version, header, dialect, row_count, taken_at, station";
// A row's values as one statement of many adds them.
struct RowValues {
  long long list = 0;
  int row = 0;
  long long line = 0;
  std::string label, uses, serial, cells, fingerprint, state, station;
  long long at = 0;
  long long record = 0;
  soci::indicator recordKnown = soci::i_null;
  std::string serialRead;
  int attempts = 0;

  // A row that is not done is open since the list was taken in.
  void set(const ListInfo& info, const ListRowEntry& entry, const ListRowStatus* done) {
    list = info.id;
    row = entry.row;
    line = static_cast<long long>(entry.line);
    label = storedText(entry.label);
    uses = usesText(entry.uses);
    serial = storedText(entry.serial);
    cells = storedText(entry.cells);
    fingerprint = storedText(entry.fingerprint);
    state = listRowStateName(done ? ListRowState::Done : ListRowState::Open);
    station = storedText(done ? done->station : "");
    at = storedTime(done ? done->at : info.takenAt);
    record = done && done->recordId ? *done->recordId : 0;
    recordKnown = done && done->recordId ? soci::i_ok : soci::i_null;
    serialRead = storedText(done ? done->serialRead : "");
    attempts = done ? done->attempts : 0;
  }
};

// One statement that adds `count` rows, prepared once and run for each batch of that many.
class RowInsert {
 public:
  RowInsert(soci::session& sql, std::size_t count) : values_(count), statement_(sql) {
    std::string text =
        "INSERT INTO list_rows (list_id, list_row, file_line, label, uses, serial, cells, "
        "fingerprint, state, station, at, record_id, serial_read, attempts) VALUES ";
    for (std::size_t i = 0; i < count; ++i) {
      RowValues& v = values_[i];
      std::string names;
      const auto bind = [&](const char* column, auto& value) {
        const std::string name = std::string(column) + std::to_string(i);
        names += (names.empty() ? ":" : ", :") + name;
        statement_.exchange(soci::use(value, name));
      };
      bind("list", v.list), bind("row", v.row), bind("line", v.line), bind("label", v.label);
      bind("uses", v.uses), bind("serial", v.serial), bind("cells", v.cells);
      bind("fingerprint", v.fingerprint), bind("state", v.state), bind("station", v.station);
      bind("at", v.at);
      const std::string record = "record" + std::to_string(i);
      names += ", :" + record;
      statement_.exchange(soci::use(v.record, v.recordKnown, record));
      bind("serialread", v.serialRead), bind("attempts", v.attempts);
      text += (i == 0 ? "(" : ", (") + names + ")";
    }
    prepareStatement(statement_, text);
  }

  std::vector<RowValues>& values() { return values_; }
  void run() { statement_.execute(true); }

 private:
  std::vector<RowValues> values_;  // bound: never resized
  soci::statement statement_;
};

}  // namespace

void ListTables::lockTaking() {
  if (s_.engine() != Engine::PostgreSQL) return;
  s_.sql() << "SELECT pg_advisory_xact_lock(" + std::to_string(kListLockSpace) + ", 0)";
}

std::optional<ListInfo> ListTables::readList(const std::string& condition,
                                             const std::string& name) {
  ListInfo info;
  long long at = 0;
  std::string stored = storedText(name);
  soci::statement statement(s_.sql());
  statement.exchange(soci::into(info.id));
  statement.exchange(soci::into(info.name));
  statement.exchange(soci::into(info.fingerprint));
  statement.exchange(soci::into(info.version));
  statement.exchange(soci::into(info.header));
  statement.exchange(soci::into(info.dialect));
  statement.exchange(soci::into(info.rows));
  statement.exchange(soci::into(at));
  statement.exchange(soci::into(info.station));
  if (condition.find(":name") != std::string::npos) {
    statement.exchange(soci::use(stored, "name"));
  }
  prepareStatement(statement, std::string("SELECT ") + kListColumns + " FROM lists WHERE " +
                                  condition + " ORDER BY version DESC LIMIT 1");
  if (!statement.execute(true)) return std::nullopt;
  info.takenAt = wallTime(at);
  for (std::string* text :
       {&info.name, &info.fingerprint, &info.header, &info.dialect, &info.station}) {
    *text = textOf(*text);
  }
  return info;
}

std::optional<ListInfo> ListTables::newest(const std::string& name) {
  return readList("name = :name", name);
}

std::optional<ListInfo> ListTables::list(long long id) {
  return readList("id = " + std::to_string(id), {});
}

ListInfo ListTables::add(const ListEntry& list, int version, const Stamp& by) {
  ListInfo info;
  info.name = list.name;
  info.fingerprint = list.fingerprint;
  info.version = version;
  info.header = list.header;
  info.dialect = list.dialect;
  info.rows = static_cast<int>(list.rows.size());
  info.takenAt = wallTime(storedTime(by.at));
  info.station = by.station;
  std::string name = storedText(list.name), fingerprint = storedText(list.fingerprint);
  std::string header = storedText(list.header), dialect = storedText(list.dialect);
  std::string station = storedText(by.station);
  const long long at = storedTime(by.at);
  s_.sql() << "INSERT INTO lists (name, fingerprint, version, header, dialect, row_count, "
              "taken_at, station) VALUES (:name, :fingerprint, :version, :header, :dialect, "
              ":row_count, :taken_at, :station) RETURNING id",
      soci::use(name, "name"), soci::use(fingerprint, "fingerprint"),
      soci::use(info.version, "version"), soci::use(header, "header"),
      soci::use(dialect, "dialect"), soci::use(info.rows, "row_count"), soci::use(at, "taken_at"),
      soci::use(station, "station"), soci::into(info.id);
  return info;
}

void ListTables::addRows(const ListInfo& list, const std::vector<ListRowEntry>& rows,
                         const std::vector<std::optional<int>>& carried,
                         const std::vector<ListRowStatus>& before) {
  std::map<int, const ListRowStatus*> done;
  for (const ListRowStatus& row : before) done[row.entry.row] = &row;
  const auto doneFor = [&](std::size_t i) -> const ListRowStatus* {
    return i < carried.size() && carried[i] ? done.at(*carried[i]) : nullptr;
  };
  std::unique_ptr<RowInsert> full;
  std::size_t i = 0;
  while (i < rows.size()) {
    const std::size_t count = std::min(kRowsAStatement, rows.size() - i);
    std::unique_ptr<RowInsert> last;
    if (count == kRowsAStatement && !full) full = std::make_unique<RowInsert>(s_.sql(), count);
    if (count < kRowsAStatement) last = std::make_unique<RowInsert>(s_.sql(), count);
    RowInsert& insert = last ? *last : *full;
    for (RowValues& v : insert.values()) {
      v.set(list, rows[i], doneFor(i));
      ++i;
    }
    insert.run();
  }
  if (list.version > 1) {
    // A row that stays done says so in its history, with the write that did it.
    const std::string note = "done in version " + std::to_string(list.version - 1);
    s_.sql() << "INSERT INTO list_row_history (list_id, list_row, event, station, at, record_id, "
                "note) SELECT list_id, list_row, 'done', station, at, record_id, :note "
                "FROM list_rows WHERE list_id = :list AND state = 'done'",
        soci::use(note, "note"), soci::use(list.id, "list");
  }
}

std::map<int, std::string> ListTables::fingerprints(long long listId) {
  int row = 0;
  std::string fingerprint;
  soci::statement statement =
      (s_.sql().prepare << "SELECT list_row, fingerprint FROM list_rows WHERE list_id = :list",
       soci::use(listId, "list"), soci::into(row), soci::into(fingerprint));
  std::map<int, std::string> found;
  if (statement.execute(true)) {
    do {
      found[row] = textOf(fingerprint);
    } while (statement.fetch());
  }
  return found;
}

}  // namespace ccp
