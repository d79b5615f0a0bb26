#include "register/list_tables.h"

#include "register/list_rules.h"
#include "register/record_columns.h"
#include "register/sql_session.h"
#include "register/sql_statements.h"
#include "register/stored_text.h"
#include "register/writer_signs.h"

namespace ccp {

namespace {

constexpr const char* kRowColumns =
    "list_id, list_row, file_line, label, uses, serial, cells, fingerprint, state, station, at, "
    "writer_host, writer_pid, writer_start, writer_seen, writer_token, record_id, serial_read, "
    "reason, attempts";

// What a writer that no longer writes the row leaves of itself.
constexpr const char* kNoWriter =
    "writer_host = '', writer_pid = 0, writer_start = 0, writer_token = NULL";

}  // namespace

std::vector<KeptRow> ListTables::rows(long long listId, const std::string& condition,
                                      const std::string& tail) {
  KeptRow r;
  ListRowStatus& s = r.status;
  long long line = 0, at = 0, token = 0, record = 0;
  std::string uses, state;
  soci::indicator tokenKnown = soci::i_null, recordKnown = soci::i_null;
  soci::statement statement(s_.sql());
  statement.exchange(soci::into(s.listId));
  statement.exchange(soci::into(s.entry.row));
  statement.exchange(soci::into(line));
  statement.exchange(soci::into(s.entry.label));
  statement.exchange(soci::into(uses));
  statement.exchange(soci::into(s.entry.serial));
  statement.exchange(soci::into(s.entry.cells));
  statement.exchange(soci::into(s.entry.fingerprint));
  statement.exchange(soci::into(state));
  statement.exchange(soci::into(s.station));
  statement.exchange(soci::into(at));
  statement.exchange(soci::into(r.writer.host));
  statement.exchange(soci::into(r.writer.pid));
  statement.exchange(soci::into(r.writer.started));
  statement.exchange(soci::into(r.writer.seen));
  statement.exchange(soci::into(token, tokenKnown));
  statement.exchange(soci::into(record, recordKnown));
  statement.exchange(soci::into(s.serialRead));
  statement.exchange(soci::into(s.reason));
  statement.exchange(soci::into(s.attempts));
  prepareStatement(statement, std::string("SELECT ") + kRowColumns +
                                  " FROM list_rows WHERE list_id = " + std::to_string(listId) +
                                  (condition.empty() ? "" : " AND (" + condition + ")") +
                                  " ORDER BY list_row" + (tail.empty() ? "" : " " + tail));
  std::vector<KeptRow> found;
  if (statement.execute(true)) {
    do {
      KeptRow row = r;
      ListRowStatus& kept = row.status;
      const auto parsed = parseUses(uses);
      if (!parsed) {
        throw RegisterError(RegisterFault::Corrupt, "Row " + std::to_string(kept.entry.row) +
                                                        " of list " + std::to_string(listId) +
                                                        " has capcodes that cannot be read");
      }
      kept.entry.uses = *parsed;
      kept.entry.line = static_cast<std::size_t>(line);
      kept.state = listRowStateNamed(state);
      kept.at = wallTime(at);
      kept.writerHost = row.writer.host;
      kept.writerPid = row.writer.pid;
      kept.writer = Liveness::Ended;
      kept.recordId = known(record, recordKnown);
      row.writer.token = known(token, tokenKnown);
      for (std::string* text :
           {&kept.entry.label, &kept.entry.serial, &kept.entry.cells, &kept.entry.fingerprint,
            &kept.station, &kept.serialRead, &kept.reason}) {
        *text = textOf(*text);
      }
      found.push_back(std::move(row));
    } while (statement.fetch());
  }
  return found;
}

std::string ListTables::locking(bool skipLocked) const {
  if (s_.engine() != Engine::PostgreSQL) return {};
  return skipLocked ? "FOR UPDATE SKIP LOCKED" : "FOR UPDATE";
}

void ListTables::judge(std::vector<KeptRow>& rows) {
  std::vector<KeptWriter> writers;
  for (const KeptRow& r : rows) {
    writers.push_back(r.status.state == ListRowState::Writing ? r.writer : KeptWriter{});
  }
  const std::vector<WriterSigns> signs = writerSigns(s_, writers);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    rows[i].status.writer = rowWriterLiveness(rows[i].status.state, rows[i].writer, signs[i]);
  }
}

