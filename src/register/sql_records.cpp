// The records of the register: adding them once, and finding them.
#include <cctype>
#include <limits>

#include "image/capcode.h"
#include "register/record_columns.h"
#include "register/sql_register.h"

namespace ccp {

namespace {

// The column each RecordColumn sorts by.
constexpr const char* kSortColumns[] = {"at",       "station",  "model",     "edition",
                                        "port",     "command",  "outcome",   "serial",
                                        "capcode1", "capcode2", "capcode3",  "capcode4",
                                        "capcode5", "capcode6", "frequency", "backup_file"};
static_assert(std::size(kSortColumns) == static_cast<std::size_t>(RecordColumn::BackupFile) + 1);

// The columns of a record as selectRecords() reads them, from the table named "r".
std::string recordColumns() {
  std::string columns = "r.id";
  RecordValues values;
  values.forEachColumn(
      [&columns](const char* name, auto&) { columns += std::string(", r.") + name; });
  return columns + ", (SELECT MIN(h.state) FROM holds h WHERE h.record_id = r.id)";
}

// The records that `rest` (after "FROM records r") selects; the statement's values are bound.
std::vector<Record> selectRecords(soci::statement& statement, const std::string& rest) {
  RecordValues values;
  statement.exchange(soci::into(values.id));
  values.forEachColumn(
      [&statement](const char*, auto& value) { statement.exchange(soci::into(value)); });
  statement.exchange(soci::into(values.holds, values.holdsKnown));
  prepareStatement(statement, "SELECT " + recordColumns() + " FROM records r" + rest, true);
  std::vector<Record> found;
  if (statement.execute(true)) {
    do found.push_back(values.record());
    while (statement.fetch());
  }
  return found;
}

// A LIKE pattern that finds the text anywhere, its own "%", "_" and "\" taken as they are.
std::string containsPattern(const std::string& text) {
  std::string pattern = "%";
  for (char c : text) {
    if (c == '%' || c == '_' || c == '\\') pattern += '\\';
    pattern += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return pattern + "%";
}

// The WHERE clause of a query and the values it is bound to.
struct Filter {
  explicit Filter(const RecordQuery& query) {
    const auto add = [this](const std::string& condition) {
      where += (where.empty() ? " WHERE " : " AND ") + condition;
    };
    if (query.since) {
      since = storedTime(*query.since);
      add("r.at >= :since");
    }
    if (!query.station.empty()) {
      station = query.station;
      add("r.station = :station");
    }
    if (!query.text.empty()) {
      pattern = containsPattern(query.text);
      std::string anyOf = "(lower(r.serial) LIKE :pattern ESCAPE '\\'";
      for (const char* column : RecordValues::kCapcodeColumns) {
        anyOf += std::string(" OR r.") + column + " LIKE :pattern ESCAPE '\\'";
      }
      add(anyOf + ")");
    }
    if (query.capcode) {
      capcode = *query.capcode;
      add("r.id IN (SELECT record_id FROM record_capcodes WHERE capcode = :capcode)");
    }
    if (query.serial) {
      serial = *query.serial;
      add("r.serial = :serial");
    }
  }

  void bind(soci::statement& statement) {
    const auto has = [this](const char* name) { return where.find(name) != std::string::npos; };
    if (has(":since")) statement.exchange(soci::use(since, "since"));
    if (has(":station")) statement.exchange(soci::use(station, "station"));
    if (has(":pattern")) statement.exchange(soci::use(pattern, "pattern"));
    if (has(":capcode")) statement.exchange(soci::use(capcode, "capcode"));
    if (has(":serial")) statement.exchange(soci::use(serial, "serial"));
  }

  std::string where;
  long long since = 0;
  std::string station, pattern, serial;
  int capcode = 0;
};

}  // namespace

void RecordValues::set(const Record& r) {
  at = storedTime(r.at);
  station = r.station, model = r.model, edition = r.edition, port = r.port;
  command = r.command, outcome = r.outcome, serial = r.serial, capcodes = r.capcodes;
  frequency = r.frequency, backupFile = r.backupFile;
  individualRows = rowListText(r.individualRows);
  enabledRows = rowListText(r.enabledRows);
  pagerBefore = pagerRowsText(r.pagerBefore);
  note = r.note;
}

Record RecordValues::record() const {
  Record r{id,
           wallTime(at),
           station,
           model,
           edition,
           port,
           command,
           outcome,
           serial,
           capcodes,
           frequency,
           backupFile,
           parseRowList(individualRows).value_or(std::vector<int>{}),
           parseRowList(enabledRows).value_or(std::vector<int>{}),
           parsePagerRows(pagerBefore),
           note,
           std::nullopt};
  if (holdsKnown == soci::i_ok) r.holds = holderStateNamed(holds);
  return r;
}

std::pair<long long, bool> SqlRegister::insertRecord(const Record& record) {
  Prepared& p = *prepared_;
  p.record.set(record);
  p.fingerprint = recordFingerprint(record);
  p.insertRecord.execute(true);
  const bool added = p.insertRecord.get_affected_rows() > 0;
  long long id = 0;
  session_.sql() << "SELECT id FROM records WHERE fingerprint = :fingerprint",
      soci::use(p.fingerprint, "fingerprint"), soci::into(id);
  std::string rows;
  for (int row = 1; row <= kAddressCount && added; ++row) {
    const auto capcode = capcodeNumber(record.capcodes[row - 1]);
    if (!capcode) continue;
    rows += (rows.empty() ? "(" : ", (") + std::to_string(id) + ", " + std::to_string(row) + ", " +
            std::to_string(*capcode) + ")";
  }
  if (!rows.empty()) {
    session_.sql() << "INSERT INTO record_capcodes (record_id, address_row, capcode) VALUES " +
                          rows;
  }
  return {id, added};
}

long long SqlRegister::addRecord(const Record& record) {
  return guarded("adding a record",
                 [&] { return session_.write([&] { return insertRecord(record).first; }); });
}

std::size_t SqlRegister::addRecords(const std::vector<Record>& records) {
  return guarded("adding records", [&] {
    return session_.write([&] {
      std::size_t added = 0;
      for (const Record& record : records) added += insertRecord(record).second ? 1 : 0;
      return added;
    });
  });
}

std::vector<Record> SqlRegister::records(const RecordQuery& query) {
  return guarded("reading records", [&] {
    Filter filter(query);
    const char* order = query.descending ? " DESC" : " ASC";
    long long limit =
        query.limit ? static_cast<long long>(query.limit) : std::numeric_limits<long long>::max();
    long long offset = static_cast<long long>(query.offset);
    soci::statement statement(session_.sql());
    filter.bind(statement);
    statement.exchange(soci::use(limit, "limit"));
    statement.exchange(soci::use(offset, "offset"));
    return selectRecords(statement, filter.where + " ORDER BY r." +
                                        kSortColumns[static_cast<int>(query.sortBy)] + order +
                                        ", r.id" + order + " LIMIT :limit OFFSET :offset");
  });
}

long long SqlRegister::countRecords(const RecordQuery& query) {
  return guarded("counting records", [&] {
    Filter filter(query);
    long long count = 0;
    soci::statement statement(session_.sql());
    filter.bind(statement);
    statement.exchange(soci::into(count));
    prepareStatement(statement, "SELECT count(*) FROM records r" + filter.where, true);
    statement.execute(true);
    return count;
  });
}

std::optional<long long> SqlRegister::journalledRecord(const Record& record) {
  RecordValues values;
  values.set(record);
  std::string where;
  soci::statement statement(session_.sql());
  values.forEachJournalColumn([&](const char* name, auto& value) {
    where += std::string(where.empty() ? "" : " AND ") + name + " = :" + name;
    statement.exchange(soci::use(value, name));
  });
  long long id = 0;
  statement.exchange(soci::into(id));
  prepareStatement(statement, "SELECT id FROM records WHERE " + where + " ORDER BY id LIMIT 1",
                   true);
  if (!statement.execute(true)) return std::nullopt;
  return id;
}

std::optional<Record> readRecord(SqlSession& session, long long id) {
  std::vector<Record> found = readRecords(session, "r.id = " + std::to_string(id));
  if (found.empty()) return std::nullopt;
  return std::move(found.front());
}

std::vector<Record> readRecords(SqlSession& session, const std::string& condition) {
  soci::statement statement(session.sql());
  return selectRecords(statement, " WHERE " + condition + " ORDER BY r.at, r.id");
}

}  // namespace ccp
