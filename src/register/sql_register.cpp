// The register's life on its session: opened with its schema ready, its statements prepared
// once, opened again after a lost connection, and its status.
#include "register/sql_register.h"

#include "register/hold_tables.h"
#include "register/list_tables.h"
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
  prepared_.reset();    // its statements belong to the old connection
  tokenLocks_.clear();  // and its locks went with it
  try {
    session_.reconnect();
    prepared_ = std::make_unique<Prepared>(session_.sql());
    // This process's writes under way take their claims back: a lock for each, and a sign of
    // life that other stations see.
    for (const auto& [token, rows] : unsettled_) {
      holdToken(token);
      HoldTables(session_).showAlive(token);
    }
    // And the rows of lists they took.
    for (const auto& [token, rows] : takenRows_) {
      holdToken(token);
      ListTables(session_).showAlive(token);
    }
  } catch (...) {
    session_.fail(doing);
  }
}

void SqlRegister::holdToken(long long token) {
  if (session_.engine() != Engine::PostgreSQL || tokenLocks_.count(token)) return;
  session_.sql() << "SELECT pg_advisory_lock(:token)", soci::use(token, "token");
  tokenLocks_.insert(token);
}

void SqlRegister::letTokenGo(long long token) {
  if (!unsettled_.count(token) && !takenRows_.count(token)) dropToken(token);
}

void SqlRegister::forgetRow(long long token, long long listId, int row) {
  const auto taken = takenRows_.find(token);
  if (taken != takenRows_.end() && taken->second.erase({listId, row}) && taken->second.empty()) {
    takenRows_.erase(taken);
  }
  letTokenGo(token);
}

void SqlRegister::dropToken(long long token) {
  if (!tokenLocks_.erase(token)) return;
  try {
    session_.sql() << "SELECT pg_advisory_unlock(:token)", soci::use(token, "token");
  } catch (...) {
    // A session that is gone holds no lock.
  }
}

SqlRegister::Prepared::Prepared(soci::session& sql) : insertRecord(sql) {
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
    HoldTables tables(session_);
    std::vector<Hold> claims = tables.where("state = 'claimed'");
    tables.judge(claims);
    for (const Hold& claim : claims) {
      ++(claim.writer == Liveness::Alive ? status.claimsAlive : status.claimsEnded);
    }
    session_.sql() << "SELECT count(*) FROM holds WHERE state = 'failed'",
        soci::into(status.failed);
    session_.sql() << "SELECT count(*) FROM conflicts WHERE closed_at IS NULL",
        soci::into(status.openConflicts);
    return status;
  });
}

std::unique_ptr<PagerRegister> openRegister(const RegisterLocation& location,
                                            const RegisterOptions& options) {
  return std::make_unique<SqlRegister>(location, options);
}

std::unique_ptr<PagerRegister> openRegister(const std::string& location,
                                            const RegisterOptions& options) {
  return openRegister(registerLocation(location), options);
}

}  // namespace ccp