std::vector<ListRowStatus> ListTables::statuses(const std::vector<KeptRow>& rows) {
  std::vector<ListRowStatus> found;
  found.reserve(rows.size());
  for (const KeptRow& r : rows) found.push_back(r.status);
  return found;
}

void ListTables::take(KeptRow& row, const Writer& writer, WallTime at) {
  ListRowStatus& s = row.status;
  // A row left by a writer that ended says whose it was.
  const std::string note =
      s.state == ListRowState::Writing ? "left by " + s.station + ", whose write ended" : "";
  const std::string station = storedText(writer.station);
  const long long when = storedTime(at);
  s_.sql() << "UPDATE list_rows SET state = 'writing', station = :station, at = :at, "
              "writer_host = :host, writer_pid = :pid, writer_start = :started, writer_seen = " +
                  std::string(s_.nowSeconds()) +
                  ", writer_token = :token WHERE list_id = :list AND list_row = :row",
      soci::use(station, "station"), soci::use(when, "at"), soci::use(writer.host, "host"),
      soci::use(writer.pid, "pid"), soci::use(writer.started, "started"),
      soci::use(writer.token, "token"), soci::use(s.listId, "list"), soci::use(s.entry.row, "row");
  s.state = ListRowState::Writing;
  s.station = writer.station;
  s.at = wallTime(when);
  s.writerHost = writer.host;
  s.writerPid = writer.pid;
  s.writer = Liveness::Alive;
  row.writer = {writer.host, writer.pid, writer.started, 0, writer.token};
  event(s.listId, s.entry.row, "taken", {writer.station, at, {}}, std::nullopt, note);
}

void ListTables::end(KeptRow& row, const RowEnd& end, const Stamp& by) {
  ListRowStatus& s = row.status;
  const std::string station = storedText(by.station);
  const long long at = storedTime(by.at);
  const std::string where = " WHERE list_id = :list AND list_row = :row";
  const std::string common = "station = :station, at = :at, " + std::string(kNoWriter);
  long long record = end.recordId.value_or(0);
  soci::indicator recordKnown = knownIndicator(end.recordId);
  const char* event = "done";
  std::string note = by.note;
  if (end.state == ListRowState::Done) {
    const std::string serial = storedText(end.serialRead);
    s_.sql() << "UPDATE list_rows SET state = 'done', " + common +
                    ", record_id = :record, serial_read = :serial, reason = ''" + where,
        soci::use(station, "station"), soci::use(at, "at"),
        soci::use(record, recordKnown, "record"), soci::use(serial, "serial"),
        soci::use(s.listId, "list"), soci::use(s.entry.row, "row");
    s.recordId = end.recordId;
    s.serialRead = end.serialRead;
    s.reason.clear();
  } else if (end.state == ListRowState::Failed) {
    const std::string reason = storedText(end.reason);
    s_.sql() << "UPDATE list_rows SET state = 'failed', " + common +
                    ", record_id = :record, reason = :reason, attempts = attempts + 1" + where,
        soci::use(station, "station"), soci::use(at, "at"),
        soci::use(record, recordKnown, "record"), soci::use(reason, "reason"),
        soci::use(s.listId, "list"), soci::use(s.entry.row, "row");
    s.recordId = end.recordId;
    s.reason = end.reason;
    ++s.attempts;
    event = "failed";
    note = end.reason;
  } else {
    // The last failure's record and reason stay: nothing was sent this time.
    s_.sql() << "UPDATE list_rows SET state = 'open', " + common + where,
        soci::use(station, "station"), soci::use(at, "at"), soci::use(s.listId, "list"),
        soci::use(s.entry.row, "row");
    event = end.reason.empty() ? "opened" : "skipped";
    if (!end.reason.empty()) note = end.reason;
  }
  s.state = end.state == ListRowState::Done || end.state == ListRowState::Failed
                ? end.state
                : ListRowState::Open;
  s.station = by.station;
  s.at = wallTime(at);
  s.writerHost.clear();
  s.writerPid = 0;
  s.writer = Liveness::Ended;
  row.writer = {};
  this->event(s.listId, s.entry.row, event, by,
              end.state == ListRowState::Open ? std::nullopt : end.recordId, note);
}

