#pragma once

// Whether writers still run, as the server's sessions and this machine show it: the claims of
// writes and the rows of lists that stations take are judged by the same signs.

#include <vector>

#include "register/holding_rules.h"

namespace ccp {

class SqlSession;

// The signs of each writer's life, in their order: on a server, whether a session holds the lock
// of its token (one look for them all); whether it is of this host and its process runs; how long
// it has been silent by the database's clock (asked only when a writer is of another host).
std::vector<WriterSigns> writerSigns(SqlSession& session, const std::vector<KeptWriter>& writers);

}  // namespace ccp
