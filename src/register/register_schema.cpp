#include "register/register_schema.h"

#include <iterator>

#include "register/holds_from_holders.h"
#include "register/sql_session.h"

namespace ccp {

namespace {

// Version 1: the records, one for each pager command.
void createRecords(SqlSession& s) {
  soci::session& sql = s.sql();
  sql << "CREATE TABLE schema_version (version INTEGER NOT NULL)";
  sql << "INSERT INTO schema_version (version) VALUES (1)";
  sql << std::string("CREATE TABLE records (id ") + s.idColumn() +
             ", fingerprint TEXT NOT NULL UNIQUE, at BIGINT NOT NULL, station TEXT NOT NULL, "
             "model TEXT NOT NULL, edition TEXT NOT NULL, port TEXT NOT NULL, "
             "command TEXT NOT NULL, outcome TEXT NOT NULL, serial TEXT NOT NULL, "
             "capcode1 TEXT NOT NULL, capcode2 TEXT NOT NULL, capcode3 TEXT NOT NULL, "
             "capcode4 TEXT NOT NULL, capcode5 TEXT NOT NULL, capcode6 TEXT NOT NULL, "
             "frequency TEXT NOT NULL, backup_file TEXT NOT NULL)";
  sql << "CREATE INDEX records_at ON records (at)";
  sql << "CREATE INDEX records_serial ON records (serial)";
  sql << "CREATE INDEX records_station ON records (station)";
}

// Version 2: a write's individual rows; each record's capcodes as rows of their own, so that a
// capcode is found by an index; who holds each capcode, and every change of it.
void addHolders(SqlSession& s) {
  soci::session& sql = s.sql();
  sql << "ALTER TABLE records ADD COLUMN individual_rows TEXT NOT NULL DEFAULT ''";
  sql << "CREATE TABLE record_capcodes (record_id BIGINT NOT NULL REFERENCES records (id), "
         "address_row INTEGER NOT NULL, capcode INTEGER NOT NULL, "
         "PRIMARY KEY (record_id, address_row))";
  sql << "CREATE INDEX record_capcodes_capcode ON record_capcodes (capcode)";
  for (int row = 1; row <= kAddressCount; ++row) {
    const std::string column = "capcode" + std::to_string(row);
    sql << "INSERT INTO record_capcodes (record_id, address_row, capcode) SELECT id, " +
               std::to_string(row) + ", CAST(" + column + " AS INTEGER) FROM records WHERE " +
               s.digitsOnly(column);
  }
  sql << "CREATE TABLE holders (capcode INTEGER PRIMARY KEY, "
         "state TEXT NOT NULL CHECK (state IN ('claimed', 'held', 'failed')), "
         "station TEXT NOT NULL, at BIGINT NOT NULL, record_id BIGINT REFERENCES records (id))";
  sql << "CREATE INDEX holders_record ON holders (record_id)";
  sql << std::string("CREATE TABLE holder_history (id ") + s.idColumn() +
             ", capcode INTEGER NOT NULL, event TEXT NOT NULL, station TEXT NOT NULL, "
             "at BIGINT NOT NULL, record_id BIGINT REFERENCES records (id), "
             "note TEXT NOT NULL DEFAULT '')";
  sql << "CREATE INDEX holder_history_capcode ON holder_history (capcode, id)";
}

// Version 3: which pagers have which capcode, in which row, individual or group, and whether a
// claim's write still runs; what each record's pager had enabled and held before; conflicts.
void addHolds(SqlSession& s) {
  soci::session& sql = s.sql();
  sql << "ALTER TABLE records ADD COLUMN enabled_rows TEXT NOT NULL DEFAULT '1,2,3,4,5,6'";
  sql << "ALTER TABLE records ADD COLUMN pager_before TEXT NOT NULL DEFAULT ''";
  // The writes that found a pager as an older record left it: they decide its capcodes.
  sql << "CREATE INDEX records_pager_before ON records (pager_before)";
  sql << "ALTER TABLE records ADD COLUMN note TEXT NOT NULL DEFAULT ''";
  sql << std::string("CREATE TABLE holds (id ") + s.idColumn() +
             ", capcode INTEGER NOT NULL, address_row INTEGER NOT NULL, "
             "individual INTEGER NOT NULL, "
             "state TEXT NOT NULL CHECK (state IN ('claimed', 'held', 'failed')), "
             "station TEXT NOT NULL, at BIGINT NOT NULL, record_id BIGINT REFERENCES records (id), "
             "writer_host TEXT NOT NULL DEFAULT '', writer_pid BIGINT NOT NULL DEFAULT 0, "
             "writer_start BIGINT NOT NULL DEFAULT 0, claim_token BIGINT)";
  // A group capcode that thousands of pagers carry: its few individual holds are found at once.
  sql << "CREATE INDEX holds_capcode ON holds (capcode, individual)";
  // A record's holds, and the state they give it, found by its id alone.
  sql << "CREATE INDEX holds_record ON holds (record_id, state)";
  sql << "CREATE INDEX holds_claim_token ON holds (claim_token)";
  sql << "CREATE INDEX holds_state ON holds (state)";  // the claims and failed holds, counted
  sql << std::string("CREATE TABLE conflicts (id ") + s.idColumn() +
             ", capcode INTEGER NOT NULL, at BIGINT NOT NULL, station TEXT NOT NULL, "
             "record_id BIGINT REFERENCES records (id), "
             "other_record_id BIGINT REFERENCES records (id), what TEXT NOT NULL, "
             "closed_at BIGINT, closed_by TEXT NOT NULL DEFAULT '', note TEXT NOT NULL DEFAULT '')";
  sql << "CREATE INDEX conflicts_capcode ON conflicts (capcode)";
  // What decided a capcode after a record's time, when a journal is taken in.
  sql << "CREATE INDEX holder_history_event ON holder_history (capcode, event, at)";
}

// Version 2's holders become holds, read with the records' columns of this program.
void replayHolders(SqlSession& s) {
  takeHoldersIntoHolds(s);
  s.sql() << "DROP TABLE holders";
}

// Version 4: the serial number of the pager a write found (a pager with another serial number is
// another pager), and when a claim's writer last showed it runs, by the database's clock.
void addSerialBefore(SqlSession& s) {
  soci::session& sql = s.sql();
  sql << "ALTER TABLE records ADD COLUMN serial_before TEXT NOT NULL DEFAULT ''";
  sql << "ALTER TABLE holds ADD COLUMN writer_seen BIGINT NOT NULL DEFAULT 0";
}

// Version 5: customers' lists (each version of one), their rows and what became of each: who
// writes it now (its writer known as a claim's is), the verified write that did it, or why its
// writes failed; and every row's history.
void addLists(SqlSession& s) {
  soci::session& sql = s.sql();
  sql << std::string("CREATE TABLE lists (id ") + s.idColumn() +
             ", name TEXT NOT NULL, fingerprint TEXT NOT NULL, version INTEGER NOT NULL, "
             "header TEXT NOT NULL, dialect TEXT NOT NULL, row_count INTEGER NOT NULL, "
             "taken_at BIGINT NOT NULL, station TEXT NOT NULL, UNIQUE (name, version))";
  sql << "CREATE TABLE list_rows (list_id BIGINT NOT NULL REFERENCES lists (id), "
         "list_row INTEGER NOT NULL, file_line BIGINT NOT NULL, label TEXT NOT NULL, "
         "uses TEXT NOT NULL, serial TEXT NOT NULL, cells TEXT NOT NULL, "
         "fingerprint TEXT NOT NULL, "
         "state TEXT NOT NULL CHECK (state IN ('open', 'writing', 'done', 'failed')), "
         "station TEXT NOT NULL DEFAULT '', at BIGINT NOT NULL DEFAULT 0, "
         "writer_host TEXT NOT NULL DEFAULT '', writer_pid BIGINT NOT NULL DEFAULT 0, "
         "writer_start BIGINT NOT NULL DEFAULT 0, writer_seen BIGINT NOT NULL DEFAULT 0, "
         "writer_token BIGINT, record_id BIGINT REFERENCES records (id), "
         "serial_read TEXT NOT NULL DEFAULT '', reason TEXT NOT NULL DEFAULT '', "
         "attempts INTEGER NOT NULL DEFAULT 0, PRIMARY KEY (list_id, list_row))";
  // The next open row is found at once, however many rows are done.
  sql << "CREATE INDEX list_rows_state ON list_rows (list_id, state, list_row)";
  // A writer's rows, taken back after a lost connection; a record's row.
  sql << "CREATE INDEX list_rows_token ON list_rows (writer_token)";
  sql << "CREATE INDEX list_rows_record ON list_rows (record_id)";
  sql << std::string("CREATE TABLE list_row_history (id ") + s.idColumn() +
             ", list_id BIGINT NOT NULL REFERENCES lists (id), list_row INTEGER NOT NULL, "
             "event TEXT NOT NULL, station TEXT NOT NULL, at BIGINT NOT NULL, "
             "record_id BIGINT REFERENCES records (id), note TEXT NOT NULL DEFAULT '')";
  sql << "CREATE INDEX list_row_history_row ON list_row_history (list_id, list_row, id)";
}

// kSteps[v] brings a schema of version v to version v + 1: its tables and columns, then, once
// every step's tables are there, what it moves of the data (which reads them as this program
// does). A schema brought to an older version than this program's moves no data.
struct Step {
  void (*tables)(SqlSession&);
  void (*data)(SqlSession&);
};
constexpr Step kSteps[] = {{createRecords, nullptr},
                           {addHolders, nullptr},
                           {addHolds, replayHolders},
                           {addSerialBefore, nullptr},
                           {addLists, nullptr}};
static_assert(std::size(kSteps) == kSchemaVersion);

long long countTables(SqlSession& s, const std::string& name) {
  long long count = 0;
  s.sql() << s.countTablesQuery(), soci::use(name, "name"), soci::into(count);
  return count;
}

void refuseNewer(SqlSession& s, int version) {
  if (version <= kSchemaVersion) return;
  throw RegisterError(RegisterFault::NewerSchema,
                      "The register " + s.shown() +
                          " was made by a newer program (schema version " +
                          std::to_string(version) + "; this program knows up to version " +
                          std::to_string(kSchemaVersion) +
                          "): it was left as it is. Use a newer program, or another register.");
}

}  // namespace

int schemaVersion(SqlSession& s) {
  if (countTables(s, "schema_version") == 0) return 0;
  int version = 0;
  soci::indicator known = soci::i_null;
  s.sql() << "SELECT MAX(version) FROM schema_version", soci::into(version, known);
  return known == soci::i_ok ? version : 0;
}

int prepareSchema(SqlSession& s, int target) {
  try {
    return s.patiently([&] {
      const int found = schemaVersion(s);
      refuseNewer(s, found);
      // A file that turns out to be another program's database is refused as it was found.
      if (found > 0) s.useForWriting();
      if (found >= target) return found;
      const int version = s.write([&] {
        s.lockSchema();
        const int version = schemaVersion(s);  // another station may have been first
        refuseNewer(s, version);
        if (version == 0 && s.engine() == Engine::SQLite && countTables(s, "") > 0) {
          throw RegisterError(RegisterFault::Invalid,
                              "The file " + s.shown() + " holds a database that is no register");
        }
        for (int step = version; step < target; ++step) kSteps[step].tables(s);
        for (int step = version; step < target && target == kSchemaVersion; ++step) {
          if (kSteps[step].data) kSteps[step].data(s);
        }
        s.sql() << "UPDATE schema_version SET version = :version", soci::use(target, "version");
        return version;
      });
      if (found == 0) s.useForWriting();
      return version;
    });
  } catch (...) {
    s.fail("preparing its tables");
  }
}

}  // namespace ccp
