// The register's life on its session: opened with its schema ready, its statements prepared
// once, opened again after a lost connection, and its status.
#include "register/sql_register.h"

#include "register/register_schema.h"

namespace ccp {

namespace {

std::string insertRecordText() {
  std::string columns = "fingerprint", values = ":fingerprint";
  RecordValues record;
  record.forEachColumn([&](const char* name, auto&) {
    columns += std::string(", ") + name;
    values += std::string(", :") + name;
  });
  return "INSERT INTO records (" + columns + ") VALUES (" + values +
         ") ON CONFLICT (fingerprint) DO NOTHING";
}

}  // namespace

void prepareStatement(soci::statement& statement, const std::string& text, bool once) {
  statement.alloc();
  statement.prepare(text,
                    once ? soci::details::st_one_time_query : soci::details::st_repeatable_query);
  statement.define_and_bind();
}

SqlRegister::SqlRegister(const RegisterLocation& location, const RegisterOptions& options)
    : session_(location, options) {
  const SqlSession::Call call(session_);
  versionFound_ = prepareSchema(session_);
  try {
    prepared_ = std::make_unique<Prepared>(session_.sql());
  } catch (...) {
    session_.fail("preparing its statements");
  }
}

SqlRegister::~SqlRegister() {
  const SqlSession::Call call(session_);  // its statements are let go on the server
  prepared_.reset();
}

void SqlRegister::reconnect(const std::string& doing) {
  const SqlSession::Call call(session_);
  prepared_.reset();  // its statements belong to the old connection
  try {
    session_.reconnect();
    prepared_ = std::make_unique<Prepared>(session_.sql());
  } catch (...) {
    session_.fail(doing);
  }
}

SqlRegister::Prepared::Prepared(soci::session& sql)
    : insertRecord(sql),
      insertCapcodeRow((sql.prepare << "INSERT INTO record_capcodes "
                                       "(record_id, address_row, capcode) "
                                       "VALUES (:record, :row, :capcode)",
                        soci::use(rowRecord, "record"), soci::use(row, "row"),
                        soci::use(rowCapcode, "capcode"))),
      // The one statement that gives a capcode to exactly one station: it is the key.
      claim((sql.prepare << "INSERT INTO holders (capcode, state, station, at) "
                            "VALUES (:capcode, 'claimed', :station, :at) "
                            "ON CONFLICT (capcode) DO NOTHING",
             soci::use(capcode, "capcode"), soci::use(station, "station"), soci::use(at, "at"))),
      addEvent((sql.prepare << "INSERT INTO holder_history "
                               "(capcode, event, station, at, record_id, note) "
                               "VALUES (:capcode, :event, :station, :at, :record, :note)",
                soci::use(capcode, "capcode"), soci::use(event, "event"),
                soci::use(station, "station"), soci::use(at, "at"),
                soci::use(eventRecord, eventRecordKnown, "record"), soci::use(note, "note"))) {
  insertRecord.exchange(soci::use(fingerprint, "fingerprint"));
  record.forEachColumn(
      [this](const char* name, auto& value) { insertRecord.exchange(soci::use(value, name)); });
  prepareStatement(insertRecord, insertRecordText());
}

RegisterStatus SqlRegister::status() {
  return guarded("reading its status", [&] {
    RegisterStatus status;
    status.engine = session_.engineName();
    status.location = session_.shown();
    status.schemaVersion = schemaVersion(session_);
    status.versionFound = versionFound_;
    session_.sql() << "SELECT count(*) FROM records", soci::into(status.records);
    soci::rowset<std::string> stations =
        (session_.sql().prepare << "SELECT DISTINCT station FROM records ORDER BY station");
    status.stations.assign(stations.begin(), stations.end());
    RecordQuery newest;
    newest.limit = 1;
    const auto last = records(newest);
    if (!last.empty()) status.last = last.front();
    return status;
  });
}

}  // namespace ccp
