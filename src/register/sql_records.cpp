// The records of the register: adding them once, and finding them.
#include <limits>

#include "image/capcode.h"
#include "register/record_columns.h"
#include "register/sql_register.h"
#include "register/stored_text.h"

namespace ccp {

namespace {

// The column each RecordColumn sorts by.
constexpr const char* kSortColumns[] = {"at",       "station",  "model",     "edition",
                                        "port",     "command",  "outcome",   "serial",
                                        "capcode1", "capcode2", "capcode3",  "capcode4",
                                        "capcode5", "capcode6", "frequency", "backup_file"};
static_assert(std::size(kSortColumns) == static_cast<std::size_t>(RecordColumn::BackupFile) + 1);

// A LIKE pattern that finds the text anywhere, its own "%", "_" and "\" taken as they are.
// Case is folded in ASCII only, as SQLite's lower() folds it: both engines find the same.
std::string containsPattern(const std::string& text) {
  std::string pattern = "%";
  for (char c : searchedPagerText(text)) {
    if (c == '%' || c == '_' || c == '\\') pattern += '\\';
    pattern += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  }
  return pattern + "%";
}

// The WHERE clause of a query and the values it is bound to. Texts are compared as the
// database keeps them: what a user types is UTF-8, as a pager's text is kept.
struct Filter {
  Filter(const RecordQuery& query, Engine engine) {
    const auto add = [this](const std::string& condition) {
      where += (where.empty() ? " WHERE " : " AND ") + condition;
    };
    if (query.since) {
      since = storedTime(*query.since);
      add("r.at >= :since");
    }
    if (!query.station.empty()) {
      station = storedText(query.station);
      add("r.station = :station");
    }
    if (!query.text.empty()) {
      pattern = containsPattern(query.text);
      // PostgreSQL's lower() folds every letter its locale knows, in the C collation only ASCII.
      const char* serial =
          engine == Engine::PostgreSQL ? "lower(r.serial COLLATE \"C\")" : "lower(r.serial)";
      std::string anyOf = std::string("(") + serial + " LIKE :pattern ESCAPE '\\'";
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
      serial = searchedPagerText(*query.serial);
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

// While a failure to add one record is handled: why the database refused that record. A
// failure that is not the record's own (the connection, the disk, a lock) is thrown on.
std::string recordRefusal(SqlSession& session) {
  try {
    session.fail("adding a record");
  } catch (const RegisterError& error) {
    if (error.fault() != RegisterFault::Failed) throw;
    return error.what();
  }
}

}  // namespace

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

std::optional<std::pair<long long, bool>> SqlRegister::insertRecordAlone(
    const Record& record, std::size_t index, std::vector<AddedRecords::Refused>& refused) {
  // In a savepoint of its own: a record that the database refuses is taken back alone, and the
  // transaction goes on with the next.
  session_.sql() << "SAVEPOINT one_record";
  std::optional<std::pair<long long, bool>> inserted;
  try {
    inserted = insertRecord(record);
  } catch (...) {
    std::string reason = recordRefusal(session_);
    session_.sql() << "ROLLBACK TO SAVEPOINT one_record";
    // A SOCI PostgreSQL statement whose execution failed leaks its bound values at its next
    // execution; statements prepared anew free them.
    prepared_ = std::make_unique<Prepared>(session_.sql());
    refused.push_back({index, std::move(reason)});
  }
  session_.sql() << "RELEASE SAVEPOINT one_record";
  return inserted;
}

long long SqlRegister::addRecord(const Record& record) {
  return guarded("adding a record",
                 [&] { return session_.write([&] { return insertRecord(record).first; }); });
}

AddedRecords SqlRegister::addRecords(const std::vector<Record>& records) {
  return guarded("adding records", [&] {
    return session_.write([&] {
      AddedRecords result;
      for (std::size_t i = 0; i < records.size(); ++i) {
        const auto added = insertRecordAlone(records[i], i, result.refused);
        result.added += added && added->second ? 1 : 0;
      }
      return result;
    });
  });
}

std::vector<Record> SqlRegister::records(const RecordQuery& query) {
  return guarded("reading records", [&] {
    Filter filter(query, session_.engine());
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
    Filter filter(query, session_.engine());
    long long count = 0;
    soci::statement statement(session_.sql());
    filter.bind(statement);
    statement.exchange(soci::into(count));
    prepareStatement(statement, "SELECT count(*) FROM records r" + filter.where);
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
  prepareStatement(statement, "SELECT id FROM records WHERE " + where + " ORDER BY id LIMIT 1");
  if (!statement.execute(true)) return std::nullopt;
  return id;
}

}  // namespace ccp
