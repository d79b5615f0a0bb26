#include "register/hold_tables.h"

#include "image/plain_text.h"
#include "register/record_columns.h"
#include "register/record_table.h"
#include "register/sql_session.h"
#include "register/stored_text.h"
#include "register/writer_signs.h"

namespace ccp {

namespace {

// The first key of the capcodes' locks (two-int form): any number that no other program locks
// in the same database. The schema's lock is a bigint key, so the two never meet.
constexpr int kCapcodeLockSpace = 0x63637032;

// A stamp's texts and time as the database keeps them.
struct StoredStamp {
  explicit StoredStamp(const Stamp& stamp)
      : station(storedText(stamp.station)),
        at(storedTime(stamp.at)),
        note(storedText(stamp.note)) {}
  std::string station;
  long long at;
  std::string note;
};

}  // namespace

std::map<int, bool> HoldTables::lockModes(const std::vector<RowUse>& uses) {
  std::map<int, bool> modes;
  for (const RowUse& use : uses) modes[use.capcode] = modes[use.capcode] || use.individual;
  return modes;
}

void HoldTables::lockCapcodes(const std::map<int, bool>& capcodes) {
  if (s_.engine() != Engine::PostgreSQL || capcodes.empty()) return;
  std::vector<int> numbers;
  std::vector<std::string> alone;
  for (const auto& [capcode, exclusive] : capcodes) {
    numbers.push_back(capcode);
    alone.push_back(exclusive ? "true" : "false");
  }
  const std::string space = std::to_string(kCapcodeLockSpace);
  long long locked = 0;
  s_.sql() << "SELECT count(CASE WHEN alone THEN pg_advisory_xact_lock(" + space +
                  ", c) ELSE pg_advisory_xact_lock_shared(" + space +
                  ", c) END) FROM (SELECT c, alone FROM unnest(ARRAY[" + numberList(numbers) +
                  "]::integer[], ARRAY[" + joined(alone, ", ") +
                  "]::boolean[]) AS t (c, alone) ORDER BY c) AS ascending",
      soci::into(locked);
}

std::vector<Hold> HoldTables::where(const std::string& condition, const std::string& order,
                                    int limit) {
  Hold h;
  int individual = 0;
  std::string state;
  long long recordId = 0, token = 0;
  soci::indicator recordKnown = soci::i_null, tokenKnown = soci::i_null;
  soci::statement statement(s_.sql());
  statement.exchange(soci::into(h.id));
  statement.exchange(soci::into(h.capcode));
  statement.exchange(soci::into(h.row));
  statement.exchange(soci::into(individual));
  statement.exchange(soci::into(state));
  statement.exchange(soci::into(h.station));
  statement.exchange(soci::into(h.at));
  statement.exchange(soci::into(recordId, recordKnown));
  statement.exchange(soci::into(h.host));
  statement.exchange(soci::into(h.pid));
  statement.exchange(soci::into(h.started));
  statement.exchange(soci::into(h.seen));
  statement.exchange(soci::into(token, tokenKnown));
  prepareStatement(statement,
                   "SELECT id, capcode, address_row, individual, state, station, at, record_id, "
                   "writer_host, writer_pid, writer_start, writer_seen, claim_token FROM holds "
                   "WHERE " +
                       condition + " ORDER BY " + order +
                       (limit > 0 ? " LIMIT " + std::to_string(limit) : ""));
  std::vector<Hold> holds;
  if (statement.execute(true)) {
    do {
      h.individual = individual != 0;
      h.state = holderStateNamed(state);
      h.recordId = known(recordId, recordKnown);
      h.token = known(token, tokenKnown);
      holds.push_back(h);
    } while (statement.fetch());
  }
  return holds;
}

std::vector<Hold> HoldTables::ofCapcodes(const std::set<int>& capcodes) {
  if (capcodes.empty()) return {};
  return where("capcode IN " + sqlList(capcodes));
}

std::vector<Hold> HoldTables::ofRecords(const std::set<long long>& recordIds) {
  if (recordIds.empty()) return {};
  return where("record_id IN " + sqlList(recordIds));
}

std::vector<Hold> HoldTables::ofTokens(const std::set<long long>& tokens) {
  if (tokens.empty()) return {};
  return where("claim_token IN " + sqlList(tokens));
}

std::vector<Hold> HoldTables::claimsOf(long long token) {
  return where("claim_token = " + std::to_string(token) + " AND state = 'claimed'");
}

std::vector<Hold> HoldTables::around(const std::vector<RowUse>& uses) {
  std::set<int> individual, group;
  for (const RowUse& use : uses) (use.individual ? individual : group).insert(use.capcode);
  std::vector<std::string> either;
  if (!individual.empty()) either.push_back("capcode IN " + sqlList(individual));
  if (!group.empty()) either.push_back("(capcode IN " + sqlList(group) + " AND individual = 1)");
  if (either.empty()) return {};
  return where(joined(either, " OR "));
}

std::vector<Hold> HoldTables::groupHolds(int capcode) {
  return where("capcode = " + std::to_string(capcode) + " AND individual = 0");
}

std::set<int> HoldTables::doubtful(const std::set<int>& capcodes) {
  if (capcodes.empty()) return {};
  soci::rowset<int> open =
      (s_.sql().prepare << "SELECT DISTINCT capcode FROM conflicts WHERE closed_at IS NULL "
                           "AND capcode IN " +
                               sqlList(capcodes));
  return {open.begin(), open.end()};
}

std::vector<Conflict> HoldTables::openConflicts(const std::set<int>& capcodes) {
  if (capcodes.empty()) return {};
  return conflicts("closed_at IS NULL AND capcode IN " + sqlList(capcodes));
}

void HoldTables::judge(std::vector<Hold>& holds) {
  std::vector<KeptWriter> writers;
  for (const Hold& h : holds) {
    writers.push_back(h.state == HolderState::Claimed ? keptWriter(h) : KeptWriter{});
  }
  const std::vector<WriterSigns> signs = writerSigns(s_, writers);
  for (std::size_t i = 0; i < holds.size(); ++i) {
    Hold& h = holds[i];
    h.underWay = signs[i].sessionHolds && h.state == HolderState::Claimed;
    h.writer = writerLiveness(h, signs[i]);
  }
}

void HoldTables::add(const Hold& hold) {
  int individual = hold.individual ? 1 : 0;
  std::string state = holderStateName(hold.state);
  long long recordId = hold.recordId.value_or(0), token = hold.token.value_or(0);
  soci::indicator recordKnown = knownIndicator(hold.recordId);
  soci::indicator tokenKnown = knownIndicator(hold.token);
  s_.sql() << "INSERT INTO holds (capcode, address_row, individual, state, station, at, "
              "record_id, writer_host, writer_pid, writer_start, claim_token) VALUES (:capcode, "
              ":address_row, :individual, :state, :station, :at, :record_id, :writer_host, "
              ":writer_pid, :writer_start, :claim_token)",
      soci::use(hold.capcode, "capcode"), soci::use(hold.row, "address_row"),
      soci::use(individual, "individual"), soci::use(state, "state"),
      soci::use(hold.station, "station"), soci::use(hold.at, "at"),
      soci::use(recordId, recordKnown, "record_id"), soci::use(hold.host, "writer_host"),
      soci::use(hold.pid, "writer_pid"), soci::use(hold.started, "writer_start"),
      soci::use(token, tokenKnown, "claim_token");
}

void HoldTables::addClaims(const std::vector<RowUse>& rows, const Writer& writer,
                           const Stamp& stamp) {
  if (rows.empty()) return;
  std::vector<std::string> values, capcodes;
  for (const RowUse& use : rows) {
    values.push_back("(" + numberList(std::vector<int>{use.capcode, use.row, use.individual}) +
                     ")");
    capcodes.push_back("(" + std::to_string(use.capcode) + ")");
  }
  // One statement for all rows: the writer's values are the same for each.
  const StoredStamp stored(stamp);
  const std::string station = storedText(writer.station);
  s_.sql() << "INSERT INTO holds (capcode, address_row, individual, state, station, at, "
              "writer_host, writer_pid, writer_start, writer_seen, claim_token) SELECT v.column1, "
              "v.column2, v.column3, 'claimed', :station, :at, :host, :pid, :started, " +
                  std::string(s_.nowSeconds()) + ", :token FROM (VALUES " + joined(values, ", ") +
                  ") AS v",
      soci::use(station, "station"), soci::use(stored.at, "at"), soci::use(writer.host, "host"),
      soci::use(writer.pid, "pid"), soci::use(writer.started, "started"),
      soci::use(writer.token, "token");
  s_.sql() << "INSERT INTO holder_history (capcode, event, station, at, note) SELECT "
              "v.column1, 'claimed', :station, :at, '' FROM (VALUES " +
                  joined(capcodes, ", ") + ") AS v",
      soci::use(stored.station, "station"), soci::use(stored.at, "at");
}

void HoldTables::give(const Record& record, const RowUse& use, const Stamp& stamp) {
  Hold hold;
  hold.capcode = use.capcode;
  hold.row = use.row;
  hold.individual = use.individual;
  hold.state = mayHaveWritten(record) ? HolderState::Failed : HolderState::Held;
  hold.station = storedText(record.station);
  hold.at = storedTime(stamp.at);
  hold.recordId = record.id;
  add(hold);
  event(use.capcode, givenEvent(record, use.individual), stamp, record.id);
}

void HoldTables::remove(const Hold& hold, const char* event, const Stamp& stamp) {
  s_.sql() << "DELETE FROM holds WHERE id = :id", soci::use(hold.id, "id");
  this->event(hold.capcode, event, stamp, hold.recordId);
}

void HoldTables::holdClaims(const std::vector<Hold>& claims, const Record& record,
                            const Stamp& stamp) {
  if (claims.empty()) return;
  std::set<long long> ids;
  std::vector<std::string> events;
  for (const Hold& claim : claims) {
    ids.insert(claim.id);
    events.push_back("(" + std::to_string(claim.capcode) + ", " +
                     sqlText(givenEvent(record, claim.individual)) + ")");
  }
  const StoredStamp stored(stamp);
  s_.sql() << "UPDATE holds SET state = 'held', at = :at, record_id = :record WHERE id IN " +
                  sqlList(ids),
      soci::use(stored.at, "at"), soci::use(record.id, "record");
  s_.sql() << "INSERT INTO holder_history (capcode, event, station, at, record_id, note) "
              "SELECT v.column1, v.column2, :station, :at, :record, '' FROM (VALUES " +
                  joined(events, ", ") + ") AS v",
      soci::use(stored.station, "station"), soci::use(stored.at, "at"),
      soci::use(record.id, "record");
}

void HoldTables::failClaim(const Hold& claim, long long recordId, const Stamp& stamp) {
  const StoredStamp stored(stamp);
  s_.sql() << "UPDATE holds SET state = 'failed', at = :at, record_id = :record WHERE id = :id",
      soci::use(stored.at, "at"), soci::use(recordId, "record"), soci::use(claim.id, "id");
  event(claim.capcode, "failed", stamp, recordId);
}

void HoldTables::holdJournalledClaim(const Hold& claim, const Record& record, const RowUse& use,
                                     const Stamp& stamp) {
  const StoredStamp stored(stamp);
  s_.sql() << "UPDATE holds SET state = 'held', address_row = :row, at = :at, "
              "record_id = :record WHERE id = :id",
      soci::use(use.row, "row"), soci::use(stored.at, "at"), soci::use(record.id, "record"),
      soci::use(claim.id, "id");
  event(use.capcode, use.individual ? "held" : "carried", stamp, record.id);
}

void HoldTables::endClaims(long long token) {
  s_.sql() << "UPDATE holds SET writer_pid = 0 WHERE claim_token = :token AND state = 'claimed'",
      soci::use(token, "token");
}

void HoldTables::showAlive(long long token) {
  s_.sql() << "UPDATE holds SET writer_seen = " + std::string(s_.nowSeconds()) +
                  " WHERE claim_token = :token AND state = 'claimed'",
      soci::use(token, "token");
}

void HoldTables::event(int capcode, const char* event, const Stamp& stamp,
                       std::optional<long long> recordId) {
  const StoredStamp stored(stamp);
  const std::string name = event;
  long long record = recordId.value_or(0);
  soci::indicator recordKnown = knownIndicator(recordId);
  s_.sql() << "INSERT INTO holder_history (capcode, event, station, at, record_id, note) "
              "VALUES (:capcode, :event, :station, :at, :record, :note)",
      soci::use(capcode, "capcode"), soci::use(name, "event"), soci::use(stored.station, "station"),
      soci::use(stored.at, "at"), soci::use(record, recordKnown, "record"),
      soci::use(stored.note, "note");
}

Conflict HoldTables::conflict(int capcode, const Stamp& stamp, std::optional<long long> recordId,
                              std::optional<long long> otherRecordId, const std::string& what) {
  Conflict conflict;
  conflict.capcode = capcode;
  conflict.at = WallTime(std::chrono::floor<std::chrono::seconds>(stamp.at));
  conflict.station = stamp.station;
  conflict.recordId = recordId;
  conflict.otherRecordId = otherRecordId;
  conflict.what = what;
  const StoredStamp stored(stamp);
  long long record = recordId.value_or(0), other = otherRecordId.value_or(0);
  soci::indicator recordKnown = knownIndicator(recordId);
  soci::indicator otherKnown = knownIndicator(otherRecordId);
  std::string kept = storedText(what);
  s_.sql() << "INSERT INTO conflicts (capcode, at, station, record_id, other_record_id, what) "
              "VALUES (:capcode, :at, :station, :record, :other, :what) RETURNING id",
      soci::use(capcode, "capcode"), soci::use(stored.at, "at"),
      soci::use(stored.station, "station"), soci::use(record, recordKnown, "record"),
      soci::use(other, otherKnown, "other"), soci::use(kept, "what"), soci::into(conflict.id);
  event(capcode, "conflict", {stamp.station, stamp.at, what}, recordId);
  return conflict;
}

std::vector<Conflict> HoldTables::conflicts(const std::string& condition) {
  Conflict c;
  long long at = 0, record = 0, other = 0, closedAt = 0;
  soci::indicator recordKnown = soci::i_null, otherKnown = soci::i_null, closedKnown = soci::i_null;
  soci::statement statement(s_.sql());
  statement.exchange(soci::into(c.id));
  statement.exchange(soci::into(c.capcode));
  statement.exchange(soci::into(at));
  statement.exchange(soci::into(c.station));
  statement.exchange(soci::into(record, recordKnown));
  statement.exchange(soci::into(other, otherKnown));
  statement.exchange(soci::into(c.what));
  statement.exchange(soci::into(closedAt, closedKnown));
  statement.exchange(soci::into(c.closedBy));
  statement.exchange(soci::into(c.note));
  prepareStatement(statement,
                   "SELECT id, capcode, at, station, record_id, other_record_id, what, closed_at, "
                   "closed_by, note FROM conflicts" +
                       (condition.empty() ? "" : " WHERE " + condition) +
                       " ORDER BY at DESC, id DESC");
  std::vector<Conflict> found;
  if (statement.execute(true)) {
    do {
      c.at = wallTime(at);
      c.recordId = known(record, recordKnown);
      c.otherRecordId = known(other, otherKnown);
      c.closedAt = closedKnown == soci::i_ok ? std::optional(wallTime(closedAt)) : std::nullopt;
      found.push_back(c);
      Conflict& shown = found.back();
      for (std::string* text : {&shown.station, &shown.what, &shown.closedBy, &shown.note}) {
        *text = textOf(*text);
      }
    } while (statement.fetch());
  }
  return found;
}

void HoldTables::closeConflicts(const std::string& condition, const Stamp& stamp) {
  const StoredStamp stored(stamp);
  s_.sql() << "UPDATE conflicts SET closed_at = :at, closed_by = :station, note = :note "
              "WHERE closed_at IS NULL AND " +
                  condition,
      soci::use(stored.at, "at"), soci::use(stored.station, "station"),
      soci::use(stored.note, "note");
}

std::vector<HolderEvent> HoldTables::history(int capcode) {
  HolderEvent event;
  long long at = 0, recordId = 0;
  soci::indicator recordKnown = soci::i_null;
  soci::statement statement =
      (s_.sql().prepare << "SELECT id, event, station, at, record_id, note "
                           "FROM holder_history WHERE capcode = :capcode ORDER BY id DESC",
       soci::use(capcode, "capcode"), soci::into(event.id), soci::into(event.event),
       soci::into(event.station), soci::into(at), soci::into(recordId, recordKnown),
       soci::into(event.note));
  std::vector<HolderEvent> events;
  if (statement.execute(true)) {
    do {
      event.capcode = capcode;
      event.at = wallTime(at);
      event.recordId = known(recordId, recordKnown);
      events.push_back(event);
      events.back().station = textOf(event.station);
      events.back().note = textOf(event.note);
    } while (statement.fetch());
  }
  return events;
}

bool HoldTables::releasedAfter(int capcode, long long at) {
  int found = 0;
  s_.sql() << "SELECT 1 FROM holder_history WHERE capcode = :capcode AND event = 'released' "
              "AND at > :at LIMIT 1",
      soci::use(capcode, "capcode"), soci::use(at, "at"), soci::into(found);
  return s_.sql().got_data();
}

std::vector<Holder> HoldTables::holders(const std::vector<Hold>& holds) {
  std::set<long long> ids;
  for (const Hold& h : holds) {
    if (h.recordId) ids.insert(*h.recordId);
  }
  std::map<long long, Record> records;
  if (!ids.empty()) {
    for (Record& r : readRecords(s_, "r.id IN " + sqlList(ids)))
      records.emplace(r.id, std::move(r));
  }
  std::vector<Holder> found;
  for (const Hold& h : holds) {
    Holder holder;
    holder.id = h.id;
    holder.capcode = h.capcode;
    holder.row = h.row;
    holder.individual = h.individual;
    holder.state = h.state;
    holder.station = textOf(h.station);
    holder.at = wallTime(h.at);
    holder.writerHost = h.host;
    holder.writerPid = h.pid;
    holder.writer = h.writer;
    const auto record = h.recordId ? records.find(*h.recordId) : records.end();
    if (record != records.end()) holder.record = record->second;
    found.push_back(std::move(holder));
  }
  return found;
}

Holder HoldTables::holder(const Hold& hold) {
  return holders({hold}).front();
}

}  // namespace ccp
