#include "register/writer_signs.h"

#include <set>

#include "ports/process_liveness.h"
#include "register/sql_session.h"
#include "register/sql_statements.h"

namespace ccp {

std::vector<WriterSigns> writerSigns(SqlSession& session, const std::vector<KeptWriter>& writers) {
  std::set<long long> tokens;
  bool elsewhere = false;  // a writer of another host
  for (const KeptWriter& w : writers) {
    if (!w.token || w.pid == 0) continue;
    tokens.insert(*w.token);
    elsewhere = elsewhere || w.host != thisHost();
  }
  std::set<long long> locked;
  if (!tokens.empty() && session.engine() == Engine::PostgreSQL) {
    // The writer's session holds its token's lock until the write settles; the server lets it
    // go with the session, however the station ended.
    const std::string key = "((l.classid::bigint << 32) | l.objid::bigint)";
    soci::rowset<long long> found =
        (session.sql().prepare << "SELECT " + key +
                                      " FROM pg_locks l JOIN pg_database d ON d.oid = l.database "
                                      "WHERE d.datname = current_database() AND "
                                      "l.locktype = 'advisory' AND l.objsubid = 1 AND l.granted "
                                      "AND " +
                                      key + " IN " + sqlList(tokens));
    locked.insert(found.begin(), found.end());
  }
  long long now = 0;
  if (elsewhere) session.sql() << std::string("SELECT ") + session.nowSeconds(), soci::into(now);
  std::vector<WriterSigns> signs;
  for (const KeptWriter& w : writers) {
    WriterSigns s;
    s.sessionHolds = w.token && locked.count(*w.token);
    s.onThisHost = w.host == thisHost();
    s.processRuns = s.onThisHost && w.pid != 0 && processRuns(w.pid, w.started);
    s.silentFor = now - w.seen;
    signs.push_back(s);
  }
  return signs;
}

}  // namespace ccp
