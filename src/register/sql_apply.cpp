// Records that show what a pager has, applied to the holds: one as its command ends, or a
// journal's lines taken in, none twice, in time order.
#include <algorithm>

#include "files/outcome_lines.h"
#include "register/hold_steps.h"
#include "register/record_table.h"
#include "register/sql_register.h"
#include "register/stored_text.h"

namespace ccp {

HoldOutcome SqlRegister::apply(long long recordId, const Stamp& by) {
  return guarded("applying record " + std::to_string(recordId), [&] {
    return session_.write([&] {
      const auto record = readRecord(session_, recordId);
      if (!record) {
        throw RegisterError(RegisterFault::Invalid,
                            "There is no record " + std::to_string(recordId));
      }
      HoldSteps steps(session_);
      steps.tables().lockCapcodes(HoldTables::lockModes(recordUses(*record)));
      ApplyRule rule;
      rule.what = record->command == kReadCommand ? kReadFoundAnother : kWrittenUnguarded;
      return steps.apply(*record, rule, by);
    });
  });
}

PagerRegister::Imported SqlRegister::importRecords(const std::vector<Record>& records,
                                                   const Stamp& by) {
  return guarded("importing records", [&] {
    return session_.write([&] {
      Imported imported;
      std::vector<Record> added;
      for (std::size_t i = 0; i < records.size(); ++i) {
        if (journalledRecord(records[i])) continue;
        const auto inserted = insertRecordAlone(records[i], i, imported.refused);
        if (!inserted || !inserted->second) continue;
        added.push_back(records[i]);
        added.back().id = inserted->first;
      }
      imported.added = added.size();
      std::stable_sort(added.begin(), added.end(),
                       [](const Record& a, const Record& b) { return a.at < b.at; });
      HoldSteps steps(session_);
      HoldTables& tables = steps.tables();
      std::vector<RowUse> uses;
      for (const Record& record : added) {
        for (const RowUse& use : recordUses(record)) uses.push_back(use);
      }
      tables.lockCapcodes(HoldTables::lockModes(uses));
      // A claim that this station made for a write whose record went to the journal is that
      // write's: a verified write holds it now.
      const std::string station = storedText(by.station);
      for (const Record& record : added) {
        if (record.station != by.station || !verifiedWrite(record)) continue;
        for (const RowUse& use : recordUses(record)) {
          std::vector<Hold> claims =
              tables.where("capcode = " + std::to_string(use.capcode) + " AND state = 'claimed'");
          tables.judge(claims);
          for (const Hold& claim : claims) {
            if (!claimOfJournalledWrite(claim, record, station)) continue;
            tables.holdJournalledClaim(claim, record, use, {by.station, by.at, {}});
            imported.holds.heldClaims.push_back(use.capcode);
          }
        }
      }
      const LaterUses later(added);
      ApplyRule rule;
      rule.what = kImportedOnAnother;
      rule.history = true;
      for (const Record& record : added) {
        HoldOutcome outcome = steps.apply(record, rule, by, &later);
        for (Conflict& c : outcome.conflicts) imported.holds.conflicts.push_back(std::move(c));
      }
      return imported;
    });
  });
}

}  // namespace ccp
