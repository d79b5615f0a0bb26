#pragma once

// The register's tables carry a version. Version 1 kept the records; version 2 added the
// rows of each record's capcodes, the capcodes' holders and their history; version 3 the holds
// of individual and group capcodes in their rows, claims that know their writer, and conflicts;
// version 4 the serial number a write found its pager with, and the last sign of a claim's
// writer; version 5 customers' lists, the state of each of their rows, and the rows' history.

namespace ccp {

class SqlSession;

inline constexpr int kSchemaVersion = 5;

// The version of the register's schema; 0 when it has none yet.
int schemaVersion(SqlSession& session);

// Brings the schema to `target` (a test asks for an older one): nothing when it is there;
// else created or migrated forward in one write transaction, one station at a time. A schema
// newer than this program is refused (NewerSchema) and nothing is changed; so is a SQLite file
// that holds tables but no register. The version found: 0 when the schema was made now.
int prepareSchema(SqlSession& session, int target = kSchemaVersion);

}  // namespace ccp
