#include "register/holds_from_holders.h"

#include "files/outcome_lines.h"
#include "register/hold_steps.h"
#include "register/record_table.h"
#include "register/sql_session.h"

namespace ccp {

void takeHoldersIntoHolds(SqlSession& s) {
  // A claim had no row, nor a writer that can be asked: 0 and none.
  s.sql() << "INSERT INTO holds (capcode, address_row, individual, state, station, at, record_id) "
             "SELECT h.capcode, COALESCE((SELECT MIN(c.address_row) FROM record_capcodes c "
             "WHERE c.record_id = h.record_id AND c.capcode = h.capcode), 0), 1, h.state, "
             "h.station, h.at, h.record_id FROM holders h ORDER BY h.at, h.capcode";
  // showsPager(), in SQL.
  const std::string shows =
      "((r.command = 'write' AND r.outcome = " + sqlText(kVerifiedLine) +
      ") OR (r.command = 'read' AND r.outcome = " + sqlText(kReadCompletedLine) + "))";
  const std::vector<Record> unnamed =
      readRecords(s, shows +
                         " AND NOT EXISTS (SELECT 1 FROM holder_history e "
                         "WHERE e.record_id = r.id)");
  const LaterUses later(unnamed);
  HoldSteps steps(s);
  // Each as its command would have applied it.
  const auto apply = [&](const Record& record, bool groupOnly) {
    ApplyRule rule;
    rule.what = record.command == kReadCommand ? kReadFoundAnother : kWrittenUnguarded;
    rule.history = true;
    rule.groupOnly = groupOnly;
    rule.releasesDecide = true;
    steps.apply(record, rule, {record.station, std::chrono::system_clock::now(), {}}, &later);
  };
  for (const Record& record : unnamed) apply(record, false);
  for (const Record& record : readRecords(s,
                                          "r.id IN (SELECT record_id FROM holds "
                                          "WHERE individual = 1)")) {
    apply(record, true);
  }
}

}  // namespace ccp
