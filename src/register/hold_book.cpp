#include "register/hold_book.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "image/capcode.h"
#include "image/plain_text.h"
#include "register/record_columns.h"
#include "register/sql_register.h"
#include "register/stored_text.h"
#include "register/writer_process.h"

namespace ccp {

EventStamp storedStamp(std::string_view station, WallTime at, std::string_view note) {
  return {storedText(station), storedTime(at), storedText(note)};
}

namespace {

// The first key of the capcodes' locks (two-int form): any number that no other program locks
// in the same database. The schema's lock is a bigint key, so the two never meet.
constexpr int kCapcodeLockSpace = 0x63637032;

template <class Numbers>
std::string sqlList(const Numbers& numbers) {
  return "(" + numberList(numbers) + ")";
}

bool contains(const std::vector<Hold>& holds, long long id) {
  return std::any_of(holds.begin(), holds.end(), [id](const Hold& h) { return h.id == id; });
}

// One of the pager's `own` holds, the record's, or a claim of the `writing` write.
bool ours(const Hold& h, const std::vector<Hold>& own, std::optional<long long> recordId,
          std::optional<long long> writing) {
  return contains(own, h.id) || (recordId && h.recordId == recordId) ||
         (writing && h.token == writing);
}

const char* heldEvent(const Record& record, bool individual) {
  if (record.command == "read") return "found";
  return individual ? "held" : "carried";
}

// The pager has the capcode in the row, enabled.
bool hasInRow(const PagerRows& pager, int row, int capcode) {
  return row >= 1 && row <= kAddressCount && pager.enabled[row - 1] &&
         pager.capcodes[row - 1] == capcode;
}

}  // namespace

bool showsPager(const Record& record) {
  return (record.command == "write" && record.outcome == kVerifiedLine) ||
         (record.command == "read" && record.outcome == kReadCompletedLine);
}

bool mayHaveWritten(const Record& record) {
  // The lines of a write that failed or stopped once the decoder was being written.
  static constexpr std::string_view kSent[] = {kDecoderWriteFailedLine, kDecoderVerifyFailedLine,
                                               kEepromVerifyFailedLine, kEepromNotWrittenLine,
                                               kInterruptedLine};
  return record.command == "write" &&
         std::find(std::begin(kSent), std::end(kSent), record.outcome) != std::end(kSent);
}

std::string releasedWhileWrittenNote(int capcode) {
  return "Capcode " + capcodeText(capcode) +
         " was released while this pager was written: it may be on two pagers";
}

std::map<int, bool> HoldBook::lockModes(const std::vector<RowUse>& uses) {
  std::map<int, bool> modes;
  for (const RowUse& use : uses) modes[use.capcode] = modes[use.capcode] || use.individual;
  return modes;
}

void HoldBook::lockCapcodes(const std::map<int, bool>& capcodes) {
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

std::vector<Hold> HoldBook::where(const std::string& condition, const std::string& order,
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
  statement.exchange(soci::into(token, tokenKnown));
  prepareStatement(statement,
                   "SELECT id, capcode, address_row, individual, state, station, at, record_id, "
                   "writer_host, writer_pid, writer_start, claim_token FROM holds WHERE " +
                       condition + " ORDER BY " + order +
                       (limit > 0 ? " LIMIT " + std::to_string(limit) : ""),
                   true);
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

std::vector<Hold> HoldBook::ofCapcodes(const std::set<int>& capcodes) {
  if (capcodes.empty()) return {};
  return where("capcode IN " + sqlList(capcodes));
}

std::vector<Hold> HoldBook::ofToken(long long token) {
  return where("claim_token = " + std::to_string(token) + " AND state = 'claimed'");
}

void HoldBook::judge(std::vector<Hold>& holds) {
  std::set<long long> tokens;
  for (Hold& h : holds) {
    h.writer = Liveness::Ended;
    if (h.state != HolderState::Claimed || !h.token || h.pid == 0) continue;
    if (s_.engine() == Engine::PostgreSQL) {
      tokens.insert(*h.token);
    } else if (h.host != thisHost() || processRuns(h.pid, h.started)) {
      h.writer = Liveness::Alive;  // another machine's process cannot be looked at
    }
  }
  if (tokens.empty()) return;
  // The claiming session holds its token's lock until the write settles; the server lets it go
  // with the session, however the station ended.
  const std::string key = "((l.classid::bigint << 32) | l.objid::bigint)";
  long long token = 0;
  soci::statement statement(s_.sql());
  statement.exchange(soci::into(token));
  prepareStatement(statement,
                   "SELECT " + key +
                       " FROM pg_locks l JOIN pg_database d ON d.oid = l.database "
                       "WHERE d.datname = current_database() AND l.locktype = 'advisory' "
                       "AND l.objsubid = 1 AND l.granted AND " +
                       key + " IN " + sqlList(tokens),
                   true);
  std::set<long long> alive;
  if (statement.execute(true)) {
    do alive.insert(token);
    while (statement.fetch());
  }
  for (Hold& h : holds) {
    if (h.token && tokens.count(*h.token) && h.pid != 0 && h.state == HolderState::Claimed) {
      h.writer = alive.count(*h.token) ? Liveness::Alive : Liveness::Ended;
    }
  }
}

std::vector<Hold> HoldBook::ownHolds(const PagerRows& pager, std::optional<long long> writing) {
  std::set<int> capcodes;
  for (int row = 1; row <= kAddressCount; ++row) {
    if (pager.enabled[row - 1] && pager.capcodes[row - 1])
      capcodes.insert(*pager.capcodes[row - 1]);
  }
  if (capcodes.empty()) return {};
  // A capcode that may be on two pagers tells neither apart.
  soci::rowset<int> doubtful = (s_.sql().prepare << "SELECT DISTINCT capcode FROM conflicts WHERE "
                                                    "closed_at IS NULL AND capcode IN " +
                                                        sqlList(capcodes));
  for (int capcode : doubtful) capcodes.erase(capcode);
  if (capcodes.empty()) return {};
  std::vector<Hold> found = where("individual = 1 AND capcode IN " + sqlList(capcodes));
  judge(found);
  std::vector<Hold> own;
  std::set<long long> records, tokens;
  for (const Hold& h : found) {
    const bool mayBeOnIt = h.state != HolderState::Claimed ||
                           (h.writer == Liveness::Ended && !(writing && h.token == writing));
    if (!mayBeOnIt || !hasInRow(pager, h.row, h.capcode)) continue;
    own.push_back(h);
    if (h.recordId) records.insert(*h.recordId);
    if (!h.recordId && h.token) tokens.insert(*h.token);
  }
  // The holds of a record, or of a dead write's claims, whose every row the pager shows: all of
  // them are the pager's, surely.
  const auto shownWhole = [&pager](const std::vector<Hold>& holds) {
    return std::all_of(holds.begin(), holds.end(),
                       [&pager](const Hold& h) { return hasInRow(pager, h.row, h.capcode); });
  };
  for (long long id : records) {
    const auto record = readRecord(s_, id);
    const std::vector<RowUse> uses = record ? recordUses(*record) : std::vector<RowUse>{};
    const bool whole = record && std::all_of(uses.begin(), uses.end(), [&pager](const RowUse& u) {
                         return hasInRow(pager, u.row, u.capcode);
                       });
    if (!whole) {
      // A pager that had it for certain (a verified write, a read) is this one only when this
      // one shows it whole; one that may have been left part way (a failed write) is known by
      // the capcode in its row.
      std::erase_if(
          own, [id](const Hold& o) { return o.recordId == id && o.state == HolderState::Held; });
      continue;
    }
    for (Hold h : where("record_id = " + std::to_string(id))) {
      h.sure = true;
      std::erase_if(own, [&h](const Hold& o) { return o.id == h.id; });
      own.push_back(h);
    }
  }
  for (long long token : tokens) {
    std::vector<Hold> claims = where("claim_token = " + std::to_string(token));
    if (!shownWhole(claims)) continue;
    for (Hold& h : claims) {
      h.sure = true;
      std::erase_if(own, [&h](const Hold& o) { return o.id == h.id; });
      own.push_back(h);
    }
  }
  return own;
}

void HoldBook::add(const Hold& hold) {
  int individual = hold.individual ? 1 : 0;
  std::string state = holderStateName(hold.state);
  long long recordId = hold.recordId.value_or(0), token = hold.token.value_or(0);
  soci::indicator recordKnown = hold.recordId ? soci::i_ok : soci::i_null;
  soci::indicator tokenKnown = hold.token ? soci::i_ok : soci::i_null;
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

void HoldBook::remove(const Hold& hold, const char* event, const EventStamp& stamp) {
  s_.sql() << "DELETE FROM holds WHERE id = :id", soci::use(hold.id, "id");
  this->event(hold.capcode, event, stamp, hold.recordId);
}

std::vector<Holder> HoldBook::holders(const std::vector<Hold>& holds) {
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
    found.push_back(holderWithout(h));
    const auto record = h.recordId ? records.find(*h.recordId) : records.end();
    if (record != records.end()) found.back().record = record->second;
  }
  return found;
}

Holder HoldBook::holder(const Hold& h) {
  Holder holder = holderWithout(h);
  if (h.recordId) holder.record = readRecord(s_, *h.recordId);
  return holder;
}

Holder HoldBook::holderWithout(const Hold& h) {
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
  return holder;
}

void HoldBook::event(int capcode, const char* event, const EventStamp& stamp,
                     std::optional<long long> recordId) {
  const std::string name = event;
  long long record = recordId.value_or(0);
  soci::indicator recordKnown = recordId ? soci::i_ok : soci::i_null;
  s_.sql() << "INSERT INTO holder_history (capcode, event, station, at, record_id, note) "
              "VALUES (:capcode, :event, :station, :at, :record, :note)",
      soci::use(capcode, "capcode"), soci::use(name, "event"), soci::use(stamp.station, "station"),
      soci::use(stamp.at, "at"), soci::use(record, recordKnown, "record"),
      soci::use(stamp.note, "note");
}

Conflict HoldBook::conflict(int capcode, const EventStamp& stamp, std::optional<long long> recordId,
                            std::optional<long long> otherRecordId, const std::string& what) {
  Conflict conflict;
  conflict.capcode = capcode;
  conflict.at = wallTime(stamp.at);
  conflict.station = textOf(stamp.station);
  conflict.recordId = recordId;
  conflict.otherRecordId = otherRecordId;
  conflict.what = what;
  long long record = recordId.value_or(0), other = otherRecordId.value_or(0);
  soci::indicator recordKnown = recordId ? soci::i_ok : soci::i_null;
  soci::indicator otherKnown = otherRecordId ? soci::i_ok : soci::i_null;
  std::string kept = storedText(what);
  s_.sql() << "INSERT INTO conflicts (capcode, at, station, record_id, other_record_id, what) "
              "VALUES (:capcode, :at, :station, :record, :other, :what) RETURNING id",
      soci::use(capcode, "capcode"), soci::use(stamp.at, "at"), soci::use(stamp.station, "station"),
      soci::use(record, recordKnown, "record"), soci::use(other, otherKnown, "other"),
      soci::use(kept, "what"), soci::into(conflict.id);
  EventStamp noted = stamp;
  noted.note = kept;
  event(capcode, "conflict", noted, recordId);
  return conflict;
}

void HoldBook::closeConflicts(const std::string& condition, const EventStamp& stamp) {
  s_.sql() << "UPDATE conflicts SET closed_at = :at, closed_by = :station, note = :note "
              "WHERE closed_at IS NULL AND " +
                  condition,
      soci::use(stamp.at, "at"), soci::use(stamp.station, "station"), soci::use(stamp.note, "note");
}

LaterUses::LaterUses(const std::vector<Record>& batch) {
  for (const Record& record : batch) {
    for (const RowUse& use : recordUses(record)) {
      all_[use.capcode].push_back({record.at, &record});
    }
    if (record.pagerBefore)
      byBefore_[pagerRowsText(record.pagerBefore)].push_back({record.at, &record});
  }
  for (auto& [capcode, entries] : all_) {
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.at < b.at; });
  }
}

std::vector<const Record*> LaterUses::after(const Record& record, int capcode) const {
  std::vector<const Record*> found;
  const auto add = [&](const auto& index, const auto& key) {
    const auto entries = index.find(key);
    if (entries == index.end()) return;
    for (const Entry& e : entries->second) {
      if (e.at > record.at) found.push_back(e.record);
    }
  };
  add(all_, capcode);
  add(byBefore_, pagerRowsText(recordRows(record)));
  return found;
}

namespace {

// The pager of `later` may be the pager of `older`: what it had when `later` began (what a read
// found, what a write's whole read found first) is what `older` shows, row by row, and their
// serial numbers, where both are known, are the same. Another pager with the same capcode in
// the same row, the very case of a capcode on two pagers, is not taken for it.
bool mayBeSamePager(const Record& older, const Record& later) {
  if (!showsPager(later)) return false;  // a write that failed may have left the pager as it was
  if (!older.serial.empty() && !later.serial.empty() && older.serial != later.serial) return false;
  const std::optional<PagerRows> had =
      later.command == "read" ? std::optional(recordRows(later)) : later.pagerBefore;
  return had && *had == recordRows(older);
}

}  // namespace

bool HoldBook::decided(const RowUse& use, const Record& record, const LaterUses* later) {
  const long long at = storedTime(record.at);
  // A release by hand after the record's time said the capcode is free.
  int events = 0;
  s_.sql() << "SELECT 1 FROM holder_history WHERE capcode = :capcode AND event = 'released' "
              "AND at > :at LIMIT 1",
      soci::use(use.capcode, "capcode"), soci::use(at, "at"), soci::into(events);
  if (s_.sql().got_data()) return true;
  // A later record of what may be the same pager says what it has now.
  std::vector<Record> laterRecords;
  if (later != nullptr) {
    for (const Record* r : later->after(record, use.capcode)) laterRecords.push_back(*r);
  }
  std::vector<long long> ids;
  soci::rowset<long long> held =
      (s_.sql().prepare << "SELECT DISTINCT h.record_id FROM holds h JOIN records r ON r.id = "
                           "h.record_id WHERE h.capcode = :capcode AND r.at > :at AND r.id <> :id",
       soci::use(use.capcode, "capcode"), soci::use(at, "at"), soci::use(record.id, "id"));
  for (long long id : held) ids.push_back(id);
  // A later write that found the pager as this record left it, whatever it gave.
  const std::string left = pagerRowsText(recordRows(record));
  const std::string verified = kVerifiedLine;
  soci::rowset<long long> reprogrammed =
      (s_.sql().prepare << "SELECT id FROM records WHERE pager_before = :left AND at > :at "
                           "AND command = 'write' AND outcome = :verified",
       soci::use(left, "left"), soci::use(at, "at"), soci::use(verified, "verified"));
  for (long long id : reprogrammed) ids.push_back(id);
  for (long long id : ids) {
    if (auto r = readRecord(s_, id)) laterRecords.push_back(std::move(*r));
  }
  // A later read only saw what the pager had: the record that made it says which rows are
  // its own, and the read, applied after it, finds them so.
  return std::any_of(laterRecords.begin(), laterRecords.end(), [&record](const Record& r) {
    return (r.command != "read" || record.command == "read") && mayBeSamePager(record, r);
  });
}

bool HoldBook::sameHolds(const std::vector<Hold>& own, const Record& record) {
  const std::vector<RowUse> uses = recordUses(record);
  const auto held = [&own](const RowUse& u) {
    return std::any_of(own.begin(), own.end(),
                       [&](const Hold& h) { return h.capcode == u.capcode && h.row == u.row; });
  };
  const auto shown = [&uses](const Hold& h) {
    return std::any_of(uses.begin(), uses.end(),
                       [&](const RowUse& u) { return h.capcode == u.capcode && h.row == u.row; });
  };
  return std::all_of(uses.begin(), uses.end(), held) && std::all_of(own.begin(), own.end(), shown);
}

long long HoldBook::heldSince(const Hold& hold) {
  if (!hold.recordId) return hold.at;
  long long at = hold.at;
  s_.sql() << "SELECT at FROM records WHERE id = :id", soci::use(*hold.recordId, "id"),
      soci::into(at);
  return at;
}

std::vector<Hold> HoldBook::around(const std::vector<RowUse>& uses) {
  std::set<int> individual, group;
  for (const RowUse& use : uses) (use.individual ? individual : group).insert(use.capcode);
  std::vector<std::string> either;
  if (!individual.empty()) either.push_back("capcode IN " + sqlList(individual));
  if (!group.empty()) either.push_back("(capcode IN " + sqlList(group) + " AND individual = 1)");
  if (either.empty()) return {};
  return where(joined(either, " OR "));
}

std::optional<Hold> HoldBook::inTheWay(const std::vector<Hold>& around, const RowUse& use,
                                       const std::vector<Hold>& own,
                                       std::optional<long long> recordId,
                                       std::optional<long long> writing, bool judged) {
  for (const Hold& h : around) {  // individual holds first
    if (h.capcode != use.capcode || ours(h, own, recordId, writing)) continue;
    if (!use.individual && !h.individual) continue;  // group capcodes are shared
    std::vector<Hold> found{h};
    if (judged) judge(found);
    return found.front();
  }
  return std::nullopt;
}

long long HoldBook::groupHolds(const std::vector<Hold>& around, const RowUse& use,
                               const std::vector<Hold>& own, std::optional<long long> writing) {
  const int capcode = use.capcode;
  // `around` has every hold of an individual use's capcode, but only the individual ones of a
  // group use's.
  const std::vector<Hold> group =
      use.individual ? std::vector<Hold>{}
                     : where("capcode = " + std::to_string(capcode) + " AND individual = 0");
  const std::vector<Hold>& holds = use.individual ? around : group;
  return std::count_if(holds.begin(), holds.end(), [&](const Hold& h) {
    return h.capcode == capcode && !h.individual && !ours(h, own, std::nullopt, writing);
  });
}

void HoldBook::addClaims(const std::vector<RowUse>& rows, const Writer& writer,
                         const EventStamp& stamp) {
  if (rows.empty()) return;
  std::vector<std::string> values, capcodes;
  for (const RowUse& use : rows) {
    values.push_back("(" + numberList(std::vector<int>{use.capcode, use.row, use.individual}) +
                     ")");
    capcodes.push_back("(" + std::to_string(use.capcode) + ")");
  }
  // One statement for all rows: the writer's values are the same for each.
  const std::string station = storedText(writer.station);
  s_.sql() << "INSERT INTO holds (capcode, address_row, individual, state, station, at, "
              "writer_host, writer_pid, writer_start, claim_token) SELECT v.column1, v.column2, "
              "v.column3, 'claimed', :station, :at, :host, :pid, :started, :token FROM (VALUES " +
                  joined(values, ", ") + ") AS v",
      soci::use(station, "station"), soci::use(stamp.at, "at"), soci::use(writer.host, "host"),
      soci::use(writer.pid, "pid"), soci::use(writer.started, "started"),
      soci::use(writer.token, "token");
  s_.sql() << "INSERT INTO holder_history (capcode, event, station, at, note) SELECT "
              "v.column1, 'claimed', :station, :at, '' FROM (VALUES " +
                  joined(capcodes, ", ") + ") AS v",
      soci::use(stamp.station, "station"), soci::use(stamp.at, "at");
}

void HoldBook::give(const Record& record, const RowUse& use, const EventStamp& stamp) {
  Hold hold;
  hold.capcode = use.capcode;
  hold.row = use.row;
  hold.individual = use.individual;
  hold.state = mayHaveWritten(record) ? HolderState::Failed : HolderState::Held;
  hold.station = storedText(record.station);
  hold.at = stamp.at;
  hold.recordId = record.id;
  add(hold);
  event(use.capcode, mayHaveWritten(record) ? "failed" : heldEvent(record, use.individual), stamp,
        record.id);
}

std::vector<RowUse> HoldBook::notHeld(const Record& record, const std::vector<RowUse>& uses) {
  const std::vector<Hold> held = where("record_id = " + std::to_string(record.id));
  std::vector<RowUse> left;
  for (const RowUse& use : uses) {
    if (std::none_of(held.begin(), held.end(),
                     [&](const Hold& h) { return h.capcode == use.capcode && h.row == use.row; })) {
      left.push_back(use);
    }
  }
  return left;
}

HoldOutcome HoldBook::apply(const Record& record, const ApplyRule& rule) {
  HoldOutcome outcome;
  const bool maybe = mayHaveWritten(record);
  if (!showsPager(record) && !maybe) return outcome;
  const bool read = record.command == "read";
  const std::optional<PagerRows> pager =
      read ? std::optional(recordRows(record)) : record.pagerBefore;
  std::vector<Hold> own;
  if (pager) {
    for (const Hold& h : ownHolds(*pager)) {
      if (h.recordId != record.id) own.push_back(h);
    }
  }
  const EventStamp stamp = rule.history ? storedStamp(record.station, record.at)
                                        : storedStamp(rule.by.station, rule.by.at);
  const EventStamp found = storedStamp(record.station, rule.by.at);
  // A read of a pager whose holds are its own already, in the same rows, changes nothing;
  // else the pager's holds become the read's, so that they are found from its own again.
  if (read && !rule.groupOnly && !own.empty() && sameHolds(own, record)) return outcome;
  // A write that may have left the pager as it was lets nothing of it go.
  if (!rule.groupOnly && !maybe) {
    letGo(own, record, stamp, rule.history ? std::optional(storedTime(record.at)) : std::nullopt);
  }
  std::vector<RowUse> uses;
  for (const RowUse& use : notHeld(record, recordUses(record))) {
    if (!rule.groupOnly || !use.individual) uses.push_back(use);
  }
  const std::vector<Hold> near = around(uses);
  for (const RowUse& use : uses) {
    // A later word of the same pager decided it.
    if (rule.history && decided(use, record, rule.later)) continue;
    // Both pagers are known to have it: the other keeps its hold, this one gets its own.
    if (const auto other = inTheWay(near, use, own, record.id, std::nullopt)) {
      outcome.conflicts.push_back(
          conflict(use.capcode, found, record.id, other->recordId, rule.what));
    }
    give(record, use, stamp);
  }
  return outcome;
}

void HoldBook::letGo(const std::vector<Hold>& own, const Record& record, const EventStamp& stamp,
                     std::optional<long long> before) {
  std::set<int> given;
  for (const RowUse& use : recordUses(record)) given.insert(use.capcode);
  for (const Hold& h : own) {
    if (!h.sure) continue;                            // perhaps another pager's: it stays
    if (before && heldSince(h) >= *before) continue;  // a later record decided it
    if (given.count(h.capcode)) {
      EventStamp from = stamp;
      from.note = std::string("from ") + holderStateName(h.state) + " at " + h.station;
      remove(h, "taken over", from);
    } else {
      remove(h, "dropped", stamp);
    }
  }
}

HoldOutcome HoldBook::settleVerified(const Record& record, const std::vector<RowUse>& claimed,
                                     long long token, const Stamp& by) {
  HoldOutcome outcome;
  const EventStamp stamp = storedStamp(by.station, by.at);
  const std::vector<RowUse> uses = recordUses(record);
  const auto sameRow = [](const auto& a, const auto& b) {
    return a.capcode == b.capcode && a.row == b.row;
  };
  const auto among = [&](const auto& list, const auto& item) {
    return std::any_of(list.begin(), list.end(), [&](const auto& e) { return sameRow(e, item); });
  };
  // The rows written without a claim: they become holds only under their capcodes' locks. A
  // claim released before the locks were taken is among them once they are.
  std::vector<Hold> claims;
  std::vector<RowUse> left;
  std::map<int, bool> locked;
  for (;;) {
    claims = ofToken(token);
    left.clear();
    for (const RowUse& use : uses) {
      if (!among(claims, use)) left.push_back(use);
    }
    if (!left.empty()) left = notHeld(record, left);
    std::map<int, bool> wanted;
    for (const auto& [capcode, alone] : lockModes(left)) {
      if (!locked.count(capcode) || (alone && !locked[capcode])) wanted[capcode] = alone;
    }
    if (wanted.empty()) break;
    lockCapcodes(wanted);
    for (const auto& [capcode, alone] : wanted) locked[capcode] = locked[capcode] || alone;
  }
  // Found before the claims become held: the write's own claims are not the pager's holds.
  std::vector<Hold> own;
  if (record.pagerBefore) {
    for (const Hold& h : ownHolds(*record.pagerBefore, token)) {
      if (h.recordId != record.id && h.token != token) own.push_back(h);
    }
  }
  letGo(own, record, stamp, std::nullopt);
  std::vector<std::string> events;
  for (const Hold& claim : claims) {
    if (!among(uses, claim)) {  // claimed, then not written after all
      remove(claim, "abandoned", stamp);
    } else {
      events.push_back("(" + std::to_string(claim.capcode) + ", '" +
                       heldEvent(record, claim.individual) + "')");
    }
  }
  if (!events.empty()) {
    s_.sql() << "UPDATE holds SET state = 'held', at = :at, record_id = :record "
                "WHERE claim_token = :token AND state = 'claimed'",
        soci::use(stamp.at, "at"), soci::use(record.id, "record"), soci::use(token, "token");
    s_.sql() << "INSERT INTO holder_history (capcode, event, station, at, record_id, note) "
                "SELECT v.column1, v.column2, :station, :at, :record, '' FROM (VALUES " +
                    joined(events, ", ") + ") AS v",
        soci::use(stamp.station, "station"), soci::use(stamp.at, "at"),
        soci::use(record.id, "record");
  }
  const std::vector<Hold> near = around(left);
  std::vector<std::string> notes;
  for (const RowUse& use : left) {
    const auto other = inTheWay(near, use, own, record.id, token);
    if (among(claimed, use)) {
      // Its claim was released by hand while the pager was written: the pager has the capcode
      // all the same, and perhaps another pager since.
      outcome.conflicts.push_back(conflict(use.capcode, stamp, record.id,
                                           other ? other->recordId : std::nullopt,
                                           kReleasedWhileWritten));
      outcome.releasedWhileWritten.push_back(use.capcode);
      notes.push_back(releasedWhileWrittenNote(use.capcode));
    } else if (other) {  // a row the write gave without claiming it
      outcome.conflicts.push_back(
          conflict(use.capcode, stamp, record.id, other->recordId, kWrittenUnguarded));
    }
    give(record, use, stamp);
  }
  if (!notes.empty()) {
    std::string note = record.note;
    for (const std::string& each : notes) note += (note.empty() ? "" : ". ") + each;
    s_.sql() << "UPDATE records SET note = :note WHERE id = :id", soci::use(note, "note"),
        soci::use(record.id, "id");
  }
  return outcome;
}

}  // namespace ccp
