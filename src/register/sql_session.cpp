#include "register/sql_session.h"

#include <libpq-fe.h>
#include <soci/postgresql/soci-postgresql.h>
#include <soci/sqlite3/soci-sqlite3.h>
#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "files/file_io.h"
#include "register/location_reading.h"

namespace ccp {

namespace {

// Any number will do, as long as no other program locks it in the same database.
constexpr const char* kSchemaLockKey = "7061676572";
// The server ends a statement that runs longer (a lock waited for is ended sooner, at the busy
// timeout): a server that answers never keeps a call waiting for long.
constexpr const char* kStatementTimeoutMs = "10000";

std::string sqliteConnectString(const std::string& path) {
  if (path.find('"') != std::string::npos) {
    throw RegisterError(RegisterFault::Invalid,
                        "A register file's path may not hold a double quote: " + path);
  }
  return "db=\"" + path + "\"";
}

}  // namespace

RegisterFault sqliteFault(int result, int systemError) {
  // An I/O error is the system's: a full disk or a read-only one is said as such.
  if ((result & 0xff) == SQLITE_IOERR || (result & 0xff) == SQLITE_CANTOPEN) {
    if (systemError == ENOSPC || systemError == EDQUOT) return RegisterFault::DiskFull;
    if (systemError == EROFS) return RegisterFault::ReadOnly;
  }
  switch (result & 0xff) {  // an extended result code keeps its primary one in the low byte
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return RegisterFault::Busy;
    case SQLITE_PERM:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_AUTH:
      return RegisterFault::ReadOnly;
    case SQLITE_FULL:
      return RegisterFault::DiskFull;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return RegisterFault::Corrupt;
    default:
      return RegisterFault::Failed;
  }
}

namespace {

RegisterFault postgresqlFault(const std::string& state) {
  const auto is = [&state](std::string_view prefix) { return state.rfind(prefix, 0) == 0; };
  if (is("08") || is("57P")) return RegisterFault::Unreachable;  // connection, shutdown
  if (is("28")) return RegisterFault::LoginRefused;              // 28000, 28P01
  if (is("3D000")) return RegisterFault::NoDatabase;
  if (is("53100")) return RegisterFault::DiskFull;
  if (is("25006") || is("42501")) return RegisterFault::ReadOnly;  // read-only, no privilege
  if (is("55P03") || is("40") || is("57014")) return RegisterFault::Busy;  // locks, timeouts
  if (is("XX001") || is("XX002")) return RegisterFault::Corrupt;
  return RegisterFault::Failed;
}

std::string faultText(RegisterFault fault) {
  switch (fault) {
    case RegisterFault::Busy:
      return "The register stayed locked by another program for too long";
    case RegisterFault::ReadOnly:
      return "The register cannot be written";
    case RegisterFault::DiskFull:
      return "The register's disk is full";
    case RegisterFault::Corrupt:
      return "The register is damaged or is not a register";
    case RegisterFault::Unreachable:
      return "The register's server cannot be reached";
    case RegisterFault::LoginRefused:
      return "The register's server refused the login";
    case RegisterFault::NoDatabase:
      return "The register's server has no such database";
    case RegisterFault::OptionRefused:
      return "The register's location has an option libpq does not take";
    default:
      return "The register failed";
  }
}

// A connection that the server refused is told in words only: libpq keeps no SQLSTATE of it.
// These are the server's words for a login refused (28P01, 28000) and for a database that is
// not there (3D000), and libpq's for a password that nobody gave and for an option's value it
// does not take before it tries the server; a server that speaks another language is only said
// to be out of reach, its own words following.
RegisterFault refusedConnectionFault(const std::string& message) {
  const auto has = [&message](std::string_view words) {
    return message.find(words) != std::string::npos;
  };
  if (has("invalid port number") || (has("invalid ") && has(" value: \"")) ||
      (has("invalid integer value \"") && has("for connection option")) ||
      (has("service \"") && has("\" not found")) || has("could not parse network address") ||
      has("could not match ")) {
    return RegisterFault::OptionRefused;
  }
  if (has("authentication failed for user") || has("no pg_hba.conf entry") ||
      has("no password supplied") || (has("role \"") && has("\" does not exist"))) {
    return RegisterFault::LoginRefused;
  }
  if (has("database \"") && has("\" does not exist")) return RegisterFault::NoDatabase;
  return RegisterFault::Unreachable;
}

std::string durationText(std::chrono::milliseconds duration) {
  const auto ms = duration.count();
  return ms % 1000 == 0 ? std::to_string(ms / 1000) + " s" : std::to_string(ms) + " ms";
}

// libpq's messages run over several lines; a message of the register is one.
std::string oneLine(const std::string& text) {
  std::string line;
  for (char c : text) {
    const bool blank = c == '\n' || c == '\t' || c == ' ';
    if (blank && (line.empty() || line.back() == ' ')) continue;
    line += blank ? ' ' : c;
  }
  while (!line.empty() && line.back() == ' ') line.pop_back();
  return line;
}

}  // namespace

RegisterLocation registerLocation(const std::string& text) {
  const LocationReading reading = readLocation(text);
  if (!reading.engine) {
    throw RegisterError(RegisterFault::Invalid,
                        "The register's location cannot be taken: " + reading.why);
  }
  return {*reading.engine, reading.connection, reading.shown};
}

SqlSession::SqlSession(const RegisterLocation& location, const RegisterOptions& options)
    : location_(location), busyTimeout_(options.busyTimeout), watch_(options.answerTimeout) {
  try {
    connect();
  } catch (...) {
    fail("opening it");
  }
}

void SqlSession::connect() {
  const auto ms = std::to_string(busyTimeout_.count());
  if (engine() == Engine::SQLite) {
    makeParentFolder(location_.target);
    sql_.open(soci::sqlite3, sqliteConnectString(location_.target));
    sql_ << "PRAGMA busy_timeout = " + ms;
    sql_ << "PRAGMA foreign_keys = ON";
  } else {
    sql_.open(soci::postgresql, location_.target);
    if (calls_ > 0) watch_.moveTo(socket());  // a call under way goes on with it
    const Call call(*this);
    sql_ << "SET lock_timeout = " + ms;
    sql_ << std::string("SET statement_timeout = ") + kStatementTimeoutMs;
    sql_ << "SET client_min_messages = warning";
  }
}

void SqlSession::reconnect() {
  sql_.close();
  if (calls_ > 0) watch_.moveTo(-1);  // its socket is gone; the connect timeout bounds the next
  connect();
}

bool SqlSession::mayRunAgain() {
  const bool committing = std::exchange(committing_, false);
  return engine() == Engine::PostgreSQL && !committing && watch_.cut() == CallCut::No &&
         connectionLost();
}

PGconn* SqlSession::connection() {
  // SOCI's backends keep their type information to themselves: a cast by the engine's name.
  soci::details::session_backend* backend = sql_.get_backend();
  if (backend == nullptr || backend->get_backend_name() != "postgresql") return nullptr;
  return static_cast<soci::postgresql_session_backend*>(backend)->conn_;
}

int SqlSession::socket() {
  PGconn* conn = connection();
  return conn != nullptr ? PQsocket(conn) : -1;
}

SqlSession::Call::Call(SqlSession& session) : session_(session) {
  if (session_.calls_++ == 0 && session_.engine() == Engine::PostgreSQL) {
    session_.watch_.begin(session_.socket());
  }
}

SqlSession::Call::~Call() {
  if (--session_.calls_ == 0) session_.watch_.end();
}

const char* SqlSession::engineName() const {
  return engine() == Engine::SQLite ? "SQLite" : "PostgreSQL";
}

const char* SqlSession::nowSeconds() const {
  return engine() == Engine::SQLite ? "CAST(strftime('%s', 'now') AS INTEGER)"
                                    : "CAST(EXTRACT(EPOCH FROM now()) AS BIGINT)";
}

const char* SqlSession::idColumn() const {
  return engine() == Engine::SQLite ? "INTEGER PRIMARY KEY"
                                    : "BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY";
}

std::string SqlSession::digitsOnly(const std::string& column) const {
  if (engine() == Engine::SQLite) {
    return "(length(" + column + ") BETWEEN 1 AND 9 AND " + column + " NOT GLOB '*[^0-9]*')";
  }
  return "(" + column + " ~ '^[0-9]{1,9}$')";
}

const char* SqlSession::countTablesQuery() const {
  return engine() == Engine::SQLite
             ? "SELECT count(*) FROM sqlite_master WHERE type = 'table' "
               "AND (name = :name OR :name = '')"
             : "SELECT count(*) FROM pg_catalog.pg_tables WHERE schemaname = current_schema() "
               "AND (tablename = :name OR :name = '')";
}

void SqlSession::useForWriting() {
  if (engine() != Engine::SQLite) return;
  std::string mode;
  sql_ << "PRAGMA journal_mode = WAL", soci::into(mode);
  // Commits reach the log without waiting for the disk, which is synced at checkpoints: a crash
  // of the program loses nothing, a power cut at most what came since the last checkpoint. A
  // checkpoint every 10,000 pages rather than 1,000 keeps its pause off all but a few writes.
  sql_ << "PRAGMA synchronous = NORMAL";
  sql_ << "PRAGMA wal_autocheckpoint = 10000";
}

void SqlSession::begin() {
  committing_ = false;
  sql_ << (engine() == Engine::SQLite ? "BEGIN IMMEDIATE" : "BEGIN");
}

void SqlSession::end(bool commit) {
  if (commit) {
    committing_ = true;  // from here, a lost connection leaves the outcome unknown
    sql_ << "COMMIT";
    committing_ = false;
    return;
  }
  try {
    sql_ << "ROLLBACK";
  } catch (...) {
    // The transaction is gone with the connection or the error; the error at hand tells why.
  }
}

void SqlSession::lockSchema() {
  // SQLite's write transaction already holds the whole file.
  if (engine() == Engine::PostgreSQL) {
    sql_ << std::string("SELECT pg_advisory_xact_lock(") + kSchemaLockKey + ")";
  }
}

bool SqlSession::busy(const soci::soci_error& error) const {
  const auto* sqlite = dynamic_cast<const soci::sqlite3_soci_error*>(&error);
  return sqlite != nullptr && sqliteFault(sqlite->result(), 0) == RegisterFault::Busy;
}

int SqlSession::sqliteSystemError() {
  soci::details::session_backend* backend = sql_.get_backend();
  if (backend == nullptr || backend->get_backend_name() != "sqlite3") return 0;
  auto* db = static_cast<soci::sqlite3_session_backend*>(backend)->conn_;
  return db != nullptr ? sqlite_api::sqlite3_system_errno(db) : 0;
}

bool SqlSession::connectionLost() {
  // What libpq last found of the connection: SOCI's is_connected() asks the server, a round trip
  // on every error, and one that a frozen server would never answer.
  PGconn* conn = connection();
  return conn == nullptr || PQstatus(conn) != CONNECTION_OK;
}

void SqlSession::fail(const std::string& doing) {
  RegisterFault fault = RegisterFault::Failed;
  std::string detail;
  try {
    throw;
  } catch (const RegisterError&) {
    throw;
  } catch (const soci::sqlite3_soci_error& error) {
    // SQLite keeps the errno of its last failed I/O or open only, and only those errors need it.
    const int primary = error.result() & 0xff;
    const int systemError =
        primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN ? sqliteSystemError() : 0;
    fault = sqliteFault(error.result(), systemError);
    detail = error.get_error_message();
    if (systemError != 0) detail += std::string(" (") + std::strerror(systemError) + ")";
  } catch (const soci::postgresql_soci_error& error) {
    fault = postgresqlFault(error.sqlstate());
    detail = error.get_error_message();
  } catch (const soci::soci_error& error) {
    detail = error.get_error_message();
  } catch (const std::exception& error) {
    detail = error.what();
  }
  // What libpq says of a connection that was cut is only that it was lost.
  if (const CallCut cut = watch_.cut(); cut != CallCut::No) {
    throw RegisterError(
        cut == CallCut::Silent ? RegisterFault::Unreachable : RegisterFault::Stopped,
        (cut == CallCut::Silent
             ? "The register's server did not answer within " + durationText(watch_.answerTimeout())
             : "The wait for the register's server was stopped") +
            ": " + shown() + " (" + doing + ")");
  }
  if (engine() == Engine::PostgreSQL && connectionLost()) {
    fault = refusedConnectionFault(detail);
  }
  throw RegisterError(
      fault, faultText(fault) + ": " + shown() + " (" + doing + ": " + oneLine(detail) + ")");
}

}  // namespace ccp
