#pragma once

// The move of a register's holders (schema version 2) to holds (version 3).

namespace ccp {

class SqlSession;

// Within the move's transaction, the holds table made: version 2's holders become individual
// holds in the first row of their record that has the capcode, and its claims claims of a writer
// that ended; then the records that show a pager and that no history event names are applied in
// time order (a capcode that the history speaks of later is left as it decided); then the group
// rows of the records that hold an individual capcode become their group holds.
void takeHoldersIntoHolds(SqlSession& session);

}  // namespace ccp