void ListTables::reopen(KeptRow& row, const Stamp& by, const std::string& note) {
  ListRowStatus& s = row.status;
  const std::string station = storedText(by.station);
  const long long at = storedTime(by.at);
  s_.sql() << "UPDATE list_rows SET state = 'open', station = :station, at = :at, " +
                  std::string(kNoWriter) +
                  ", record_id = NULL, serial_read = '', reason = '' "
                  "WHERE list_id = :list AND list_row = :row",
      soci::use(station, "station"), soci::use(at, "at"), soci::use(s.listId, "list"),
      soci::use(s.entry.row, "row");
  event(s.listId, s.entry.row, "swapped", by, s.recordId, note);
  s.state = ListRowState::Open;
  s.station = by.station;
  s.at = wallTime(at);
  s.recordId.reset();
  s.serialRead.clear();
  s.reason.clear();
}

void ListTables::showAlive(long long token) {
  s_.sql() << "UPDATE list_rows SET writer_seen = " + std::string(s_.nowSeconds()) +
                  " WHERE writer_token = :token AND state = 'writing'",
      soci::use(token, "token");
}

void ListTables::event(long long listId, int row, const char* event, const Stamp& stamp,
                       std::optional<long long> recordId, const std::string& note) {
  const std::string name = event, station = storedText(stamp.station), kept = storedText(note);
  const long long at = storedTime(stamp.at);
  long long record = recordId.value_or(0);
  soci::indicator recordKnown = knownIndicator(recordId);
  s_.sql() << "INSERT INTO list_row_history (list_id, list_row, event, station, at, record_id, "
              "note) VALUES (:list, :row, :event, :station, :at, :record, :note)",
      soci::use(listId, "list"), soci::use(row, "row"), soci::use(name, "event"),
      soci::use(station, "station"), soci::use(at, "at"), soci::use(record, recordKnown, "record"),
      soci::use(kept, "note");
}

std::vector<ListRowEvent> ListTables::history(long long listId, int row) {
  ListRowEvent event;
  long long at = 0, record = 0;
  soci::indicator recordKnown = soci::i_null;
  soci::statement statement =
      (s_.sql().prepare << "SELECT id, event, station, at, record_id, note FROM list_row_history "
                           "WHERE list_id = :list AND list_row = :row ORDER BY id DESC",
       soci::use(listId, "list"), soci::use(row, "row"), soci::into(event.id),
       soci::into(event.event), soci::into(event.station), soci::into(at),
       soci::into(record, recordKnown), soci::into(event.note));
  std::vector<ListRowEvent> events;
  if (statement.execute(true)) {
    do {
      ListRowEvent found = event;
      found.at = wallTime(at);
      found.recordId = known(record, recordKnown);
      found.station = textOf(event.station);
      found.note = textOf(event.note);
      events.push_back(std::move(found));
    } while (statement.fetch());
  }
  return events;
}

std::optional<RecordForRow> ListTables::recordForRow(long long recordId) {
  RecordForRow found;
  std::string command, outcome, list;
  int row = 0;
  soci::indicator rowKnown = soci::i_null, listKnown = soci::i_null;
  s_.sql() << "SELECT r.command, r.outcome, d.list_row, l.name FROM records r "
              "LEFT JOIN list_rows d ON d.record_id = r.id AND d.state = 'done' "
              "LEFT JOIN lists l ON l.id = d.list_id WHERE r.id = :record LIMIT 1",
      soci::use(recordId, "record"), soci::into(command), soci::into(outcome),
      soci::into(row, rowKnown), soci::into(list, listKnown);
  if (!s_.sql().got_data()) return std::nullopt;
  found.record.id = recordId;
  found.record.command = textOf(command);
  found.record.outcome = textOf(outcome);
  if (rowKnown == soci::i_ok) found.doneRow = row;
  if (listKnown == soci::i_ok) found.doneList = textOf(list);
  return found;
}

}  // namespace ccp
