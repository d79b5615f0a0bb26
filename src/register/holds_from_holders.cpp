#include "register/holds_from_holders.h"

#include "register/hold_book.h"
#include "register/sql_register.h"

namespace ccp {

namespace {

std::vector<long long> ids(SqlSession& s, const std::string& query) {
  long long id = 0;
  soci::statement statement(s.sql());
  statement.exchange(soci::into(id));
  prepareStatement(statement, query, true);
  std::vector<long long> found;
  if (statement.execute(true)) {
    do found.push_back(id);
    while (statement.fetch());
  }
  return found;
}

// A record of today's kind applied, as its command would have applied it.
ApplyRule ruleFor(const Record& record, bool groupOnly) {
  ApplyRule rule;
  rule.what = record.command == "read" ? kReadFoundAnother : kWrittenUnguarded;
  rule.history = true;
  rule.groupOnly = groupOnly;
  rule.by = {record.station, std::chrono::system_clock::now(), {}};
  return rule;
}

}  // namespace

void takeHoldersIntoHolds(SqlSession& s) {
  soci::session& sql = s.sql();
  // A claim had no row, nor a writer that can be asked: 0 and none.
  sql << "INSERT INTO holds (capcode, address_row, individual, state, station, at, record_id) "
         "SELECT h.capcode, COALESCE((SELECT MIN(c.address_row) FROM record_capcodes c "
         "WHERE c.record_id = h.record_id AND c.capcode = h.capcode), 0), 1, h.state, "
         "h.station, h.at, h.record_id FROM holders h ORDER BY h.at, h.capcode";
  HoldBook book(s);
  const std::string shows = std::string("((r.command = 'write' AND r.outcome = '") +
                            kWrittenOutcome + "') OR (r.command = 'read' AND r.outcome = '" +
                            kReadOutcome + "'))";
  for (long long id : ids(s, "SELECT r.id FROM records r WHERE " + shows +
                                 " AND NOT EXISTS (SELECT 1 FROM holder_history e "
                                 "WHERE e.record_id = r.id) ORDER BY r.at, r.id")) {
    if (const auto record = readRecord(s, id)) book.apply(*record, ruleFor(*record, false));
  }
  for (long long id : ids(s,
                          "SELECT DISTINCT record_id FROM holds WHERE individual = 1 AND "
                          "record_id IS NOT NULL ORDER BY record_id")) {
    if (const auto record = readRecord(s, id)) book.apply(*record, ruleFor(*record, true));
  }
}

}  // namespace ccp
